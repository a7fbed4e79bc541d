// The management-fee invoice: its entry procedure and the heading of each of its pages
// (issuer and date, title with the pay period, the billed association, the invoice number,
// then the ruled column headings).

#include "control/Ctr_Tessaran.h"

#include <QComboBox>

#include "control/DataModule.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"

namespace tessaran::control {

void Ctr_Tessaran::Imprime_Frais_Gestion() {
    Entete_Frais_Gestion();
    Detail_Frais_Gestion();
    Fin_Tableau_Frais_Gestion();
}

void Ctr_Tessaran::Entete_Frais_Gestion() {
    SuitePage = false;
    platform::Printer& printer = *Printer_;
    const DataModule& data = dataModule();

    printing::startPageHeading(printer, TwipsParCm);
    printing::printLetterhead(printer, control::heldRecord(data.ASSOCIATION.record, "ASSOCIATION"), printing::dateText(services_.clock->today()));
    printing::printBlankLine(printer, 2);

    printing::printTitle(printer, 10,
                         "FACTURE DES FRAIS DE GESTION DE " + Cbo_PeriodePaie->currentText().toStdString());
    printing::printBlankLine(printer, 2);

    printing::printAddresseeBlock(printer, control::heldRecord(data.FEDEASSOC.record, "FEDEASSOC"));
    printing::printBlankLine(printer);

    printing::printLabelledLine(printer, "Numéro de facture", " : " + NumFacture);
    printing::printBlankLine(printer, 2);

    Entete_Tableau_Frais_Gestion();
}

void Ctr_Tessaran::Entete_Tableau_Frais_Gestion() {
    platform::Printer& printer = *Printer_;
    printing::moveToColumnHeadings(printer, TwipsParCm);
    for (const char* item : {"LIBELLE", "               ", "PERIODE", "       ", "HEURES", "    ", "MONTANT", "      ",
                             "TAUX", "     "}) {
        printer.print(item, false);
    }
    printer.print("FRAIS GEST.", true);
    printing::ruleHeadingBox(printer, TwipsParCm);
    printing::printBlankLine(printer);
}

}  // namespace tessaran::control
