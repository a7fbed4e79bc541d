#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Imprime_Recap() {}
void Ctr_Tessaran::Imprime_Entete_Recap() {}
void Ctr_Tessaran::Imprime_Detail_Recap() {}
void Ctr_Tessaran::Imprime_Fin_Tableau_Recap() {}

}  // namespace tessaran::control
