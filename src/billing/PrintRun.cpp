// Cmd_Imprimer_Click: the print run. It selects the flows of the chosen period and
// associations that are not invoiced yet, prints each association's statements, recap and
// management-fee invoice, records the fees, invoice numbers and complementary flows, and
// stores the invoice counter once at the end. Everything it writes is kept together or not
// at all: one database transaction spans the run, from before the select to after the
// counter.

#include <optional>

#include "ErrorTrap.h"
#include "RunTransaction.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/Utility.h"

namespace tessaran::control {
namespace {

std::string transactionRefusal(const db::DatabaseError& error) {
    if (error.code() == db::error_code::kBusy) {
        return "Une autre impression est en cours sur cette base de données. "
               "Réessayez lorsqu'elle sera terminée.";
    }
    return std::string("L'impression ne peut pas commencer : la base de données n'est pas disponible (") +
           error.what() + ").";
}

}  // namespace

void Ctr_Tessaran::Cmd_Imprimer_Click() {
    auto& module = dataModule();
    billing::ErrorTrap trap;
    ModeImpression = true;
    PremiereCopie = true;
    runWriteFailed_ = false;
    if (!module.database || !module.request) {
        throw db::DatabaseError(db::error_code::kNoDatabase, "the control has no open database");
    }

    std::optional<billing::RunTransaction> transaction;
    try {
        transaction.emplace(*module.database);
    } catch (const db::DatabaseError& error) {
        services_.ui->messageBox(transactionRefusal(error), platform::kButtonsExclamation, billing::kMessageTitle);
        finishRun();
        return;
    }

    trap.run([&] {
        module.request->assign("");
        module.request->set(1, requeteFlux(false));
        module.request->set(2, "FLUXCOMPTABLES");
        module.request->set(3, "0");
    });
    trap.run([&] { ListeFlux = std::make_shared<db::DynamicArray>(module.database->Select(module.request->str(), "")); });
    if (!ListeFlux || ListeFlux->empty()) {
        transaction->rollback();
        services_.ui->messageBox("Aucun état de facturation à éditer.", platform::kButtonsInformation,
                                 billing::kMessageTitle);
        finishRun();
        return;
    }

    if (!prepareRun(trap)) {
        transaction->rollback();
        finishRun();
        return;
    }
    services_.ui->setMousePointer(platform::kPointerHourglass);
    setEnabled(false);

    walkCopies(trap);

    // The counter keeps the last number used; it is written once, after every copy.
    const bool counterWritten = trap.run([&] {
        NumFacture = billing::invoiceNumberText(billing::numberOf(NumFacture) - 1);
        db::Record& counter = billing::held(module.NUMEROFACT.record, "NUMEROFACT");
        counter.set(10, NumFacture);
        storeRunRecord(counter);
    });
    bool kept = false;
    if (counterWritten && !runWriteFailed_) {
        kept = trap.run([&] { transaction->commit(); });
    } else {
        transaction->rollback();
    }
    if (!kept) {
        services_.ui->messageBox(
            "L'enregistrement de la facturation a échoué : aucune facture, aucun frais de gestion ni aucun "
            "flux complémentaire n'a été enregistré. Les documents imprimés ne sont pas valables ; "
            "relancez l'impression.",
            platform::kButtonsExclamation, billing::kMessageTitle);
    }
    endRun(trap);
    finishRun();
}

}  // namespace tessaran::control
