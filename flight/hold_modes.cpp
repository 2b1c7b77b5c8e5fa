// Flight hold modes: engine-off release, the nav-mode numbers, the altitude
// hold's throttle and trim work, the horizon-level hold's nozzle vectoring.
#include "flight/hold_modes.h"

#include <cmath>

#include "flight/blocks.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

const double kDriftStep = 0.055;  // nozzle offset per step against a fore-and-aft drift
const double kMaxDeflection = 1.2;

double Clamp(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }

// Altitude hold: nudge the main engine against the vertical speed at low
// speed, set the elevator trim at high speed. `y` is the fresh vertical
// airspeed in m/s.
void AltitudeHoldWork(ShuttlePB &v, const StepValues &s, double y) {
  const double c = Clamp(vspeed_tenth, -kNudgeLimit, kNudgeLimit);
  const int alt = TruncateToInt(navmode_alt);
  if (vspeed_tenth < -kDeadBand && s.airspeed <= kSlowFlightSpeed && v.GetNavmodeState(alt) && !v.GroundContact()) {
    // Sinking: the level rises by up to 0.01 per step.
    v.SetThrusterLevel(th_main, v.GetThrusterLevel(th_main) - c / 1.5);
  } else if (vspeed_tenth > kDeadBand && s.airspeed <= kSlowFlightSpeed && v.GetNavmodeState(alt) &&
             !v.GroundContact()) {
    // Climbing: the level falls by up to 0.01 per step.
    v.SetThrusterLevel(th_main, v.GetThrusterLevel(th_main) - c / 1.5);
  } else if (s.airspeed > kSlowFlightSpeed && v.GetNavmodeState(alt)) {
    // Trim 0 when descending at 1.5 m/s, down to -0.5 climbing, up to +0.5
    // descending fast.
    const double t = Clamp((y + 1.5) / 5, -1.5, 1.5);
    v.SetControlSurfaceLevel(AIRCTRL_ELEVATORTRIM, -t / 3);
  }
}

// Horizon-level hold: the fore-and-aft translation inputs of linear attitude
// mode turn the nozzle against the drift. The offset starts every step from
// nozzle_angle, so it does not accumulate.
void HorizonLevelWork(ShuttlePB &v, StepValues &s) {
  const double back = v.GetThrusterGroupLevel(THGROUP_ATT_BACK);
  const double forward = v.GetThrusterGroupLevel(THGROUP_ATT_FORWARD);
  v.SetControlSurfaceLevel(AIRCTRL_AILERON, 0);
  if (eng_status != 1) return;
  // Without a ship-frame airspeed there is no known drift: no offset.
  const double z = v.GetShipAirspeedVector(s.scratch) ? s.scratch.z : 0.0;
  if (z < 0) nozzle_deflection -= forward + kDriftStep;  // drifting backwards
  if (nozzle_deflection < 0) nozzle_deflection = 0;
  if (z > 0) nozzle_deflection += back + kDriftStep;  // drifting forwards
  if (nozzle_deflection > kMaxDeflection) nozzle_deflection = kMaxDeflection;
  v.SetAnimation(v.anim_nozzle_ind, nozzle_deflection);
}

}  // namespace

void HoldModes(ShuttlePB &v, StepValues &s) {
  if (eng_status == 0) {
    v.DeactivateNavmode(NAVMODE_HLEVEL);
    v.DeactivateNavmode(NAVMODE_HOLDALT);
    v.DeactivateNavmode(NAVMODE_KILLROT);
  }
  navmode_alt = NAVMODE_HOLDALT;
  navmode_lvl = NAVMODE_HLEVEL;
  navmode_rot = NAVMODE_KILLROT;
  if (v.GetNavmodeState(NAVMODE_HOLDALT)) trim_released = 0;

  // Without a fresh horizon airspeed (the query fails, or gives no number)
  // the throttle and trim work is skipped for this step: nothing is steered
  // by a stale vertical speed. vspeed_tenth keeps its previous value for the
  // thrust set-up.
  if (v.GetHorizonAirspeedVector(s.scratch) && !IsNan(s.scratch.y)) {
    vspeed_tenth = s.scratch.y / 10;
    AltitudeHoldWork(v, s, s.scratch.y);
  }

  // The trim is reset once each time the hold ends, then left to the pilot.
  if (!v.GetNavmodeState(TruncateToInt(navmode_alt)) && trim_released == 0) {
    v.SetControlSurfaceLevel(AIRCTRL_ELEVATORTRIM, 0);
    trim_released += 1;
    if (trim_released > 1) trim_released = 1;
  }

  if (v.GetNavmodeState(TruncateToInt(navmode_lvl)) && !v.GroundContact()) HorizonLevelWork(v, s);
}
