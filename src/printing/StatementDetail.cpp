#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Imprime_Detail() {}
void Ctr_Tessaran::Imprime_Fin_Tableau() {}

}  // namespace tessaran::control
