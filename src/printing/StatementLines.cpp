#include "printing/StatementLines.h"

#include "printing/PageLayout.h"
#include "printing/PageText.h"

namespace tessaran::printing {
namespace {

constexpr int kLabelWidth = 30;
constexpr int kPeriodWidth = 15;
constexpr int kComplementaryLabelWidth = 40;
// "Total" and "Solde" start at character 38, under the period column.
constexpr int kFootIndent = 38;

}  // namespace

void printStatementColumnHeadings(platform::Printer& printer) {
    const int cm = platform::kTwipsPerCm;
    moveToColumnHeadings(printer, cm);
    // Each heading falls inside its ruled column.
    for (const char* item : {"LIBELLE", "               ", "PERIODE", "      ", "HEURES", "   ", "MONT.CAISSE", " ",
                             "FRAIS GEST.", " "}) {
        printer.print(item, false);
    }
    printer.print("MONT.BENEF.", true);
    ruleHeadingBox(printer, cm);
    printBlankLine(printer);
}

PrintedFigures printStatementLine(platform::Printer& printer, const StatementLine& line) {
    PrintedFigures figures;
    printer.print(std::string(" ") + padded(line.label, kLabelWidth), false);
    printer.print(padded(periodText(line.period), kPeriodWidth), false);

    if (line.hours != 0) {
        const std::string hours = numberField(line.hours / 100, 6);
        printer.print(hours, false);
        figures.hours = printedValue(hours);
    } else {
        printer.print(numberField(0, 6), false);
    }

    if (line.amount != 0) {
        const std::string amount = numberField(line.amount / 100, 8);
        printer.print(std::string(" ") + amount, false);
        figures.amount = printedValue(amount);
    } else {
        printer.print(std::string(" ") + numberField(0, 8), false);
    }

    if (line.feeWithheld) {
        printer.print(std::string(" ") + numberField(0, 8) + " ", false);
    } else if (line.fee == 0) {
        printer.print(spaces(13), false);
    } else {
        const std::string fee = numberField(line.fee, 8);
        printer.print(std::string(" ") + fee + " ", false);
        figures.fee = printedValue(fee);
    }

    const std::string beneficiary = numberField(line.beneficiary / 100, 9);
    printer.print(line.beneficiary != 0 ? beneficiary : std::string(), true);
    figures.beneficiary = printedValue(beneficiary);
    return figures;
}

void printComplementaryLabel(platform::Printer& printer, const std::string& label) {
    printer.print(std::string(" ") + padded(label, kComplementaryLabelWidth), false);
    printer.print(spaces(15), false);
}

double printComplementaryLine(platform::Printer& printer, const std::string& label, double amount) {
    printComplementaryLabel(printer, label);
    const std::string field = numberField(amount / 100, 8);
    printer.print(field, true);
    return printedValue(field);
}

void printStatementTotals(platform::Printer& printer, int twipsPerCm, const PrintedFigures& totals) {
    printer.setCurrentY(kTotalsLineCm * twipsPerCm);
    printer.setFontBold(true);
    printer.print(spaces(kFootIndent) + "Total" + spaces(3) + numberField(totals.hours, 6) + " " +
                      numberField(totals.amount, 8) + " " + numberField(totals.fee, 8) + " " +
                      numberField(totals.beneficiary, 9),
                  true);
    printBlankLine(printer);
    printer.print(spaces(kFootIndent) + "Solde" + spaces(18) + numberField(totals.amount - totals.fee, 8), true);
    printer.setFontBold(false);
}

void ruleStatementFootBoxes(platform::Printer& printer, int twipsPerCm) {
    const double top = kTableBottomCm * twipsPerCm;
    const double totalsBottom = kTotalsBoxBottomCm * twipsPerCm;
    const double balanceBottom = kBalanceBoxBottomCm * twipsPerCm;
    for (const double x : kTotalsBoxRulesCm) printer.line(x * twipsPerCm, top, x * twipsPerCm, totalsBottom);
    printer.line(9.6 * twipsPerCm, totalsBottom, kTableRightCm * twipsPerCm, totalsBottom);
    printer.line(11.7 * twipsPerCm, totalsBottom, 11.7 * twipsPerCm, balanceBottom);
    printer.line(16.8 * twipsPerCm, totalsBottom, 16.8 * twipsPerCm, balanceBottom);
    printer.line(11.7 * twipsPerCm, balanceBottom, 16.8 * twipsPerCm, balanceBottom);
}

}  // namespace tessaran::printing
