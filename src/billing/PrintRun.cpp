#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Cmd_Imprimer_Click() {}

}  // namespace tessaran::control
