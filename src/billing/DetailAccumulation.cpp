// Cumule_Detail: one flow added to the association's two accumulators. Detail feeds the
// recapitulative statement, Cumul the management-fee invoice; both always have the same
// lines, one per label and billed period. In a print run the management fee of the flow is
// computed from the association's fee scale and recorded on the flow; in a reprint the fee
// and the invoice number come from the flow itself.

#include <cmath>

#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/NumberText.h"

namespace tessaran::control {
namespace {

using billing::held;
using billing::numberOf;

// First position of a rate history (dates in `dates`) in force for `period`: the first
// entry dated at or before it whose kind (when `kinds` is given) is `kind`. 0 when none.
int firstRateInForce(const db::DynamicArray& record, int dates, const std::string& period, int kinds = 0,
                     const char* kind = "") {
    const int count = record.DCount(dates);
    for (int k = 1; k <= count; ++k) {
        if (billing::periodOfDay(record.get(dates, k)) <= period && (kinds == 0 || record.get(kinds, k) == kind)) {
            return k;
        }
    }
    return 0;
}

// Writes a new line at `line` of an accumulator: label, period, four zero sums, type code.
void fillLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
              const std::string& type) {
    accumulator.set(line, 1, label);
    accumulator.set(line, 2, period);
    for (int value = 3; value <= 6; ++value) accumulator.set(line, value, "0");
    accumulator.set(line, 7, type);
}

void insertLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
                const std::string& type) {
    accumulator.Insert(line, label);
    fillLine(accumulator, line, label, period, type);
}

}  // namespace

