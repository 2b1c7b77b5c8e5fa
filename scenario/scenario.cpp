// The vessel's own lines in the host's scenario files.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

void ShuttlePB::clbkSaveState(FILEHANDLE scn) { VESSEL2::clbkSaveState(scn); }
void ShuttlePB::clbkLoadStateEx(FILEHANDLE scn, void *status) { VESSEL2::clbkLoadStateEx(scn, status); }
