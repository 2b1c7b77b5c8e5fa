// Virtual cockpit: the HUD, the two MFDs and their thirty click areas (three
// function buttons and twelve soft buttons around each MFD).
#include "module/fpu_mode.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

// Display records, one set per view; both views place the displays alike.
struct DisplaySet {
  VCHUDSPEC hud;
  VCMFDSPEC mfd_left;
  VCMFDSPEC mfd_right;
};
const DisplaySet kDisplaysCockpitView = {{3, 0, {{0, 0.83, 4.7}}, 0.95}, {1, 28}, {1, 29}};
const DisplaySet kDisplaysOpenView = {{3, 0, {{0, 0.83, 4.7}}, 0.95}, {1, 28}, {1, 29}};

// Every click area is a sphere of this radius in the plane of the panel.
const double kAreaRadius = 0.03;
const double kPanelZ = 5.364927;

struct ClickArea {
  int id;
  double x, y;
};

// The areas in the order they are registered: each group's areas first,
// then the spheres of that group.
const ClickArea kFunctionEscape[] = {{8, -0.556556, -0.144701}, {9, 0.210176, -0.144993}};
const ClickArea kFunctionF1[] = {{13, -0.229363, -0.147255}, {14, 0.545686, -0.146087}};
const ClickArea kFunctionGrave[] = {{19, -0.156994, -0.146087}, {20, 0.611051, -0.146087}};
// Left MFD buttons 0..5 (left column, top down), then 6..11 (right column).
const ClickArea kLeftButtons[] = {
    {25, -0.647528, 0.293671},  {26, -0.648695, 0.225388},  {27, -0.648695, 0.152435},  {28, -0.647820, 0.072187},
    {29, -0.647820, -0.002516}, {30, -0.648987, -0.071384}, {31, -0.104469, 0.282874},  {32, -0.104469, 0.213423},
    {33, -0.104469, 0.141638},  {34, -0.103885, 0.071020},  {35, -0.103885, -0.003100}, {36, -0.105052, -0.071967},
};
// Right MFD buttons 0..11, laid out as on the left MFD.
const ClickArea kRightButtons[] = {
    {37, 0.127813, 0.284042},  {38, 0.127813, 0.214007},  {39, 0.127229, 0.141638},  {40, 0.128396, 0.072187},
    {41, 0.127813, -0.003100}, {42, 0.127229, -0.071967}, {43, 0.668829, 0.285792},  {44, 0.669413, 0.216342},
    {45, 0.669413, 0.143972},  {46, 0.667662, 0.073938},  {47, 0.669997, -0.003100}, {48, 0.669413, -0.071967},
};

template <size_t N>
void RegisterGroup(const ClickArea (&areas)[N]) {
  for (const ClickArea &a : areas)
    oapiVCRegisterArea(a.id, PANEL_REDRAW_NEVER, PANEL_MOUSE_LBDOWN | PANEL_MOUSE_ONREPLAY);
  for (const ClickArea &a : areas) oapiVCSetAreaClickmode_Spherical(a.id, _V(a.x, a.y, kPanelZ), kAreaRadius);
}

// Identifiers of the soft buttons: the first button of each MFD, and how
// many each MFD has.
const int kLeftButtonBase = 25;
const int kRightButtonBase = 37;
const int kButtonsPerMfd = 12;

}  // namespace

bool ShuttlePB::clbkLoadVC(int) {
  const ModuleFpuMode fpu_mode;
  const DisplaySet &d = camera_view == 1.0 ? kDisplaysOpenView : kDisplaysCockpitView;
  oapiVCRegisterHUD(&d.hud);
  oapiVCRegisterMFD(MFD_LEFT, &d.mfd_left);
  oapiVCRegisterMFD(MFD_RIGHT, &d.mfd_right);
  RegisterGroup(kFunctionEscape);
  RegisterGroup(kFunctionF1);
  RegisterGroup(kFunctionGrave);
  RegisterGroup(kLeftButtons);
  RegisterGroup(kRightButtons);
  return true;
}

bool ShuttlePB::clbkVCMouseEvent(int id, int event, VECTOR3 &) {
  const ModuleFpuMode fpu_mode;
  switch (id) {
    // Function buttons under the MFDs go to the MFD as keys.
    case 8:
      oapiSendMFDKey(MFD_LEFT, OAPI_KEY_ESCAPE);
      return true;
    case 13:
      oapiSendMFDKey(MFD_LEFT, OAPI_KEY_F1);
      return true;
    case 19:
      oapiSendMFDKey(MFD_LEFT, OAPI_KEY_GRAVE);
      return true;
    case 9:
      oapiSendMFDKey(MFD_RIGHT, OAPI_KEY_ESCAPE);
      return true;
    case 14:
      oapiSendMFDKey(MFD_RIGHT, OAPI_KEY_F1);
      return true;
    case 20:
      oapiSendMFDKey(MFD_RIGHT, OAPI_KEY_GRAVE);
      return true;
    default:
      break;
  }
  // Soft buttons pass the mouse event on to the MFD.
  if (id >= kLeftButtonBase && id < kLeftButtonBase + kButtonsPerMfd) {
    oapiProcessMFDButton(MFD_LEFT, id - kLeftButtonBase, event);
    return true;
  }
  if (id >= kRightButtonBase && id < kRightButtonBase + kButtonsPerMfd) {
    oapiProcessMFDButton(MFD_RIGHT, id - kRightButtonBase, event);
    return true;
  }
  return false;
}
