// HUD overlay of the virtual cockpit.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

bool ShuttlePB::clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, oapi::Sketchpad *skp) {
  return VESSEL3::clbkDrawHUD(mode, hps, skp);
}
