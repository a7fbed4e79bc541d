// The body of a sector's billing statement: one line per detail line, then, at the end of
// the statement, the association's complementary lines, the totals and the balance. A full
// page is closed by ruling its table body and continues on a new page under a new heading.

#include "control/Ctr_Tessaran.h"

#include "control/DataModule.h"
#include "printing/PageLayout.h"
#include "printing/PageText.h"
#include "printing/StatementLines.h"

namespace tessaran::control {

void Ctr_Tessaran::Imprime_Detail() {
    platform::Printer& printer = *Printer_;
    if (printing::pageIsFull(printer, TwipsParCm)) {
        SuitePage = true;
        Imprime_Fin_Tableau();
        printer.newPage();
        Imprime_Entete();
    }

    printing::StatementLine line;
    line.label = LibelleDetail;
    line.period = PeriodeDetail;
    line.hours = HeuresDetail;
    line.amount = CaisseDetail;
    line.fee = FraisDetail;
    line.beneficiary = BenefDetail;
    line.feeWithheld = control::heldRecord(dataModule().ORGPRISECHARGE.record, "ORGPRISECHARGE").get(18) == "C";

    const printing::PrintedFigures printed = printing::printStatementLine(printer, line);
    if (line.feeWithheld) FraisDetail = 0;
    TotalHeures += printed.hours;
    TotalCaisse += printed.amount;
    TotalFrais += printed.fee;
    TotalBenef += printed.beneficiary;
}

void Ctr_Tessaran::Imprime_Fin_Tableau() {
    platform::Printer& printer = *Printer_;
    DataModule& data = dataModule();
    const bool endOfStatement = !SuitePage;

    // A single-sector association has its complementary lines on the statement; the others
    // get them on their recapitulative statement.
    if (endOfStatement && control::heldRecord(data.FEDEASSOC.record, "FEDEASSOC").DCount(41) == 1) {
        printing::printBlankLine(printer);
        const auto breakPageIfFull = [&] {
            if (!printing::pageIsFull(printer, TwipsParCm)) return;
            SuitePage = true;
            Imprime_Fin_Tableau();
            printer.newPage();
            Imprime_Entete();
        };
        if (ModeImpression) {
            const db::DynamicArray& scale = control::heldRecord(data.BAREMEFEDEASSO.record, "BAREMEFEDEASSO");
            const int items = scale.DCount(3);
            for (int i = 1; i <= items; ++i) {
                breakPageIfFull();
                TotalCaisse += printing::printComplementaryLine(printer, scale.get(3, i),
                                                                printing::storedNumber(scale.get(4, i)));
                Remplir_FluxComptables(printing::storedNumber(scale.get(4, i)), true, static_cast<std::int16_t>(i));
            }
        } else {
            TotalCaisse += printStoredComplementaryFlows(breakPageIfFull);
        }
    }

    if (!SuitePage) {
        printing::printStatementTotals(printer, TwipsParCm, {TotalHeures, TotalCaisse, TotalFrais, TotalBenef});
    }
    printing::ruleTableBody(printer, TwipsParCm, printing::kTableBottomCm * TwipsParCm);
    if (SuitePage) return;
    printing::ruleStatementFootBoxes(printer, TwipsParCm);
}

double Ctr_Tessaran::printStoredComplementaryFlows(const std::function<void()>& breakPageIfFull) {
    DataModule& data = dataModule();
    Requete_Flux_Complement();
    double printed = 0;
    const int flows = ListeFluxComplement ? ListeFluxComplement->DCount() : 0;
    for (int i = 1; i <= flows; ++i) {
        breakPageIfFull();
        data.FLUXCOMPTABLES2 = data.FLUXCOMPTABLES.file->Read(ListeFluxComplement->get(i));
        const db::Record& flow = control::heldRecord(data.FLUXCOMPTABLES2, "FLUXCOMPTABLES");
        printed += printing::printComplementaryLine(*Printer_, flow.get(27), printing::storedNumber(flow.get(28)));
    }
    return printed;
}

}  // namespace tessaran::control
