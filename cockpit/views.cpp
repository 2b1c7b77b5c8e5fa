// Cockpit view switching: view 0 with the cockpit mesh, view 1 without it.
// Slot 1 holds the cockpit (the variant of the lights switch), slot 2 the
// status display, slot 3 the carrier of the view-1 HUD; all are seen only
// from the virtual cockpit.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

const UINT kSlotCockpit = 1;
const UINT kSlotStatus = 2;
const UINT kSlotHudCarrier = 3;

const VCHUDSPEC kOpenViewHud = {3, 0, {{0, 0.83, 4.7}}, 0.95};
const VCMFDSPEC kLeftMfd = {1, 28};
const VCMFDSPEC kRightMfd = {1, 29};

// Puts a mesh into a slot (replacing what was there) and shows it only in
// the virtual cockpit.
void PlaceVcMesh(const ShuttlePB &v, MESHHANDLE mesh, UINT slot, const VECTOR3 &ofs) {
  v.SetMeshVisibilityMode(v.InsertMesh(mesh, slot, &ofs), MESHVIS_VC);
}

void PlaceCockpit(const ShuttlePB &v, MESHHANDLE mesh) { PlaceVcMesh(v, mesh, kSlotCockpit, _V(0, 0.2, 4.5)); }
void PlaceStatus(const ShuttlePB &v) { PlaceVcMesh(v, hmesh_status, kSlotStatus, _V(0.01, 0.1, 5.4)); }
void PlaceHudCarrier(const ShuttlePB &v) { PlaceVcMesh(v, hmesh_invisible, kSlotHudCarrier, _V(0, 0.65, 5.0)); }

// The pilot's head: same eye point in both views, a narrow turn range in the
// cockpit and almost a full circle sideways in the open view.
void Camera(const ShuttlePB &v, double sideways_deg, double vertical_deg) {
  v.SetCameraOffset(_V(0, 0.75, 3.1));
  v.SetCameraRotationRange(sideways_deg * RAD, sideways_deg * RAD, vertical_deg * RAD, vertical_deg * RAD);
}

}  // namespace

void ShuttlePB::SelectViewOpen() {
  PlaceStatus(*this);
  PlaceHudCarrier(*this);
  DelMesh(kSlotCockpit, false);
  Camera(*this, 179, 100);
  oapiVCRegisterHUD(&kOpenViewHud);
  oapiVCRegisterMFD(MFD_LEFT, &kLeftMfd);
  oapiVCRegisterMFD(MFD_RIGHT, &kRightMfd);
  camera_view = 1;
}

void ShuttlePB::SelectViewCockpit() {
  // A lights switch that is neither on nor off places no mesh.
  if (lights_off == 1 || lights_off == 0) {
    PlaceCockpit(*this, lights_off == 1 ? hmesh_cockpit : hmesh_cockpit_n);
    PlaceStatus(*this);
    PlaceHudCarrier(*this);
  }
  Camera(*this, 50, 30);
  // The HUD of this view is registered by the virtual cockpit's own set-up.
  oapiVCRegisterMFD(MFD_LEFT, &kLeftMfd);
  oapiVCRegisterMFD(MFD_RIGHT, &kRightMfd);
  camera_view = 0;
}

void ShuttlePB::RefreshCockpitMesh() {
  if (lights_off == 0 && camera_view == 0) PlaceCockpit(*this, hmesh_cockpit_n);
  if (lights_off == 1 && camera_view == 0) PlaceCockpit(*this, hmesh_cockpit);
}
