#pragma once
// The accumulation of one flow (the application's Cumule_Detail, less its page break and its
// write): the flow is placed on a line of the association's two accumulators (one line per
// label and billed period), and its hours, amounts and management fee are added to the line
// and to the statement's detail line.

#include <string>

#include "billing/Accumulators.h"
#include "database/DynamicArray.h"

namespace tessaran::billing {

// The statement line being accumulated: one funding body (or the service rate) and one
// billed period. Hours and amounts in hundredths, the fee in currency units.
struct DetailLine {
    std::string label;   // LibelleDetail
    std::string period;  // PeriodeDetail
    double hours = 0;
    double funded = 0;       // charged to the funding body
    double fee = 0;
    double beneficiary = 0;  // charged to the beneficiary
    void zero() { hours = funded = fee = beneficiary = 0; }
};

// What the management fee of a flow was charged on, recorded on the flow.
struct FeeBasis {
    double hours = 0;       // hours of a per-hour fee
    double amount = 0;      // amount of a percentage fee
    double scaleValue = 0;  // the scale value used
};

// The line of a flow with `label`, `period` and funding-body `type`, created or inserted in
// both accumulators when new. Lines of one label are grouped and ordered by period; labels
// of type "P" funding bodies are kept in ascending order, others in order of appearance.
int placeLine(Accumulators& accumulators, const std::string& label, const std::string& period,
              const std::string& type);

// One flow's figures added on `line`. A print run computes the fee from the fee scale (null
// when none was read: the fee then fails like any other statement) and the hourly rate; a
// reprint takes the fee, its basis and the invoice number from the flow.
struct FlowToAccumulate {
    const db::DynamicArray& flow;
    const std::string& type;       // the funding body's type code
    const std::string& runPeriod;  // the chosen pay period
    bool printing = true;
    const db::DynamicArray* feeScale = nullptr;
    double hourlyRate = 0;
};

struct FlowCharge {
    double fee = 0;  // currency units, rounded to hundredths
    FeeBasis basis;
};

// A management fee in currency units as a flow records it: whole hundredths.
double recordedFee(double fee);

// Adds the flow to the accumulators and the detail line; in a reprint, `invoiceNumber`
// becomes the flow's. A failure leaves what was added before it.
FlowCharge accumulateFlow(const FlowToAccumulate& input, int line, Accumulators& accumulators, DetailLine& detail,
                          std::string& invoiceNumber);

}  // namespace tessaran::billing
