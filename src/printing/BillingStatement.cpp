#include "printing/BillingStatement.h"

#include <stdexcept>

#include "printing/PageLayout.h"
#include "printing/PageText.h"

namespace tessaran::printing {

BillingStatement::BillingStatement(platform::Printer& printer, DocumentHeading heading,
                                   std::optional<std::string> sectorName)
    : printer_(printer), heading_(std::move(heading)), sectorName_(std::move(sectorName)) {}

void BillingStatement::printHeading() {
    printHeadingTop(printer_, heading_, 1, 20, "ETAT DE FACTURATION DE ");
    printBlankLine(printer_);

    if (!sectorName_) throw std::runtime_error("the sector of the statement could not be read");
    // "Secteur" and its separator take 14 characters, like "Association : ".
    printLabelledLine(printer_, "Secteur", "     : " + *sectorName_);
    printBlankLine(printer_, 2);

    printStatementColumnHeadings(printer_);
}

void BillingStatement::breakPageIfFull() {
    if (!pageIsFull(printer_, platform::kTwipsPerCm)) return;
    closePage();
    printer_.newPage();
    printHeading();
}

void BillingStatement::printLine(const StatementLine& line) {
    breakPageIfFull();
    const PrintedFigures printed = printStatementLine(printer_, line);
    totals_.hours += printed.hours;
    totals_.amount += printed.amount;
    totals_.fee += printed.fee;
    totals_.beneficiary += printed.beneficiary;
}

void BillingStatement::printEnd(const ComplementaryLines* complementary) {
    const int cm = platform::kTwipsPerCm;
    if (complementary != nullptr) {
        printBlankLine(printer_);
        for (const ComplementaryLine& item : linesOf(*complementary)) {
            breakPageIfFull();
            totals_.amount += printComplementaryLine(printer_, item.label, storedNumber(item.amount));
        }
    }
    printStatementTotals(printer_, cm, totals_);
    ruleTableBody(printer_, cm, kTableBottomCm * cm);
    ruleStatementFootBoxes(printer_, cm);
}

// A page that the statement continues after: its table body is ruled, without totals.
void BillingStatement::closePage() {
    const int cm = platform::kTwipsPerCm;
    ruleTableBody(printer_, cm, kTableBottomCm * cm);
}

}  // namespace tessaran::printing
