// Keyboard commands of the pilot.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

int ShuttlePB::clbkConsumeBufferedKey(DWORD, bool, char *) { return 0; }
