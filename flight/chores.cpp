// The flight step's own chores: time-acceleration cap, refuelling, exterior
// lights, spot light, attitude-control mode, camera head motion, fuel gauge
// and status-panel indicators.
#include "flight/blocks.h"
#include "flight/propulsion.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

namespace {

const double kCamDipLimit = 0.075;  // m

// The beacons that follow the exterior lights switch (the landing beacon
// follows the spot light instead).
BEACONLIGHTSPEC *const kExteriorBeacons[] = {
    &beacon_nav_red,      &beacon_nav_green,       &beacon_tail_right,  &beacon_tail_left,
    &beacon_anticoll_top, &beacon_anticoll_bottom, &beacon_strobe_left, &beacon_strobe_right,
};

void SetExteriorBeacons(bool on) {
  for (BEACONLIGHTSPEC *b : kExteriorBeacons) b->active = on;
}

void AttitudeModeOptionOff(const ShuttlePB &v) { SoundOption3(v.MyID, kAttitudeModeOption, kOptionOff); }

}  // namespace

double TravelFactor() {
  double f = oapiGetTimeAcceleration();
  return IsNan(f) ? 0 : f;
}

void CapTimeAcceleration(ShuttlePB &) {
  if (oapiGetTimeAcceleration() > kMaxTimeAcceleration) oapiSetTimeAcceleration(kMaxTimeAcceleration);
}

void Refuel(ShuttlePB &v) {
  if (refuel_request == 1) {
    v.SetFuelMass(kTankCapacity);
    refuel_request = 0;
  }
}

// Runs every step, so the beacons always follow the switch.
void ExteriorLights(ShuttlePB &v) {
  if (lights_off == 0) {
    SetExteriorBeacons(true);
    v.RefreshCockpitMesh();
  } else if (lights_off == 1) {
    SetExteriorBeacons(false);
    v.RefreshCockpitMesh();
  }
}

void SpotLight(ShuttlePB &) {
  // The light exists only after class set-up; a vessel stepped without it
  // still switches the landing beacon.
  if (spot_on == 1) {
    beacon_landing.active = true;
    if (spot_light) spot_light->Activate(true);
  } else if (spot_on == 0) {
    beacon_landing.active = false;
    if (spot_light) spot_light->Activate(false);
  }
}

// Linear attitude mode (2) only while airborne, below 70 m/s and with the
// horizon-level hold on; otherwise attitude control is off (0).
void AttitudeControlMode(ShuttlePB &v, StepValues &s) {
  if (v.GroundContact()) v.SetAttitudeMode(0);
  if (s.airspeed >= kSlowFlightSpeed) v.SetAttitudeMode(0);
  if (s.airspeed < kSlowFlightSpeed) {
    v.SetAttitudeMode(2);
    if (v.GroundContact()) v.SetAttitudeMode(0);
    AttitudeModeOptionOff(v);
  }
  if (!v.GroundContact() && !v.GetNavmodeState(TruncateToInt(navmode_lvl))) {
    v.SetAttitudeMode(0);
    AttitudeModeOptionOff(v);
  }
}

// The pilot's eye sinks when the aircraft climbs and rises when it descends,
// and stays put on the ground.
void CameraHeadMotion(ShuttlePB &v, StepValues &s) {
  // The dip follows the last vector the step filled. A query that fails
  // leaves the scratch vector as the step's earlier queries filled it (the
  // hold modes' horizon airspeed, or the ship-frame airspeed of the
  // horizon-level hold), so the eye follows that vector's vertical part.
  if (s.airspeed > 5 && !v.GroundContact()) v.GetHorizonAirspeedVector(s.scratch);
  if (s.airspeed < 5 && eng_status == 1) v.GetShipAirspeedVector(s.scratch);
  if (!v.GroundContact()) {
    double dip = 0.02 * s.scratch.y;
    // A vertical speed the host cannot give (not a number) keeps the last dip.
    if (!IsNan(dip)) cam_dip = dip;
  }
  if (cam_dip > kCamDipLimit) cam_dip = kCamDipLimit;
  if (cam_dip < -kCamDipLimit) cam_dip = -kCamDipLimit;
  v.SetCameraOffset(_V(0, 0.75 - cam_dip, 3.1));
}

// 0 with a full tank (or more), 1 when empty.
void FuelGauge(ShuttlePB &v) {
  double f = (kTankCapacity - v.GetFuelMass()) / kTankCapacity;
  if (!(f > 0)) f = 0;  // also a fuel mass that is not a number
  if (f > 1) f = 1;
  v.SetAnimation(v.anim_status_dial, f);
}

void StatusIndicators(ShuttlePB &v) {
  v.SetAnimation(v.anim_status_a, gear_pos == 0 ? 0 : 1);
  v.SetAnimation(v.anim_status_b, gear_pos == 1 ? 1 : 0);
  v.SetAnimation(v.anim_status_c, v.GetNavmodeState(TruncateToInt(navmode_alt)) ? 0 : 1);
  v.SetAnimation(v.anim_status_d, v.GetNavmodeState(TruncateToInt(navmode_lvl)) ? 0 : 1);
  v.SetAnimation(v.anim_status_e, v.GetNavmodeState(TruncateToInt(navmode_rot)) ? 0 : 1);

  // Reheat lamp: with reheat selected it runs down to 0 and stays there while
  // reheat can burn (nozzle aft, main engine at full level); otherwise it
  // jumps back to 1 on reaching 0 and runs down again.
  if (reheat == 1) {
    reheat_lamp -= 0.05;
    if (reheat_lamp < 0) reheat_lamp = 0;
    v.SetAnimation(v.anim_status_f, reheat_lamp);
    if (reheat_lamp == 0 && (nozzle_deflection > kNozzleAftStop || v.GetThrusterLevel(th_main) < kReheatLevel)) {
      reheat_lamp = 1;
      v.SetAnimation(v.anim_status_f, reheat_lamp);
    }
  } else {
    reheat_lamp = 1;
    v.SetAnimation(v.anim_status_f, reheat_lamp);
  }
}
