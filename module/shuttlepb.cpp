#include "module/shuttlepb.h"

#include "module/handles.h"

ShuttlePB::ShuttlePB(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {
  hmesh_exterior = oapiLoadMeshGlobal("Pelgar\\TarvexB");
  hmesh_cockpit = oapiLoadMeshGlobal("Pelgar\\TarvexB-Cpit");
  hmesh_cockpit_n = oapiLoadMeshGlobal("Pelgar\\TarvexB-Cpit_n");
  hmesh_status = oapiLoadMeshGlobal("Pelgar\\TarvexB-status");
  hmesh_invisible = oapiLoadMeshGlobal("Pelgar\\TarvexB-invisible");
  DefineAnimations();
}

ShuttlePB::~ShuttlePB() { delete nosewheel_rot; }
