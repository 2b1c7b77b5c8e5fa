// The four exported entry points, for code linked with the module directly.
#pragma once

#include "module/orbiter_api.h"

extern "C" {
VESSEL *ovcInit(OBJHANDLE hvessel, int flightmodel);
void ovcExit(VESSEL *vessel);
const char *ModuleDate();
int GetModuleVersion();
}
