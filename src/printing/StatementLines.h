#pragma once
// The lines of the billing statement's table, shared by the statement of a sector and the
// recapitulative statement of a multi-sector association. Grid, in characters:
//   0 space | 1-30 label | 31-45 period | 46-54 hours | 55 space | 56-66 funding-body amount |
//   67-79 space, fee, space | 80-91 beneficiary amount.

#include <string>

#include "platform/Printer.h"

namespace tessaran::printing {

struct StatementLine {
    std::string label;
    std::string period;      // "yyyymm"
    double hours = 0;        // hundredths of an hour
    double amount = 0;       // amount charged to the funding body, hundredths
    double fee = 0;          // management fee, currency units
    double beneficiary = 0;  // amount charged to the beneficiary, hundredths
    bool feeWithheld = false;  // funding body of type "C": the line carries no fee
};

// What the printed fields of a line read as, in currency units and hours: the running
// totals add these. A field left blank, and a withheld fee, count as 0.
struct PrintedFigures {
    double hours = 0;
    double amount = 0;
    double fee = 0;
    double beneficiary = 0;
};

// The ruled column headings of the statement and the recap (Imprime_Entete_Tableau).
void printStatementColumnHeadings(platform::Printer& printer);

PrintedFigures printStatementLine(platform::Printer& printer, const StatementLine& line);

// The label of a complementary line, over the label and period columns: one space and
// 40 characters (a longer label is cut to 40), then 15 spaces, continuing the line. The
// figure that follows starts at character 56.
void printComplementaryLabel(platform::Printer& printer, const std::string& label);

// A complementary line with its amount (hundredths) in the funding-body amount column;
// returns the printed amount in currency units.
double printComplementaryLine(platform::Printer& printer, const std::string& label, double amount);

// The totals line at 24.2 cm and the balance (funding-body amounts less fees) two lines
// below, in bold.
void printStatementTotals(platform::Printer& printer, int twipsPerCm, const PrintedFigures& totals);

// The totals box and the balance box under the table.
void ruleStatementFootBoxes(platform::Printer& printer, int twipsPerCm);

}  // namespace tessaran::printing
