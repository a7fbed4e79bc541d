#include "printing/FeeInvoice.h"

#include <cmath>

#include "platform/NumberText.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"
#include "printing/StatementLines.h"

namespace tessaran::printing {
namespace {

// The subtotal and total line: "Total" at character 38, the three totals (hundredths) in
// the hours, amount and fee columns; the rate column stays blank.
std::string invoiceTotalLine(const InvoiceTotals& totals) {
    return spaces(38) + "Total" + spaces(3) + numberField(totals.hours / 100, 6) + " " +
           numberField(totals.amount / 100, 8) + spaces(13) + numberField(totals.fees / 100, 9);
}

// The frame of an invoice page down to `bottom` twips, with the three total boxes (hours,
// amount, fee) hanging 0.7 cm below it when `withTotalBoxes`.
void ruleInvoiceFrame(platform::Printer& printer, double bottom, bool withTotalBoxes) {
    const int cm = platform::kTwipsPerCm;
    ruleTableBody(printer, cm, bottom);
    if (!withTotalBoxes) return;
    const double boxBottom = bottom + 0.7 * cm;
    for (const double x : kTotalsBoxRulesCm) printer.line(x * cm, bottom, x * cm, boxBottom);
    printer.line(9.6 * cm, boxBottom, 14.2 * cm, boxBottom);
    printer.line(16.8 * cm, boxBottom, kTableRightCm * cm, boxBottom);
}

}  // namespace

FeeInvoice::FeeInvoice(platform::Printer& printer, DocumentHeading heading, std::string invoiceNumber)
    : printer_(printer), heading_(std::move(heading)), invoiceNumber_(std::move(invoiceNumber)) {}

void FeeInvoice::print(const db::DynamicArray& cumul, const ComplementaryLines& complementary) {
    printHeading();
    printLines(cumul);
    printEnd(complementary);
}

void FeeInvoice::printHeading() {
    const int cm = platform::kTwipsPerCm;
    printHeadingTop(printer_, heading_, 2, 10, "FACTURE DES FRAIS DE GESTION DE ");
    printBlankLine(printer_);

    printLabelledLine(printer_, "Numéro de facture", " : " + invoiceNumber_);
    printBlankLine(printer_, 2);

    moveToColumnHeadings(printer_, cm);
    for (const char* item : {"LIBELLE", "               ", "PERIODE", "       ", "HEURES", "    ", "MONTANT", "      ",
                             "TAUX", "     "}) {
        printer_.print(item, false);
    }
    printer_.print("FRAIS GEST.", true);
    ruleHeadingBox(printer_, cm);
    printBlankLine(printer_);
}

// A page the invoice continues after: its frame down to the table bottom, with the boxes.
void FeeInvoice::closePage() {
    ruleInvoiceFrame(printer_, kTableBottomCm * platform::kTwipsPerCm, true);
}

// The page-break rule before a table line (the fee-scale items close their pages their own way).
void FeeInvoice::breakPageIfFull() {
    if (!pageIsFull(printer_, platform::kTwipsPerCm)) return;
    closePage();
    printer_.newPage();
    printHeading();
}

void FeeInvoice::printLines(const db::DynamicArray& cumul) {
    totals_ = {};
    const int lines = cumul.DCount();
    for (int i = 1; i <= lines; ++i) {
        breakPageIfFull();  // every line takes part in the page-break test, printed or not
        if (cumul.get(i, 7) != "P") continue;

        printer_.print(std::string(" ") + padded(cumul.get(i, 1), 30), false);
        printer_.print(padded(periodText(cumul.get(i, 2)), 15), false);

        const double hours = storedNumber(cumul.get(i, 3));
        const double amount = storedNumber(cumul.get(i, 4));
        const double rate = storedNumber(cumul.get(i, 5));
        const double fee = storedNumber(cumul.get(i, 6));

        if (showsAsNonZero(hours)) {
            printer_.print(numberField(hours / 100, 6), false);
            totals_.hours += hours;
        } else {
            printer_.print(spaces(9), false);
        }
        if (showsAsNonZero(amount)) {
            printer_.print(std::string(" ") + numberField(amount / 100, 8), false);
            totals_.amount += amount;
        } else {
            printer_.print(spaces(12), false);
        }
        if (showsAsNonZero(rate)) {
            printer_.print(std::string(" ") + numberField(rate / 100, 8) + " ", false);
        } else {
            printer_.print(spaces(13), false);
        }
        // The fee column is the only one that shows a zero.
        if (showsAsNonZero(fee)) {
            printer_.print(numberField(fee / 100, 9), true);
            totals_.fees += fee;
        } else {
            printer_.print(numberField(0, 9), true);
        }
    }
}

void FeeInvoice::printSubtotal() {
    printer_.setFontBold(true);
    printer_.print(invoiceTotalLine(totals_), true);
}

void FeeInvoice::printEnd(const ComplementaryLines& complementary) {
    printBlankLine(printer_);
    if (complementary.fromFeeScale) {
        printFeeScaleItems(linesOf(complementary));
    } else {
        printRecordedFlows(linesOf(complementary));
    }
    printer_.setCurrentY(kTotalsLineCm * platform::kTwipsPerCm);
    printer_.setFontBold(true);
    printer_.print(invoiceTotalLine(totals_), true);
    printBlankLine(printer_);
    printer_.setFontBold(false);
    closePage();
}

void FeeInvoice::printFeeScaleItems(const std::vector<ComplementaryLine>& items) {
    const int cm = platform::kTwipsPerCm;
    bool subtotalJustPrinted = false;
    if (!items.empty()) {
        printSubtotal();
        subtotalJustPrinted = true;
        printer_.setFontBold(false);
        printBlankLine(printer_);
    }
    for (const ComplementaryLine& item : items) {
        if (pageIsFull(printer_, cm)) {
            // Close the page just under the last line; right after the subtotal, close it
            // above the subtotal and box the subtotal's figures with the frame.
            double bottom = std::round(printer_.currentY() + 0.5 * cm);
            if (subtotalJustPrinted) bottom = std::round(bottom - 1.5 * cm);
            ruleInvoiceFrame(printer_, bottom, subtotalJustPrinted);
            printer_.newPage();
            printHeading();
        }
        subtotalJustPrinted = false;

        printComplementaryLabel(printer_, item.label);
        const double amount = storedNumber(item.amount);
        if (amount > 0) {
            printer_.print(numberField(amount / 100, 8), true);
            totals_.amount += amount;
        } else if (amount < 0) {
            // A credit shows as a positive figure under the rate column and adds to the fees.
            printer_.print(spaces(12), false);
            printer_.print(numberField(std::fabs(amount) / 100, 8), true);
            totals_.fees += std::fabs(amount);
        } else {
            printer_.print(spaces(12), true);
        }
    }
}

void FeeInvoice::printRecordedFlows(const std::vector<ComplementaryLine>& flows) {
    if (!flows.empty()) {
        printSubtotal();
        printer_.setFontBold(false);
        printBlankLine(printer_);
    }
    for (const ComplementaryLine& flow : flows) {
        breakPageIfFull();
        printComplementaryLabel(printer_, flow.label);
        printer_.print(numberField(storedNumber(flow.amount) / 100, 8), true);
        totals_.amount += platform::leadingNumber(flow.amount);
    }
}

}  // namespace tessaran::printing
