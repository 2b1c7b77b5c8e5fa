#include "module/shuttlepb.h"

#include "module/handles.h"
#include "module/transforms.h"

ShuttlePB::ShuttlePB(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {
  hmesh_exterior = oapiLoadMeshGlobal("Pelgar\\TarvexB");
  hmesh_cockpit = oapiLoadMeshGlobal("Pelgar\\TarvexB-Cpit");
  hmesh_cockpit_n = oapiLoadMeshGlobal("Pelgar\\TarvexB-Cpit_n");
  hmesh_status = oapiLoadMeshGlobal("Pelgar\\TarvexB-status");
  hmesh_invisible = oapiLoadMeshGlobal("Pelgar\\TarvexB-invisible");
  DefineAnimations();
}

ShuttlePB::~ShuttlePB() {
  FreeTransform(nosewheel_rot);
  // The shared thruster handles and spot light belong to this vessel: they
  // die with it, so the vessels that remain get null handles, which the host
  // ignores, instead of handles into a vessel that is gone.
  if (handles_owner == this) {
    th_main = th_reheat = nullptr;
    th_hover[0] = th_hover[1] = nullptr;
    spot_light = nullptr;
    handles_owner = nullptr;
  }
}
