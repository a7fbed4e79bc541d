// The walk of a run over the selected flows, shared by the print run and the reprint run:
// for every copy, every flow in association, sector, funding-body and period order; the
// documents of an association are opened at its first flow and after every change of
// sector, and closed at every change of sector or association and at the end of the copy.
// In a print run the association must have its fee scale, and its invoice gets the next
// number; in a reprint everything comes from the flows.

#include <algorithm>

#include "ErrorTrap.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/DateText.h"
#include "platform/Utility.h"

namespace tessaran::control {
namespace {

void readInto(std::shared_ptr<db::Record>& slot, FileSlot& file, const std::string& key) {
    slot = file.file->Read(key);
}

}  // namespace

void Ctr_Tessaran::walkCopies(billing::ErrorTrap& trap) {
    auto& module = dataModule();
    const int copies = std::max<int>(1, utility().NbExemplaires());
    const int flowCount = ListeFlux ? ListeFlux->DCount() : 0;
    flowsHandled_ = 0;
    flowsToHandle_ = flowCount * copies;

    for (int copy = 1; copy <= copies; ++copy) {
        // Fees, invoice numbers and complementary flows are written during the first copy
        // only; the others print the same documents from the same figures.
        PremiereCopie = copy == 1;
        if (copy != 1) newPage(trap);
        trap.run([&] {
            if (platform::toUpperFrench(Printer_->deviceName()).find("MATRIC") == std::string::npos) {
                Printer_->setQualitySetting(1);
            }
        });
        zeroTotals();
        zeroDetail();
        Cumul->clear();
        Detail->clear();
        if (!ModeImpression) AssoValide = true;

        const int n = flowCount;
        trap.run([&] { readInto(module.ASSOCIATION.record, module.ASSOCIATION, "001"); });
        if (ModeImpression) {
            trap.run([&] { readInto(module.NUMEROFACT.record, module.NUMEROFACT, "001"); });
            // The counter holds the last number used.
            trap.run([&] {
                const std::string last = billing::held(module.NUMEROFACT.record, "NUMEROFACT").get(10);
                NumFacture = billing::invoiceNumberText(billing::numberOf(last.empty() ? "0" : last) + 1);
            });
        }

        trap.run([&] { CleFlux = ListeFlux->get(1); });
        trap.run([&] { readInto(module.FLUXCOMPTABLES.record, module.FLUXCOMPTABLES, CleFlux); });
        CodeAssoCourante = billing::associationOfKey(CleFlux);
        SecteurCourant = billing::sectorOfKey(CleFlux);
        trap.run([&] { OrgCourant = billing::held(module.FLUXCOMPTABLES.record, "FLUXCOMPTABLES").get(4); });
        PeriodeDetail = billing::periodOfKey(CleFlux);
        openAssociation(trap, false);

        for (int i = 1; i <= n; ++i) {
            trap.run([&] { CleFlux = ListeFlux->get(i); });
            trap.run([&] { readInto(module.FLUXCOMPTABLES.record, module.FLUXCOMPTABLES, CleFlux); });
            if (billing::sectorOfKey(CleFlux) != SecteurCourant) {
                closeSector(trap);
                openAssociation(trap, true);
            } else if (billing::associationOfKey(CleFlux) != CodeAssoCourante) {
                closeAssociation(trap);
                openAssociation(trap, true);
            }
            if (AssoValide) handleFlow(trap);
            reportProgress();
        }
        closeLastAssociation(trap);
    }
    PremiereCopie = true;
}

void Ctr_Tessaran::openAssociation(billing::ErrorTrap& trap, bool withinWalk) {
    auto& module = dataModule();
    if (withinWalk) {
        zeroTotals();
        zeroDetail();
        SecteurCourant = billing::sectorOfKey(CleFlux);
        CodeAssoCourante = billing::associationOfKey(CleFlux);
        trap.run([&] { OrgCourant = billing::held(module.FLUXCOMPTABLES.record, "FLUXCOMPTABLES").get(4); });
        PeriodeDetail = billing::periodOfKey(CleFlux);
    }

    trap.clear();
    trap.run([&] { readInto(module.FEDEASSOC.record, module.FEDEASSOC, CodeAssoCourante); });
    trap.run([&] { MultiSecteur = billing::held(module.FEDEASSOC.record, "FEDEASSOC").DCount(41) > 1; });
    if (!ModeImpression) {
        trap.run([&] { Imprime_Entete(); });
        return;
    }

    const auto associationName = [&] { return billing::held(module.FEDEASSOC.record, "FEDEASSOC").get(1); };
    if (!trap.run([&] { readInto(module.FLUXPARAM.record, module.FLUXPARAM, CodeAssoCourante); }) &&
        trap.code() == db::error_code::kNotFound) {
        trap.run([&] {
            services_.ui->messageBox("Le paramétrage des flux comptables de l'association " + associationName() +
                                         " n'est pas renseigné.",
                                     platform::kButtonsExclamation, billing::kMessageTitle);
        });
        // Its flows get empty accounting parameters rather than those of the association
        // billed before it.
        module.FLUXPARAM.record = std::make_shared<db::Record>(module.FLUXPARAM.file, CodeAssoCourante);
    }

    trap.clear();
    if (!trap.run([&] { readInto(module.BAREMEFEDEASSO.record, module.BAREMEFEDEASSO, CodeAssoCourante + "P"); }) &&
        trap.code() == db::error_code::kNotFound) {
        trap.run([&] {
            services_.ui->messageBox("Le barème de l'association " + associationName() + " n'est pas renseigné.",
                                     platform::kButtonsExclamation, billing::kMessageTitle);
        });
        AssoValide = false;
    } else {
        trap.run([&] { Imprime_Entete(); });
        AssoValide = true;
    }
}

void Ctr_Tessaran::advanceInvoiceNumber() {
    if (ModeImpression) NumFacture = billing::invoiceNumberText(billing::numberOf(NumFacture) + 1);
}

// The sector changed: the statement of the finished sector is closed and, when the
// association changed too, its recap (several sectors) and its invoice follow.
void Ctr_Tessaran::closeSector(billing::ErrorTrap& trap) {
    if (!AssoValide) return;
    const bool associationChanged = billing::associationOfKey(CleFlux) != CodeAssoCourante;
    trap.run([&] { Imprime_Detail(); });
    SuitePage = false;
    trap.run([&] { Imprime_Fin_Tableau(); });
    newPage(trap);
    if (associationChanged) {
        if (MultiSecteur) {
            trap.run([&] { Imprime_Recap(); });
            newPage(trap);
        }
        trap.run([&] { Imprime_Frais_Gestion(); });
        advanceInvoiceNumber();
        newPage(trap);
        Cumul->clear();
        Detail->clear();
    }
}

// Same sector code, another association: statement, recap (several sectors), invoice, and a
// new page for the next association.
void Ctr_Tessaran::closeAssociation(billing::ErrorTrap& trap) {
    if (!AssoValide) return;
    printAssociationDocuments(trap);
    newPage(trap);
    Cumul->clear();
    Detail->clear();
}

// End of a copy: the last association's documents, without a page after its invoice.
void Ctr_Tessaran::closeLastAssociation(billing::ErrorTrap& trap) {
    if (!AssoValide) return;
    printAssociationDocuments(trap);
}

// The last statement of an association, its recap when it has several sectors, its invoice.
void Ctr_Tessaran::printAssociationDocuments(billing::ErrorTrap& trap) {
    trap.run([&] { Imprime_Detail(); });
    SuitePage = false;
    trap.run([&] { Imprime_Fin_Tableau(); });
    newPage(trap);
    if (MultiSecteur) {
        trap.run([&] { Imprime_Recap(); });
        newPage(trap);
    }
    trap.run([&] { Imprime_Frais_Gestion(); });
    advanceInvoiceNumber();
}

// One flow of a billable association: a change of funding body or period prints the line
// just finished; the flow's funding body is read (or, without one, the service rate chosen)
// and the flow is accumulated.
void Ctr_Tessaran::handleFlow(billing::ErrorTrap& trap) {
    auto& module = dataModule();
    const auto flow = [&]() -> db::Record& { return billing::held(module.FLUXCOMPTABLES.record, "FLUXCOMPTABLES"); };

    bool lineChanged = false;
    trap.run([&] { lineChanged = OrgCourant != flow().get(4) || PeriodeDetail != billing::periodOfKey(CleFlux); });
    if (lineChanged) {
        trap.run([&] { Imprime_Detail(); });
        zeroDetail();
        trap.run([&] { OrgCourant = flow().get(4); });
        PeriodeDetail = billing::periodOfKey(CleFlux);
    }

    std::string fundingBody;
    trap.run([&] { fundingBody = flow().get(4); });
    trap.run([&] { readInto(module.ORGPRISECHARGE.record, module.ORGPRISECHARGE, fundingBody); });
    if (fundingBody == billing::kNoFundingBody) {
        LibelleDetail = billing::kServiceRateLabel;
        trap.run([&] { Cherche_Taux(); });
        choisirTauxPrestation(trap);
    } else {
        trap.run([&] { LibelleDetail = billing::held(module.ORGPRISECHARGE.record, "ORGPRISECHARGE").get(1); });
    }
    trap.run([&] { Cumule_Detail(); });
}

}  // namespace tessaran::control
