#include "billing/Accumulation.h"

#include "billing/RunValues.h"
#include "database/Attributes.h"
#include "platform/NumberText.h"

namespace tessaran::billing {
namespace {

namespace flow_attr = db::attr::flow;
namespace scale_attr = db::attr::fee_scale;

const std::string kZeroSum = "0";

bool holdsMarks(const std::string& text) {
    return text.find_first_of(std::string{db::kAttributeMark, db::kValueMark, db::kSubvalueMark}) != std::string::npos;
}

// A new line: label, period, four zero sums, type code, as the values of one attribute.
std::string newLine(const std::string& label, const std::string& period, const std::string& type) {
    std::string line = label;
    for (const std::string* value : {&period, &kZeroSum, &kZeroSum, &kZeroSum, &kZeroSum, &type}) {
        line += db::kValueMark;
        line += *value;
    }
    return line;
}

// Writes a new line at `line` of an accumulator, value by value.
void fillLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
              const std::string& type) {
    accumulator.set(line, 1, label);
    accumulator.set(line, 2, period);
    for (int value = 3; value <= 6; ++value) accumulator.set(line, value, "0");
    accumulator.set(line, 7, type);
}

// A line written whole is the line written value by value when no text holds a mark.
void createLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
                const std::string& type, bool whole) {
    if (whole) {
        accumulator.set(line, newLine(label, period, type));
    } else {
        fillLine(accumulator, line, label, period, type);
    }
}

void insertLine(db::DynamicArray& accumulator, int line, const std::string& label, const std::string& period,
                const std::string& type, bool whole) {
    if (whole) {
        accumulator.Insert(line, newLine(label, period, type));
    } else {
        accumulator.Insert(line, label);
        fillLine(accumulator, line, label, period, type);
    }
}

}  // namespace

double recordedFee(double fee) { return wholePart(fee * 100 + 0.5); }

int placeLine(Accumulators& accumulators, const std::string& label, const std::string& period,
              const std::string& type) {
    Accumulators::Placed& last = accumulators.lastPlaced;
    if (last.line != 0 && last.label == label && last.period == period && last.type == type) return last.line;
    db::DynamicArray& detail = accumulators.detail;
    const bool sortedLabels = type == "P";
    int line = 1;
    while (true) {
        const std::string_view existing = detail.view(line, 1);
        if (existing.empty() || existing == label || (sortedLabels && existing > label)) break;
        ++line;
    }
    bool create = false;
    bool insert = false;
    if (detail.view(line, 1).empty()) {
        create = true;
    } else if (detail.view(line, 1) != label) {
        insert = true;
    } else if (detail.view(line, 2) != period) {
        while (true) {
            const std::string_view existingLabel = detail.view(line, 1);
            const std::string_view existingPeriod = detail.view(line, 2);
            if ((existingLabel == label && existingPeriod == period) || existingPeriod.empty() ||
                existingLabel != label || existingPeriod > period) {
                break;
            }
            ++line;
        }
        if (detail.view(line, 2).empty()) {
            create = true;
        } else if (detail.view(line, 1) != label || detail.view(line, 2) > period) {
            insert = true;
        }
    }
    const bool whole = !holdsMarks(label) && !holdsMarks(period) && !holdsMarks(type);
    if (create) {
        line = detail.DCount() + 1;
        createLine(detail, line, label, period, type, whole);
        createLine(accumulators.cumul, line, label, period, type, whole);
    } else if (insert) {
        insertLine(detail, line, label, period, type, whole);
        insertLine(accumulators.cumul, line, label, period, type, whole);
    }
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
    db::DynamicArray& cumul = accumulators.cumul;
    FlowCharge charge;

    // Hours, counted for type "P" funding bodies.
    const double hours = numberOf(flow.view(flow_attr::kHours));
    if (hours != 0 && input.type == "P") {
        detail.hours += hours;
        addTo(accumulators.detail, line, 3, hours);
        if (input.printing) {
            addTo(cumul, line, 3, hours);
            charge.basis.hours = hours;
        }
    }

    // Amount charged to the funding body, when it belongs to the chosen period.
    const double fundedAmount = numberOf(flow.view(flow_attr::kFundedAmount));
    if (fundedAmount != 0 && flow.view(flow_attr::kPeriod) == input.runPeriod) {
        detail.funded += fundedAmount;
        addTo(accumulators.detail, line, 4, fundedAmount);
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
                cumul.set(line, 4, "0");
            } else {  // percentage of the amount the hours come to
                fee = (h / 100) * (rate / 100) * (v / 100) / 100;
                charge.basis.amount = wholePart(h * (rate / 100) + 0.5);
                charge.basis.hours = 0;
                addTo(cumul, line, 4, charge.basis.amount);
                cumul.set(line, 3, "0");
            }
            cumul.set(line, 5, scaleValue);
            charge.basis.scaleValue = v;
            fee = wholePart(fee * 100 + 0.5) / 100;
            // The invoice line is the sum of the fees recorded on its flows, to the cent, so that
            // the invoice, the recap and the records agree.
            addTo(cumul, line, 6, input.type == "C" ? 0 : recordedFee(fee));
        }
    } else {
        fee = numberOf(flow.view(flow_attr::kFee)) / 100;
        invoiceNumber = flow.get(flow_attr::kInvoiceNumber);
        addTo(cumul, line, 3, numberOf(flow.view(flow_attr::kFeeHours)));
        addTo(cumul, line, 4, numberOf(flow.view(flow_attr::kFeeAmount)));
        addTo(cumul, line, 6, numberOf(flow.view(flow_attr::kFee)));
        if (flow.view(flow_attr::kFeeScaleValue) != "0") cumul.set(line, 5, flow.view(flow_attr::kFeeScaleValue));
    }

    // The fee goes on the statement line unless it prints as zero.
    if (numberOf(platform::numberToText(fee * 100)) != 0) detail.fee += fee;
    addTo(accumulators.detail, line, 5, fee);

    // Amount charged to the beneficiary, when it belongs to the chosen period.
    if (flow.view(flow_attr::kBeneficiaryPeriod) == input.runPeriod) {
        const double beneficiaryAmount = numberOf(flow.view(flow_attr::kBeneficiaryAmount));
        detail.beneficiary += beneficiaryAmount;
        addTo(accumulators.detail, line, 6, beneficiaryAmount);
    }

    charge.fee = fee;
    return charge;
}

}  // namespace tessaran::billing
