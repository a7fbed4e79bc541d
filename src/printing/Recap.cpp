// The recapitulative statement of a multi-sector association: every detail line of all its
// sectors, then its complementary lines, with the totals and the balance at the foot of
// every page (running totals on a page that continues, the final ones on the last page).

#include "control/Ctr_Tessaran.h"

#include <QComboBox>
#include <cmath>

#include "control/DataModule.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"
#include "printing/StatementLines.h"

namespace tessaran::control {

void Ctr_Tessaran::Imprime_Recap() {
    TotalCaisse = 0;
    TotalFrais = 0;
    TotalHeures = 0;
    TotalBenef = 0;
    SuitePage = false;
    Imprime_Entete_Recap();
    Imprime_Detail_Recap();
    Imprime_Fin_Tableau_Recap();
    MultiSecteur = false;
}

void Ctr_Tessaran::Imprime_Entete_Recap() {
    SuitePage = false;
    platform::Printer& printer = *Printer_;
    const DataModule& data = dataModule();

    printing::startPageHeading(printer, TwipsParCm);
    printing::printLetterhead(printer, control::heldRecord(data.ASSOCIATION.record, "ASSOCIATION"), printing::dateText(services_.clock->today()));
    printing::printBlankLine(printer);

    printing::printTitle(printer, 15,
                         "ETAT RECAPITULATIF DE FACTURATION DE " + Cbo_PeriodePaie->currentText().toStdString());
    printing::printBlankLine(printer, 2);

    // All sectors together: no sector block.
    printing::printAddresseeBlock(printer, control::heldRecord(data.FEDEASSOC.record, "FEDEASSOC"));
    printing::printBlankLine(printer, 2);

    Imprime_Entete_Tableau();
}

void Ctr_Tessaran::Imprime_Detail_Recap() {
    platform::Printer& printer = *Printer_;
    const int lines = Detail ? Detail->DCount() : 0;
    for (int i = 1; i <= lines; ++i) {
        if (printing::pageIsFull(printer, TwipsParCm)) {
            SuitePage = true;
            Imprime_Fin_Tableau_Recap();
            printer.newPage();
            Imprime_Entete_Recap();
        }

        printing::StatementLine line;
        line.label = Detail->get(i, 1);
        line.period = Detail->get(i, 2);
        line.hours = printing::storedNumber(Detail->get(i, 3));
        line.amount = printing::storedNumber(Detail->get(i, 4));
        line.fee = printing::storedNumber(Detail->get(i, 5));
        line.beneficiary = printing::storedNumber(Detail->get(i, 6));
        line.feeWithheld = Detail->get(i, 7) == "C";

        const printing::PrintedFigures printed = printing::printStatementLine(printer, line);
        // Hours are totalled exactly; the other totals add the printed figures.
        if (line.hours != 0) TotalHeures += line.hours / 100;
        TotalCaisse += printed.amount;
        TotalFrais += printed.fee;
        TotalBenef += printed.beneficiary;
    }
}

void Ctr_Tessaran::Imprime_Fin_Tableau_Recap() {
    platform::Printer& printer = *Printer_;
    DataModule& data = dataModule();

    if (!SuitePage) {
        printing::printBlankLine(printer);
        const auto breakPageIfFull = [&] {
            if (!printing::pageIsFull(printer, TwipsParCm)) return;
            SuitePage = true;
            Imprime_Fin_Tableau_Recap();
            printer.newPage();
            Imprime_Entete_Recap();
        };
        if (ModeImpression) {
            // Fee-scale items: a charge goes in the funding-body amount column, a credit (a
            // negative amount) in the fee column as a positive figure, so it lowers the balance.
            const db::DynamicArray& scale = control::heldRecord(data.BAREMEFEDEASSO.record, "BAREMEFEDEASSO");
            const int items = scale.DCount(3);
            for (int i = 1; i <= items; ++i) {
                breakPageIfFull();
                printing::printComplementaryLabel(printer, scale.get(3, i));
                const double amount = printing::storedNumber(scale.get(4, i));
                if (amount > 0) {
                    const std::string field = printing::numberField(amount / 100, 8);
                    printer.print(field, true);
                    TotalCaisse += printing::printedValue(field);
                } else if (amount < 0) {
                    printer.print(printing::spaces(12), false);
                    const std::string field = printing::numberField(std::fabs(amount) / 100, 8);
                    printer.print(field, true);
                    TotalFrais += printing::printedValue(field);
                } else {
                    printer.print("", true);
                }
            }
        } else {
            TotalCaisse += printStoredComplementaryFlows(breakPageIfFull);
        }
    }

    printing::printStatementTotals(printer, TwipsParCm, {TotalHeures, TotalCaisse, TotalFrais, TotalBenef});
    printing::ruleTableBody(printer, TwipsParCm, printing::kTableBottomCm * TwipsParCm);
    printing::ruleStatementFootBoxes(printer, TwipsParCm);
}

}  // namespace tessaran::control
