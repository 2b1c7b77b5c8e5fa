// Engine, lift-fan and reheat sounds following the throttle and the camera.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

void EngineSounds(ShuttlePB &, StepValues &) {}
