// Propulsion regimes and the flight envelope, the hover nozzle set, the
// lift-fan rotor and the idle minimum.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void ThrustSetup(ShuttlePB &, StepValues &) {}
void HoverNozzleSet(ShuttlePB &, StepValues &) {}
void LiftFanRotor(ShuttlePB &, StepValues &) {}
void IdleMinimum(ShuttlePB &) {}
