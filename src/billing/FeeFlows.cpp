#include "control/Ctr_Tessaran.h"

// Placeholder: filled in by the work on this part of the control.
namespace tessaran::control {

void Ctr_Tessaran::Remplir_FluxComptables(double, bool, std::int16_t) {}

}  // namespace tessaran::control
