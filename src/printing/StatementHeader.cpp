// The heading of every page of a sector's billing statement: letterhead with the date, title
// with the pay period, the billed association, the sector, then the ruled column headings.

#include "control/Ctr_Tessaran.h"

#include <QComboBox>

#include "control/DataModule.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"

namespace tessaran::control {

void Ctr_Tessaran::Imprime_Entete() {
    SuitePage = false;
    platform::Printer& printer = *Printer_;
    DataModule& data = dataModule();

    printing::startPageHeading(printer, TwipsParCm);
    printing::printLetterhead(printer, control::heldRecord(data.ASSOCIATION.record, "ASSOCIATION"), printing::dateText(services_.clock->today()));
    printing::printBlankLine(printer);

    printing::printTitle(printer, 20, "ETAT DE FACTURATION DE " + Cbo_PeriodePaie->currentText().toStdString());
    printing::printBlankLine(printer, 2);

    printing::printAddresseeBlock(printer, control::heldRecord(data.FEDEASSOC.record, "FEDEASSOC"));
    printing::printBlankLine(printer);

    data.SECTEUR.record = data.SECTEUR.file->Read(SecteurCourant);
    // "Secteur" and its separator take 14 characters, like "Association : ".
    printing::printLabelledLine(printer, "Secteur", "     : " + control::heldRecord(data.SECTEUR.record, "SECTEUR").get(1));
    printing::printBlankLine(printer, 2);

    Imprime_Entete_Tableau();
}

void Ctr_Tessaran::Imprime_Entete_Tableau() {
    platform::Printer& printer = *Printer_;
    printing::moveToColumnHeadings(printer, TwipsParCm);
    // Each heading falls inside its ruled column.
    for (const char* item : {"LIBELLE", "               ", "PERIODE", "      ", "HEURES", "   ", "MONT.CAISSE", " ",
                             "FRAIS GEST.", " "}) {
        printer.print(item, false);
    }
    printer.print("MONT.BENEF.", true);
    printing::ruleHeadingBox(printer, TwipsParCm);
    printing::printBlankLine(printer);
}

}  // namespace tessaran::control
