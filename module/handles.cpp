#include "module/handles.h"

const double RAD = 0.017453292519943295;
const VECTOR3 kSpotLightPos = {{0, -0.5703472, 7.260373}};

MESHHANDLE hmesh_exterior = nullptr;
MESHHANDLE hmesh_cockpit = nullptr;
MESHHANDLE hmesh_cockpit_n = nullptr;
MESHHANDLE hmesh_status = nullptr;
MESHHANDLE hmesh_invisible = nullptr;

THRUSTER_HANDLE th_main = nullptr;
THRUSTER_HANDLE th_reheat = nullptr;
THRUSTER_HANDLE th_hover[2] = {nullptr, nullptr};
LightEmitter *spot_light = nullptr;
const VESSEL *handles_owner = nullptr;

BEACONLIGHTSPEC beacon_nav_red = {};
BEACONLIGHTSPEC beacon_nav_green = {};
BEACONLIGHTSPEC beacon_strobe_left = {};
BEACONLIGHTSPEC beacon_strobe_right = {};
BEACONLIGHTSPEC beacon_tail_right = {};
BEACONLIGHTSPEC beacon_tail_left = {};
BEACONLIGHTSPEC beacon_anticoll_top = {};
BEACONLIGHTSPEC beacon_anticoll_bottom = {};
BEACONLIGHTSPEC beacon_landing = {};

BEACONLIGHTSPEC *const beacon_records[9] = {&beacon_nav_red,      &beacon_nav_green,       &beacon_strobe_left,
                                            &beacon_strobe_right, &beacon_tail_right,      &beacon_tail_left,
                                            &beacon_anticoll_top, &beacon_anticoll_bottom, &beacon_landing};

namespace {

// Positions and colours (r, g, b) of the beacons. The fin-tip lights are not
// mirror images; the landing beacon stands at the spot light.
const VECTOR3 kNavRedPos = {{-5.473293, -0.1608606, -3.634886}};
const VECTOR3 kNavRedCol = {{0.988, 0.133, 0.133}};
const VECTOR3 kNavGreenPos = {{5.473293, -0.1608606, -3.634886}};
const VECTOR3 kNavGreenCol = {{0.043, 0.992, 0.161}};
const VECTOR3 kStrobeLeftPos = {{-5.473293, -0.1608606, -3.935986}};
const VECTOR3 kStrobeLeftCol = {{1, 1, 1}};
const VECTOR3 kStrobeRightPos = {{5.473293, -0.1608606, -3.935986}};
const VECTOR3 kStrobeRightCol = {{1, 1, 1}};
const VECTOR3 kTailRightPos = {{2.296807, 2.450954, -6.458804}};
const VECTOR3 kTailRightCol = {{1, 1, 1}};
const VECTOR3 kTailLeftPos = {{-2.265976, 2.450954, -6.458804}};
const VECTOR3 kTailLeftCol = {{1, 1, 1}};
const VECTOR3 kAnticollTopPos = {{0, 1.097898, 2.585833}};
const VECTOR3 kAnticollTopCol = {{0.788, 0.333, 0.133}};
const VECTOR3 kAnticollBottomPos = {{0, -1.051985, 2.48949}};
const VECTOR3 kAnticollBottomCol = {{0.788, 0.333, 0.133}};
const VECTOR3 kLandingCol = {{1, 1, 1}};

// The host reads the vectors through the records' pointers and never writes
// them; the records take non-const pointers by the host's declaration.
void Fill(BEACONLIGHTSPEC &b, const VECTOR3 &pos, const VECTOR3 &col, double period, double duration, double tofs) {
  b.shape = BEACONSHAPE_STAR;
  b.pos = const_cast<VECTOR3 *>(&pos);
  b.col = const_cast<VECTOR3 *>(&col);
  b.size = 0.2;
  b.falloff = 0.6;
  b.period = period;
  b.duration = duration;
  b.tofs = tofs;
  b.active = false;
}

}  // namespace

void FillBeaconRecords() {
  Fill(beacon_nav_red, kNavRedPos, kNavRedCol, 0, 1.0, 0.6);
  Fill(beacon_nav_green, kNavGreenPos, kNavGreenCol, 0, 1.0, 0.6);
  Fill(beacon_strobe_left, kStrobeLeftPos, kStrobeLeftCol, 1.5, 0.1, 0.6);
  Fill(beacon_strobe_right, kStrobeRightPos, kStrobeRightCol, 1.5, 0.1, 0.6);
  Fill(beacon_tail_right, kTailRightPos, kTailRightCol, 1.5, 0.1, 0.3);
  Fill(beacon_tail_left, kTailLeftPos, kTailLeftCol, 1.5, 0.1, 0.3);
  Fill(beacon_anticoll_top, kAnticollTopPos, kAnticollTopCol, 1.5, 0.2, 0.6);
  Fill(beacon_anticoll_bottom, kAnticollBottomPos, kAnticollBottomCol, 1.5, 0.2, 0.3);
  Fill(beacon_landing, kSpotLightPos, kLandingCol, 0, 1.0, 0.3);
}
