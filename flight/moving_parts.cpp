// Canopy, speed brake, nozzle drive and lift-fan doors.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

void MovingParts(ShuttlePB &, StepValues &) {}
