// Requete_Flux_Complement: the complementary flows that a print run recorded for the current
// association and sector in the chosen period, selected again for a reprint.

#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"

namespace tessaran::control {

void Ctr_Tessaran::Requete_Flux_Complement() {
    auto& module = dataModule();
    db::SelectRequest& request = *module.request;
    const std::string quote = "\"";
    request.assign("");
    request.set(1, request.get(1) + "SSELECT FLUXCOMPTABLES AVEC 1 = " + quote + periodeChoisie() + quote);
    request.set(1, request.get(1) + " AND AVEC 0 = " + quote + "00000" + CodeAssoCourante + SecteurCourant + "]" +
                       quote + " AND AVEC 20 # " + quote + quote);
    request.set(1, request.get(1) + " PAR 0");
    request.set(2, "FLUXCOMPTABLES");
    request.set(3, "0");
    ListeFluxComplement = std::make_shared<db::DynamicArray>(module.database->Select(request.str(), ""));
}

}  // namespace tessaran::control
