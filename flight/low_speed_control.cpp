// Low-speed attitude control: the pilot's control-surface levels turned into
// pure moments (equal and opposite force pairs).
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

const double kForcePerLevel = 1e6;     // N per unit control level
const double kGroundLever = 3.33;      // m
const double kAirspeedDivisor = 10.0;  // force grows with airspeed / 10
const double kUpperAirspeed = 155.0;   // m/s: no force above
const double kSlowBand = 5.0;          // m/s: up to here only the yaw pair (long arm)
const double kFastBand = 33.0;         // m/s: from here the short arm

// Lever arm of a channel at airspeed v; 0 when the channel applies no force.
// An airspeed that is not a number falls in no band.
double LeverArm(double v, bool slow_band_arm) {
  if (v > kSlowBand && v < kFastBand) return 0.05;
  if (v >= kFastBand) return 0.01;
  if (v <= kSlowBand) return slow_band_arm ? 0.1 : 0;
  return 0;
}

// Force of one channel, or false when the routine must stop: above the
// time-acceleration limit or above the upper airspeed.
bool ChannelForce(const ShuttlePB &v, AIRCTRL_TYPE surface, double &force, double &airspeed) {
  force = v.GetControlSurfaceLevel(surface) * kForcePerLevel * v.GetAirspeed() / kAirspeedDivisor;
  if (oapiGetTimeAcceleration() > kMaxTimeAcceleration) return false;
  airspeed = v.GetAirspeed();
  return !(airspeed > kUpperAirspeed);
}

}  // namespace

void LowSpeedControlForces(ShuttlePB &v, StepValues &s) {
  if (v.GroundContact() && s.airspeed > 0.6 && s.airspeed < 90 && gear_pos < 0.05) v.ApplyGroundSteering();
  if (!v.GroundContact()) v.ApplyLowSpeedControl();
}

// On the ground the rudder yaws the vessel with a fixed strength.
void ShuttlePB::ApplyGroundSteering() {
  const double f = GetControlSurfaceLevel(AIRCTRL_RUDDER) * kForcePerLevel;
  if (oapiGetTimeAcceleration() > kMaxTimeAcceleration) return;
  AddForce(_V(f, 0, 0), _V(0, 0, kGroundLever));
  AddForce(_V(-f, 0, 0), _V(0, 0, -kGroundLever));
}

// In the air up to 155 m/s the rudder, aileron and elevator yaw, roll and
// pitch the vessel with a strength that grows with airspeed, through lever
// arms that shrink as airspeed rises. Below 5 m/s only the yaw pair acts.
void ShuttlePB::ApplyLowSpeedControl() {
  double f = 0, v = 0, d = 0;

  if (!ChannelForce(*this, AIRCTRL_RUDDER, f, v)) return;
  if ((d = LeverArm(v, true)) > 0) {
    AddForce(_V(f, 0, 0), _V(0, 0, d));
    AddForce(_V(-f, 0, 0), _V(0, 0, -d));
  }

  if (!ChannelForce(*this, AIRCTRL_AILERON, f, v)) return;
  if ((d = LeverArm(v, false)) > 0) {
    AddForce(_V(0, f, 0), _V(-d, 0, 0));
    AddForce(_V(0, -f, 0), _V(d, 0, 0));
  }

  if (!ChannelForce(*this, AIRCTRL_ELEVATOR, f, v)) return;
  if ((d = LeverArm(v, false)) > 0) {
    AddForce(_V(0, 0, f), _V(0, -d, 0));
    AddForce(_V(0, 0, -f), _V(0, d, 0));
  }
}
