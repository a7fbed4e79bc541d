#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Cherche_Taux() {}

}  // namespace tessaran::control
