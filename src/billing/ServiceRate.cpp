// The hourly rate of a flow without funding body ("000"), billed at the association's own
// service rate: the association's rate history first, then the service activity's.

#include "ErrorTrap.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/Utility.h"

namespace tessaran::control {
namespace {

// Day number of the last day of the month of `period` ("yyyymm"): 32 days after the first
// of the month falls in the next month, whose first day comes right after it.
double lastDayOfPeriod(const std::string& period) {
    using platform::Utility;
    const double first = billing::numberOf(
        Utility::DateEnJours("01/" + billing::mid(period, 5, 2) + "/" + billing::mid(period, 1, 4)));
    const std::string nextMonth = Utility::FormateDate(static_cast<long>(first) + 32);
    return billing::numberOf(Utility::DateEnJours("01/" + billing::mid(nextMonth, 4, 7))) - 1;
}

}  // namespace

void Ctr_Tessaran::choisirTauxPrestation(billing::ErrorTrap& trap) {
    auto& module = dataModule();
    const std::string period = periodeChoisie();

    double lastDay = 0;
    trap.run([&] { lastDay = lastDayOfPeriod(period); });

    // The association's history, from its latest entry back: the first rate of kind "1"
    // dated before the end of the period.
    bool found = false;
    trap.run([&] {
        const db::Record& association = billing::held(module.FEDEASSOC.record, "FEDEASSOC");
        for (int k = association.DCount(49); k >= 1; --k) {
            if (association.get(50, k) == "1" && billing::wholePart(billing::numberOf(association.get(49, k))) < lastDay) {
                TauxHoraire = billing::numberOf(association.get(51, k));
                found = true;
                return;
            }
        }
    });

    // Otherwise the service activity's history, from its first entry: the entry in force
    // for the period when it is the last one, or an entry of kind "1" that starts later.
    // The walk ends at the latest one past the last entry, where an empty date qualifies.
    if (!found) {
        trap.run([&] {
            const db::Record& activity = billing::held(module.ACTIVITES.record, "ACTIVITES");
            for (int k = 1;; ++k) {
                const std::string start = billing::periodOfDay(activity.get(15, k));
                const bool lastInForce = period >= start && activity.get(15, k + 1).empty();
                const bool laterOfKindOne = period < start && activity.get(20, k) == "1";
                if (lastInForce || laterOfKindOne) {
                    const std::string rate = activity.get(14, k);
                    if (!rate.empty()) TauxHoraire = billing::numberOf(rate);
                    return;
                }
            }
        });
    }

    // The line of a flow without funding body counts its hours like a funding body of type
    // "P": the funding-body slot gets a record saying so.
    trap.run([&] {
        db::DynamicArray serviceRate;
        serviceRate.set(18, "P");
        module.ORGPRISECHARGE.record = std::make_shared<db::Record>(nullptr, "", std::move(serviceRate));
    });
}

}  // namespace tessaran::control
