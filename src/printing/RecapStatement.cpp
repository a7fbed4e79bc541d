#include "printing/RecapStatement.h"

#include <cmath>

#include "printing/PageLayout.h"
#include "printing/PageText.h"

namespace tessaran::printing {

RecapStatement::RecapStatement(platform::Printer& printer, DocumentHeading heading)
    : printer_(printer), heading_(std::move(heading)) {}

void RecapStatement::print(const db::DynamicArray& detail, const ComplementaryLines& complementary) {
    totals_ = {};
    printHeading();
    printLines(detail);
    printEnd(complementary);
}

void RecapStatement::printHeading() {
    // All sectors together: no sector block.
    printHeadingTop(printer_, heading_, 1, 15, "ETAT RECAPITULATIF DE FACTURATION DE ");
    printBlankLine(printer_, 2);

    printStatementColumnHeadings(printer_);
}

// A full page ends with the running totals and its ruled foot; the recap goes on under a new
// heading.
void RecapStatement::breakPageIfFull() {
    if (!pageIsFull(printer_, platform::kTwipsPerCm)) return;
    printFoot();
    printer_.newPage();
    printHeading();
}

void RecapStatement::printLines(const db::DynamicArray& detail) {
    const int lines = detail.DCount();
    for (int i = 1; i <= lines; ++i) {
        breakPageIfFull();

        StatementLine line;
        line.label = detail.get(i, 1);
        line.period = detail.get(i, 2);
        line.hours = storedNumber(detail.get(i, 3));
        line.amount = storedNumber(detail.get(i, 4));
        line.fee = storedNumber(detail.get(i, 5));
        line.beneficiary = storedNumber(detail.get(i, 6));
        line.feeWithheld = detail.get(i, 7) == "C";

        const PrintedFigures printed = printStatementLine(printer_, line);
        // Hours are totalled exactly; the other totals add the printed figures.
        if (line.hours != 0) totals_.hours += line.hours / 100;
        totals_.amount += printed.amount;
        totals_.fee += printed.fee;
        totals_.beneficiary += printed.beneficiary;
    }
}

void RecapStatement::printEnd(const ComplementaryLines& complementary) {
    printBlankLine(printer_);
    for (const ComplementaryLine& item : linesOf(complementary)) {
        breakPageIfFull();
        if (!complementary.fromFeeScale) {
            totals_.amount += printComplementaryLine(printer_, item.label, storedNumber(item.amount));
            continue;
        }
        // Fee-scale items: a charge goes in the funding-body amount column, a credit (a
        // negative amount) in the fee column as a positive figure, so it lowers the balance.
        printComplementaryLabel(printer_, item.label);
        const double amount = storedNumber(item.amount);
        if (amount > 0) {
            const std::string field = numberField(amount / 100, 8);
            printer_.print(field, true);
            totals_.amount += printedValue(field);
        } else if (amount < 0) {
            printer_.print(spaces(12), false);
            const std::string field = numberField(std::fabs(amount) / 100, 8);
            printer_.print(field, true);
            totals_.fee += printedValue(field);
        } else {
            printer_.print("", true);
        }
    }
    printFoot();
}

void RecapStatement::printFoot() {
    const int cm = platform::kTwipsPerCm;
    printStatementTotals(printer_, cm, totals_);
    ruleTableBody(printer_, cm, kTableBottomCm * cm);
    ruleStatementFootBoxes(printer_, cm);
}

}  // namespace tessaran::printing