void Ctr_Tessaran::Cumule_Detail() {
    auto& module = dataModule();
    // The records stay alive here even if a page break loads others into the slots.
    const std::shared_ptr<db::Record> flowRecord = module.FLUXCOMPTABLES.record;
    const std::shared_ptr<db::Record> fundingBodyRecord = module.ORGPRISECHARGE.record;
    const db::Record& flow = held(flowRecord, "FLUXCOMPTABLES");
    const db::Record& fundingBody = held(fundingBodyRecord, "ORGPRISECHARGE");
    const std::string period = periodeChoisie();

    // 1. Hourly rate of the funding body for the billed period.
    if (flow.get(4) != billing::kNoFundingBody) {
        const int count = fundingBody.DCount(25);
        int k = firstRateInForce(fundingBody, 25, PeriodeDetail);
        if (k == 0) k = count;  // every rate is later: the last one
        TauxHoraire = numberOf(fundingBody.get(26, k));
        if (TauxHoraire == 0) {
            const db::Record& association = held(module.FEDEASSOC.record, "FEDEASSOC");
            const int own = firstRateInForce(association, 49, PeriodeDetail, 50, "2");
            if (own != 0) {
                TauxHoraire = numberOf(association.get(51, own));
            } else {
                const auto activityRecord = module.ACTIVITES.file->Read(fundingBody.get(47, 1));
                module.ACTIVITES.record = activityRecord;
                const db::Record& activity = *activityRecord;
                int position = firstRateInForce(activity, 15, PeriodeDetail, 20, "2");
                if (position == 0) position = activity.DCount(15) + 1;  // one past the last: no rate
                const std::string rate = activity.get(14, position);
                if (!rate.empty()) TauxHoraire = numberOf(rate);
            }
        }
    }

    // 2. The line of the flow: lines of one label are grouped and ordered by period; labels
    // of type "P" funding bodies are kept in ascending order, others in order of appearance.
    const std::string& label = LibelleDetail;
    const std::string& linePeriod = PeriodeDetail;
    const std::string type = fundingBody.get(18);
    const bool sortedLabels = type == "P";
    int line = 1;
    while (true) {
        const std::string existing = Detail->get(line, 1);
        if (existing.empty() || existing == label || (sortedLabels && existing > label)) break;
        ++line;
    }
    bool create = false;
    bool insert = false;
    if (Detail->get(line, 1).empty()) {
        create = true;
    } else if (Detail->get(line, 1) != label) {
        insert = true;
    } else if (Detail->get(line, 2) != linePeriod) {
        while (true) {
            const std::string existingLabel = Detail->get(line, 1);
            const std::string existingPeriod = Detail->get(line, 2);
            if ((existingLabel == label && existingPeriod == linePeriod) || existingPeriod.empty() ||
                existingLabel != label || existingPeriod > linePeriod) {
                break;
            }
            ++line;
        }
        if (Detail->get(line, 2).empty()) {
            create = true;
            line = Detail->DCount() + 1;
        } else if (Detail->get(line, 1) != label || Detail->get(line, 2) > linePeriod) {
            insert = true;
        }
    }
    if (create) {
        line = Detail->DCount() + 1;
        fillLine(*Detail, line, label, linePeriod, type);
        fillLine(*Cumul, line, label, linePeriod, type);
    } else if (insert) {
        insertLine(*Detail, line, label, linePeriod, type);
        insertLine(*Cumul, line, label, linePeriod, type);
    }

    // 3. Page break before the flow's amounts when the statement page is full.
    if (Printer_ == nullptr) throw std::logic_error("no printer for the run");
    if (static_cast<float>(Printer_->currentY()) > static_cast<float>(23.5 * TwipsParCm)) {
        SuitePage = true;
        Imprime_Fin_Tableau();
        Printer_->newPage();
        Imprime_Entete();
    }

    // 4. What the fee of this flow is charged on.
    HeuresFlux = 0;
    MontantFlux = 0;
    TauxBareme = 0;

    // 5. Hours, counted for type "P" funding bodies.
    const double hours = numberOf(flow.get(6));
    if (hours != 0 && type == "P") {
        HeuresDetail += hours;
        billing::addTo(*Detail, line, 3, hours);
        if (ModeImpression) {
            billing::addTo(*Cumul, line, 3, hours);
            HeuresFlux = hours;
        }
    }

    // 6. Amount charged to the funding body, when it belongs to the chosen period.
    const double fundedAmount = numberOf(flow.get(7));
    if (fundedAmount != 0 && flow.get(1) == period) {
        CaisseDetail += fundedAmount;
        billing::addTo(*Detail, line, 4, fundedAmount);
    }

    // 7. Management fee of the flow, in currency units.
    double fee = 0;
    if (ModeImpression) {
        if (!flow.get(6).empty()) {
            const std::shared_ptr<db::Record> scaleRecord = module.BAREMEFEDEASSO.record;
            const db::Record& scale = held(scaleRecord, "BAREMEFEDEASSO");
            int entry = 1;
            while (!scale.get(7, entry).empty() && scale.get(7, entry) != flow.get(4)) ++entry;
            const bool fromEntry = !scale.get(7, entry).empty();
            const std::string kind = fromEntry ? scale.get(8, entry) : scale.get(1);
            const std::string scaleValue = fromEntry ? scale.get(9, entry) : scale.get(2);
            const double v = numberOf(scaleValue);
            const double h = hours;
            const double rate = TauxHoraire;
            if (kind == "0") {  // per hour
                fee = (h / 100) * (v / 100);
                HeuresFlux = h;
                MontantFlux = 0;
                billing::addTo(*Cumul, line, 6, billing::wholePart(h * v / 100 + 0.5));
                Cumul->set(line, 4, "0");
            } else {  // percentage of the amount the hours come to
                fee = (h / 100) * (rate / 100) * (v / 100) / 100;
                MontantFlux = billing::wholePart(h * (rate / 100) + 0.5);
                HeuresFlux = 0;
                billing::addTo(*Cumul, line, 4, MontantFlux);
                const double charged = fromEntry ? billing::wholePart(h * (rate / 100) * v / 10000 + 0.5)
                                                 : billing::wholePart(h * (rate / 100) * v / 100 + 0.5) / 100;
                billing::addTo(*Cumul, line, 6, charged);
                Cumul->set(line, 3, "0");
            }
            Cumul->set(line, 5, scaleValue);
            TauxBareme = v;
            fee = billing::wholePart(fee * 100 + 0.5) / 100;
        }
    } else {
        fee = numberOf(flow.get(22)) / 100;
        NumFacture = flow.get(20);
        billing::addTo(*Cumul, line, 3, numberOf(flow.get(33)));
        billing::addTo(*Cumul, line, 4, numberOf(flow.get(34)));
        billing::addTo(*Cumul, line, 6, numberOf(flow.get(22)));
        if (flow.get(35) != "0") Cumul->set(line, 5, flow.get(35));
    }

    // 8. The fee goes on the statement line unless it prints as zero.
    if (numberOf(platform::numberToText(fee * 100)) != 0) FraisDetail += fee;
    billing::addTo(*Detail, line, 5, fee);

    // 9. Amount charged to the beneficiary, when it belongs to the chosen period.
    if (flow.get(36) == period) {
        const double beneficiaryAmount = numberOf(flow.get(17));
        BenefDetail += beneficiaryAmount;
        billing::addTo(*Detail, line, 6, beneficiaryAmount);
    }

    // 10. The fee is recorded on the flow.
    if (ModeImpression) Remplir_FluxComptables(fee, false, 1);
}

}  // namespace tessaran::control
