#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Imprime_Entete() {}
void Ctr_Tessaran::Imprime_Entete_Tableau() {}

}  // namespace tessaran::control
