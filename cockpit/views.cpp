// Cockpit view switching: view 0 with the cockpit mesh, view 1 without it.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void ShuttlePB::SelectViewCockpit() {}
void ShuttlePB::SelectViewOpen() {}
void ShuttlePB::RefreshCockpitMesh() {}
