// Low-speed attitude control: the pilot's control-surface levels turned into
// pure moments (equal and opposite force pairs).
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void LowSpeedControlForces(ShuttlePB &, StepValues &) {}
void ShuttlePB::ApplyGroundSteering() {}
void ShuttlePB::ApplyLowSpeedControl() {}
