// "Réedition": the reprint run. It selects the flows of the chosen period and associations
// that were already invoiced and prints their documents again, from the fees and invoice
// numbers stored on the flows and the complementary flows recorded by the print run. It
// writes nothing and opens no transaction.

#include "ErrorTrap.h"
#include "RunValues.h"
#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"
#include "platform/Utility.h"

namespace tessaran::control {

void Ctr_Tessaran::Cmd_Reedition_Click() {
    auto& module = dataModule();
    if (!module.database || !module.request) {
        throw db::DatabaseError(db::error_code::kNoDatabase, "the control has no open database");
    }
    module.request->assign("");
    module.request->set(1, requeteFlux(true));
    module.request->set(2, "FLUXCOMPTABLES");
    module.request->set(3, "0");
    ListeFlux = std::make_shared<db::DynamicArray>(module.database->Select(module.request->str(), ""));
    if (!ListeFlux->empty()) {
        ModeImpression = false;
        Reedition();
    } else {
        services_.ui->messageBox("Aucun état de facturation à ré-éditer.", platform::kButtonsInformation,
                                 billing::kMessageTitle);
    }
    finishRun();
}

void Ctr_Tessaran::Reedition() {
    billing::ErrorTrap trap;
    if (!prepareRun(trap)) return;
    services_.ui->setMousePointer(platform::kPointerHourglass);
    setEnabled(false);

    walkCopies(trap);

    endRun(trap);
}

}  // namespace tessaran::control
