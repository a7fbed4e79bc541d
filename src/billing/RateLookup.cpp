// Cherche_Taux: loads the service activity (kind "P") into the activity slot; flows without
// a funding body are billed from its dated rates when the association has none of its own.

#include "control/Ctr_Tessaran.h"
#include "control/DataModule.h"

namespace tessaran::control {

void Ctr_Tessaran::Cherche_Taux() {
    auto& module = dataModule();
    db::SelectRequest& request = *module.request;
    request.assign("");
    request.set(1, "SSELECT ACTIVITES AVEC 12 = \"P\"");
    request.set(2, "ACTIVITES");
    request.set(3, "0");
    ListeActivites = std::make_shared<db::DynamicArray>(module.database->Select(request.str(), ""));
    // The first activity in key order; none makes the read fail with the not-found error.
    const std::string key = ListeActivites->get(1);
    module.ACTIVITES.record = module.ACTIVITES.file->Read(key);
}

}  // namespace tessaran::control
