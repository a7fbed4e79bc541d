#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Cmd_Reedition_Click() {}
void Ctr_Tessaran::Reedition() {}

}  // namespace tessaran::control
