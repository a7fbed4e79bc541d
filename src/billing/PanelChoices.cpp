#include "billing/PanelChoices.h"

#include <stdexcept>

#include "database/Attributes.h"
#include "platform/DateText.h"

namespace tessaran::billing {
namespace {

platform::YearMonth monthBefore(platform::YearMonth period) {
    // January steps back to December of the year before.
    if (--period.month == 0) {
        period.month = 12;
        --period.year;
    }
    return period;
}

}  // namespace

std::vector<std::string> offeredPeriods(DataFiles& files) {
    const std::string current = files.payPeriods.read("1").get(db::attr::pay_period::kCurrent);
    std::optional<platform::YearMonth> period = platform::parsePeriod(current);
    if (!period) {
        throw std::invalid_argument("the current pay period \"" + current +
                                    "\" (PERIODESPAIE 1, attribute 1) is not a period yyyymm");
    }
    std::vector<std::string> periods;
    for (int i = 0; i < kPeriodsOffered; ++i) {
        periods.push_back(platform::periodDigits(*period));
        period = monthBefore(*period);
    }
    return periods;
}

std::vector<AssociationChoice> offeredAssociations(DataFiles& files) {
    const db::DynamicArray list = files.select("SSELECT FEDEASSOC PAR 1", "FEDEASSOC", "0 1");
    std::vector<AssociationChoice> associations;
    if (list.str().empty()) return associations;
    for (int i = 1; i <= list.DCount(); ++i) associations.push_back({list.get(i, 1), list.get(i, 2)});
    return associations;
}

}  // namespace tessaran::billing
