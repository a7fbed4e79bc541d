#include "billing/RateLookup.h"

#include "billing/RunValues.h"
#include "database/Attributes.h"
#include "platform/Utility.h"

namespace tessaran::billing {

namespace body_attr = db::attr::funding_body;
namespace association_attr = db::attr::association;
namespace activity_attr = db::attr::activity;

int firstRateInForce(const db::DynamicArray& record, int dates, const std::string& period, int kinds,
                     const char* kind) {
    const int count = record.DCount(dates);
    for (int k = 1; k <= count; ++k) {
        if (periodOfDay(record.get(dates, k)) <= period && (kinds == 0 || record.get(kinds, k) == kind)) return k;
    }
    return 0;
}

double fundingBodyRate(const db::DynamicArray& fundingBody, const std::string& linePeriod) {
    const int count = fundingBody.DCount(body_attr::kRateDates);
    int k = firstRateInForce(fundingBody, body_attr::kRateDates, linePeriod);
    if (k == 0) k = count;  // every rate is later: the last one
    return numberOf(fundingBody.view(body_attr::kRates, k));
}

void lookUpRateBehindFundingBody(DataFiles& files, const db::DynamicArray& fundingBody, const std::string& linePeriod,
                                 double& hourlyRate) {
    const db::Record& association = files.associations.held();
    const int own = firstRateInForce(association, association_attr::kRateDates, linePeriod,
                                     association_attr::kRateKinds, "2");
    if (own != 0) {
        hourlyRate = numberOf(association.get(association_attr::kRates, own));
        return;
    }
    const db::Record& activity = files.activities.read(fundingBody.get(body_attr::kActivity, 1));
    int position = firstRateInForce(activity, activity_attr::kRateDates, linePeriod, activity_attr::kRateKinds, "2");
    if (position == 0) position = activity.DCount(activity_attr::kRateDates) + 1;  // one past the last: no rate
    const std::string rate = activity.get(activity_attr::kRates, position);
    if (!rate.empty()) hourlyRate = numberOf(rate);
}

void findServiceActivity(DataFiles& files) {
    const db::DynamicArray activities = files.select("SSELECT ACTIVITES AVEC 12 = \"P\"", "ACTIVITES");
    // The first activity in key order; none makes the read fail with the not-found error.
    files.activities.read(activities.get(1));
}

// 32 days after the first of the month falls in the next month, whose first day comes right
// after the last day of this one.
double lastDayOfPeriod(const std::string& period) {
    using platform::Utility;
    const double first = numberOf(Utility::DateEnJours("01/" + mid(period, 5, 2) + "/" + mid(period, 1, 4)));
    const std::string nextMonth = Utility::FormateDate(static_cast<long>(first) + 32);
    return numberOf(Utility::DateEnJours("01/" + mid(nextMonth, 4, 7))) - 1;
}

}  // namespace tessaran::billing
