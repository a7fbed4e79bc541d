#include "billing/Accumulation.h"

#include "billing/RunValues.h"
#include "database/Attributes.h"
#include "platform/NumberText.h"

namespace tessaran::billing {
namespace {

namespace flow_attr = db::attr::flow;
namespace scale_attr = db::attr::fee_scale;

}  // namespace

double recordedFee(double fee) { return wholePart(fee * 100 + 0.5); }

int placeLine(Accumulators& accumulators, const std::string& label, const std::string& period,
              const std::string& type) {
    Accumulators::Placed& last = accumulators.lastPlaced;
    if (last.line != 0 && last.label == label && last.period == period && last.type == type) return last.line;
    const bool sortedLabels = type == "P";
    int line = 1;
    while (true) {
        const std::string_view existing = accumulators.label(line);
        if (existing.empty() || existing == label || (sortedLabels && existing > label)) break;
        ++line;
    }
    bool create = false;
    bool insert = false;
    if (accumulators.label(line).empty()) {
        create = true;
    } else if (accumulators.label(line) != label) {
        insert = true;
    } else if (accumulators.period(line) != period) {
        while (true) {
            const std::string_view existingLabel = accumulators.label(line);
            const std::string_view existingPeriod = accumulators.period(line);
            if ((existingLabel == label && existingPeriod == period) || existingPeriod.empty() ||
                existingLabel != label || existingPeriod > period) {
                break;
            }
            ++line;
        }
        if (accumulators.period(line).empty()) {
            create = true;
        } else if (accumulators.label(line) != label || accumulators.period(line) > period) {
            insert = true;
        }
    }
    if (create) line = accumulators.lineCount() + 1;
    if (create || insert) accumulators.addLine(line, label, period, type, insert);
    if (create || insert) {
        last.line = 0;
    } else {
        last = {label, period, type, line};
    }
    return line;
}

FlowCharge accumulateFlow(const FlowToAccumulate& input, int line, Accumulators& accumulators, DetailLine& detail,
                          std::string& invoiceNumber) {
    const db::DynamicArray& flow = input.flow;
    using Of = Accumulators::Of;
    FlowCharge charge;

    // Hours, counted for type "P" funding bodies.
    const double hours = numberOf(flow.view(flow_attr::kHours));
    if (hours != 0 && input.type == "P") {
        detail.hours += hours;
        accumulators.add(Of::Detail, line, 3, hours);
        if (input.printing) {
            accumulators.add(Of::Cumul, line, 3, hours);
            charge.basis.hours = hours;
        }
    }

    // Amount charged to the funding body, when it belongs to the chosen period.
    const double fundedAmount = numberOf(flow.view(flow_attr::kFundedAmount));
    if (fundedAmount != 0 && flow.view(flow_attr::kPeriod) == input.runPeriod) {
        detail.funded += fundedAmount;
        accumulators.add(Of::Detail, line, 4, fundedAmount);
    }

    // Management fee of the flow, in currency units.
    double fee = 0;
    if (input.printing) {
        if (!flow.view(flow_attr::kHours).empty()) {
            if (input.feeScale == nullptr) throw std::logic_error("no current record of BAREMEFEDEASSO");
            const db::DynamicArray& scale = *input.feeScale;
            const std::string_view fundingBody = flow.view(flow_attr::kFundingBody);
            int entry = 1;
            while (!scale.view(scale_attr::kEntryBodies, entry).empty() &&
                   scale.view(scale_attr::kEntryBodies, entry) != fundingBody) {
                ++entry;
            }
            const bool fromEntry = !scale.view(scale_attr::kEntryBodies, entry).empty();
            const std::string_view kind =
                fromEntry ? scale.view(scale_attr::kEntryKinds, entry) : scale.view(scale_attr::kKind);
            const std::string_view scaleValue =
                fromEntry ? scale.view(scale_attr::kEntryValues, entry) : scale.view(scale_attr::kValue);
            const double v = numberOf(scaleValue);
            const double h = hours;
            const double rate = input.hourlyRate;
            if (kind == "0") {  // per hour
                fee = (h / 100) * (v / 100);
                charge.basis.hours = h;
                charge.basis.amount = 0;
                accumulators.set(Of::Cumul, line, 4, "0");
            } else {  // percentage of the amount the hours come to
                fee = (h / 100) * (rate / 100) * (v / 100) / 100;
                charge.basis.amount = wholePart(h * (rate / 100) + 0.5);
                charge.basis.hours = 0;
                accumulators.add(Of::Cumul, line, 4, charge.basis.amount);
                accumulators.set(Of::Cumul, line, 3, "0");
            }
            accumulators.set(Of::Cumul, line, 5, scaleValue);
            charge.basis.scaleValue = v;
            fee = wholePart(fee * 100 + 0.5) / 100;
            // The invoice line is the sum of the fees recorded on its flows, to the cent, so that
            // the invoice, the recap and the records agree.
            accumulators.add(Of::Cumul, line, 6, input.type == "C" ? 0 : recordedFee(fee));
        }
    } else {
        fee = numberOf(flow.view(flow_attr::kFee)) / 100;
        invoiceNumber = flow.get(flow_attr::kInvoiceNumber);
        accumulators.add(Of::Cumul, line, 3, numberOf(flow.view(flow_attr::kFeeHours)));
        accumulators.add(Of::Cumul, line, 4, numberOf(flow.view(flow_attr::kFeeAmount)));
        accumulators.add(Of::Cumul, line, 6, numberOf(flow.view(flow_attr::kFee)));
        if (flow.view(flow_attr::kFeeScaleValue) != "0") accumulators.set(Of::Cumul, line, 5, flow.view(flow_attr::kFeeScaleValue));
    }

    // The fee goes on the statement line unless it prints as zero.
    if (platform::leadsWithNonZero(fee * 100)) detail.fee += fee;
    accumulators.add(Of::Detail, line, 5, fee);

    // Amount charged to the beneficiary, when it belongs to the chosen period.
    if (flow.view(flow_attr::kBeneficiaryPeriod) == input.runPeriod) {
        const double beneficiaryAmount = numberOf(flow.view(flow_attr::kBeneficiaryAmount));
        detail.beneficiary += beneficiaryAmount;
        accumulators.add(Of::Detail, line, 6, beneficiaryAmount);
    }

    charge.fee = fee;
    return charge;
}

}  // namespace tessaran::billing
