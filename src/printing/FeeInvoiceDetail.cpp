// The body of the management-fee invoice: one line per detail line of a funding body of
// type "P", the extra lines (the fee-scale items of a print run, the complementary flows of a
// reprint) after a subtotal, then the final total in the boxes under the table.
// Invoice grid, in characters: 0 space | 1-30 label | 31-45 period | 46-54 hours |
// 55 space, 56-66 amount | 67 space, 68-78 rate, 79 space | 80-91 fee.

#include "control/Ctr_Tessaran.h"

#include <cmath>

#include "control/DataModule.h"
#include "platform/NumberText.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"
#include "printing/StatementLines.h"

namespace tessaran::control {
namespace {

// The subtotal and total line: "Total" at character 38, the three totals (hundredths) in
// the hours, amount and fee columns; the rate column stays blank.
std::string invoiceTotalLine(double hours, double amount, double fee) {
    return printing::spaces(38) + "Total" + printing::spaces(3) + printing::numberField(hours / 100, 6) + " " +
           printing::numberField(amount / 100, 8) + printing::spaces(13) + printing::numberField(fee / 100, 9);
}

// The frame of an invoice page down to `bottom` twips, with the three total boxes (hours,
// amount, fee) hanging 0.7 cm below it when `withTotalBoxes`.
void ruleInvoiceFrame(platform::Printer& printer, int twipsPerCm, double bottom, bool withTotalBoxes) {
    printing::ruleTableBody(printer, twipsPerCm, bottom);
    if (!withTotalBoxes) return;
    const double boxBottom = bottom + 0.7 * twipsPerCm;
    for (const double x : printing::kTotalsBoxRulesCm) printer.line(x * twipsPerCm, bottom, x * twipsPerCm, boxBottom);
    printer.line(9.6 * twipsPerCm, boxBottom, 14.2 * twipsPerCm, boxBottom);
    printer.line(16.8 * twipsPerCm, boxBottom, printing::kTableRightCm * twipsPerCm, boxBottom);
}

void ruleClosingFrame(platform::Printer& printer, int twipsPerCm) {
    ruleInvoiceFrame(printer, twipsPerCm, printing::kTableBottomCm * twipsPerCm, true);
}

}  // namespace

void Ctr_Tessaran::Detail_Frais_Gestion() {
    platform::Printer& printer = *Printer_;
    TotalHeuresFacture = 0;
    TotalMontantFacture = 0;
    TotalFraisFacture = 0;

    const int lines = Cumul ? Cumul->DCount() : 0;
    for (int i = 1; i <= lines; ++i) {
        // Every line takes part in the page-break test, printed or not.
        if (printing::pageIsFull(printer, TwipsParCm)) {
            SuitePage = true;
            Fin_Tableau_Frais_Gestion();
            printer.newPage();
            Entete_Frais_Gestion();
        }
        if (Cumul->get(i, 7) != "P") continue;

        printer.print(std::string(" ") + printing::padded(Cumul->get(i, 1), 30), false);
        printer.print(printing::padded(printing::periodText(Cumul->get(i, 2)), 15), false);

        const double hours = printing::storedNumber(Cumul->get(i, 3));
        const double amount = printing::storedNumber(Cumul->get(i, 4));
        const double rate = printing::storedNumber(Cumul->get(i, 5));
        const double fee = printing::storedNumber(Cumul->get(i, 6));

        if (printing::showsAsNonZero(hours)) {
            printer.print(printing::numberField(hours / 100, 6), false);
            TotalHeuresFacture += hours;
        } else {
            printer.print(printing::spaces(9), false);
        }
        if (printing::showsAsNonZero(amount)) {
            printer.print(std::string(" ") + printing::numberField(amount / 100, 8), false);
            TotalMontantFacture += amount;
        } else {
            printer.print(printing::spaces(12), false);
        }
        if (printing::showsAsNonZero(rate)) {
            printer.print(std::string(" ") + printing::numberField(rate / 100, 8) + " ", false);
        } else {
            printer.print(printing::spaces(13), false);
        }
        // The fee column is the only one that shows a zero.
        if (printing::showsAsNonZero(fee)) {
            printer.print(printing::numberField(fee / 100, 9), true);
            TotalFraisFacture += fee;
        } else {
            printer.print(printing::numberField(0, 9), true);
        }
    }
}

void Ctr_Tessaran::Fin_Tableau_Frais_Gestion() {
    platform::Printer& printer = *Printer_;
    DataModule& data = dataModule();

    if (SuitePage) {
        ruleClosingFrame(printer, TwipsParCm);
        return;
    }
    printing::printBlankLine(printer);
    bool subtotalJustPrinted = false;

    const auto printSubtotal = [&] {
        printer.setFontBold(true);
        printer.print(invoiceTotalLine(TotalHeuresFacture, TotalMontantFacture, TotalFraisFacture), true);
    };

    if (ModeImpression) {
        const db::DynamicArray& scale = control::heldRecord(data.BAREMEFEDEASSO.record, "BAREMEFEDEASSO");
        const int items = scale.DCount(3);
        if (items > 0) {
            printSubtotal();
            subtotalJustPrinted = true;
            printer.setFontBold(false);
            printing::printBlankLine(printer);
        }
        for (int j = 1; j <= items; ++j) {
            if (printing::pageIsFull(printer, TwipsParCm)) {
                // Close the page just under the last line; right after the subtotal, close it
                // above the subtotal and box the subtotal's figures with the frame.
                double bottom = std::round(printer.currentY() + 0.5 * TwipsParCm);
                if (subtotalJustPrinted) bottom = std::round(bottom - 1.5 * TwipsParCm);
                ruleInvoiceFrame(printer, TwipsParCm, bottom, subtotalJustPrinted);
                printer.newPage();
                Entete_Frais_Gestion();
            }
            subtotalJustPrinted = false;

            printing::printComplementaryLabel(printer, scale.get(3, j));
            const double amount = printing::storedNumber(scale.get(4, j));
            if (amount > 0) {
                printer.print(printing::numberField(amount / 100, 8), true);
                TotalMontantFacture += amount;
            } else if (amount < 0) {
                // A credit shows as a positive figure under the rate column and adds to the fees.
                printer.print(printing::spaces(12), false);
                printer.print(printing::numberField(std::fabs(amount) / 100, 8), true);
                TotalFraisFacture += std::fabs(amount);
            } else {
                printer.print(printing::spaces(12), true);
            }
        }
    } else {
        Requete_Flux_Complement();
        const int flows = ListeFluxComplement && !ListeFluxComplement->empty() ? ListeFluxComplement->DCount() : 0;
        if (flows > 0) {
            printSubtotal();
            printer.setFontBold(false);
            printing::printBlankLine(printer);
        }
        for (int j = 1; j <= flows; ++j) {
            if (printing::pageIsFull(printer, TwipsParCm)) {
                SuitePage = true;
                Fin_Tableau_Frais_Gestion();
                printer.newPage();
                Entete_Frais_Gestion();
            }
            data.FLUXCOMPTABLES2 = data.FLUXCOMPTABLES.file->Read(ListeFluxComplement->get(j));
            const std::string storedAmount = control::heldRecord(data.FLUXCOMPTABLES2, "FLUXCOMPTABLES").get(28);
            printing::printComplementaryLabel(printer, control::heldRecord(data.FLUXCOMPTABLES2, "FLUXCOMPTABLES").get(27));
            printer.print(printing::numberField(printing::storedNumber(storedAmount) / 100, 8), true);
            TotalMontantFacture += platform::leadingNumber(storedAmount);
        }
    }

    printer.setCurrentY(printing::kTotalsLineCm * TwipsParCm);
    printer.setFontBold(true);
    printer.print(invoiceTotalLine(TotalHeuresFacture, TotalMontantFacture, TotalFraisFacture), true);
    printing::printBlankLine(printer);
    printer.setFontBold(false);
    ruleClosingFrame(printer, TwipsParCm);
}

}  // namespace tessaran::control
