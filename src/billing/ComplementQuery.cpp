#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Requete_Flux_Complement() {}

}  // namespace tessaran::control
