#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Detail_Frais_Gestion() {}
void Ctr_Tessaran::Fin_Tableau_Frais_Gestion() {}

}  // namespace tessaran::control
