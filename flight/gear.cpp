// Landing gear, struts and ground contact: touchdown points, strut
// suspension and touchdown bounce, wheel roll, nose-wheel steering and the
// gear's own motion.
#include "flight/gear.h"

#include "flight/blocks.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

// Gear travel per step at time acceleration 1.
const double kGearRate = 0.0075;

void SetStrutAnimations(const ShuttlePB &v, double nose, double main) {
  v.SetAnimation(v.anim_nose_strut, nose);
  v.SetAnimation(v.anim_main_strut, main);
}

}  // namespace

void SetGearDownTouchdownPoints(const VESSEL &v, double s) {
  v.SetTouchdownPoints(_V(0, -2.13414 - kStrutTravel * s, 3.10011),
                       _V(-1.285973, -2.137747 - kStrutTravel * s, -2.175774),
                       _V(1.285973, -2.137747 - kStrutTravel * s, -2.175774));
}

void SetTaxiingTouchdownPoints(const VESSEL &v, double s, double m) {
  v.SetTouchdownPoints(_V(0, -2.13414 - kStrutTravel * s, 3.10011),
                       _V(-1.285973, -2.147747 - kStrutTravel * m, -2.175774),
                       _V(1.285973, -2.147747 - kStrutTravel * m, -2.175774));
}

void SetGearUpTouchdownPoints(const VESSEL &v) {
  v.SetTouchdownPoints(_V(0, -1.094451, 3.129205), _V(-1.285973, -1.15611, -2.173487),
                       _V(1.285973, -1.15611, -2.173487));
}

// The gear-up set is re-applied every step while the gear is (nearly) up; a
// gear still moving overrides it later in the step with the gear-down set.
void GearUpTouchdownPoints(ShuttlePB &v) {
  if (gear_pos > 0.95) SetGearUpTouchdownPoints(v);
}

// In fast flight with the gear down the struts hang out fully, and the next
// touchdown starts a fresh bounce with the strut sinking.
void FastFlightStruts(ShuttlePB &v, StepValues &s) {
  if (!v.GroundContact() && s.airspeed >= 150 && gear_pos == 0) {
    strut_ext += 0.055;
    if (strut_ext > 1) strut_ext = 1;
    if (strut_ext < 0) strut_ext = 0;
    SetStrutAnimations(v, strut_ext, strut_ext);
    strut_bounce = 0;
    bounce_sinking = 1;
  }
}

// Rolling fast on the ground the struts follow the pitch attitude: nose up
// extends the nose strut, and the main struts take the mirrored value below
// 0.2. Taxiing leaves the bounce in its settled state. A pitch the host
// reports as NaN leaves the struts as they stood, rather than carrying NaN
// into the strut state and the touchdown points for good.
void TaxiingStruts(ShuttlePB &v, StepValues &s) {
  if (v.GroundContact() && s.airspeed > 10) {
    double r = v.GetPitch() * 35 + 0.5;
    if (IsNan(r)) return;
    main_strut_ext = r >= 0.2 ? r : -r;
    if (main_strut_ext > 1) main_strut_ext = 1;
    strut_ext = r;
    if (strut_ext < 0.15) strut_ext = 0.15;
    if (strut_ext > 1) strut_ext = 1;
    SetStrutAnimations(v, strut_ext, main_strut_ext);
    SetTaxiingTouchdownPoints(v, strut_ext, main_strut_ext);
    bounce_sinking = 0;
    strut_damping = 0;
    strut_bounce = 2;
  }
}

// In a low hover the struts extend and the bounce is armed; the descent rate
// below 10 m chooses the margin the landing will bounce with.
void HoverStruts(ShuttlePB &v, StepValues &s) {
  double altitude = v.GetAltitude();
  if (altitude > 2.57 && s.airspeed < 5 && gear_pos == 0) {
    hover_strut_ext += 0.055;
    if (hover_strut_ext > 1) hover_strut_ext = 1;
    SetStrutAnimations(v, hover_strut_ext, hover_strut_ext);
    strut_damping = 0;
    strut_bounce = 0;
    bounce_sinking = 1;
    // A failed query leaves the scratch vector as the step filled it before
    // (the hold modes' horizon airspeed, or the camera's refill), so the
    // margin follows the vertical speed the step saw last; a speed that is
    // no number leaves the margin at 0.
    v.GetHorizonAirspeedVector(s.scratch);
    double vy = s.scratch.y;
    if (altitude < 10 && vy > -4.7) strut_damping = 0.35;
    if (altitude < 10 && vy < -4.7) strut_damping = 0;
  }
}

// After a touchdown the strut oscillates inside [strut_damping,
// 1 - strut_damping], a band that narrows every step, with slower strokes
// each cycle; after the third cycle the band collapses to 0.5.
void TouchdownBounce(ShuttlePB &v, StepValues &s) {
  if (!(v.GroundContact() && s.airspeed <= 10 && eng_status == 1)) return;
  if (bounce_sinking == 0) {
    if (strut_bounce <= 1)
      strut_ext += 0.0851;
    else if (strut_bounce <= 2)
      strut_ext += 0.0251;
    else if (strut_bounce <= 3)
      strut_ext += 0.0151;
    if (strut_ext > 1 - strut_damping) {
      strut_ext = 1 - strut_damping;
      bounce_sinking = 1;
    }
  } else if (bounce_sinking == 1) {
    if (strut_bounce == 0)
      strut_ext -= 0.0775;
    else if (strut_bounce > 0 && strut_bounce <= 1)
      strut_ext -= 0.0575;
    else if (strut_bounce > 1 && strut_bounce <= 2)
      strut_ext -= 0.0271;
    if (strut_ext < strut_damping) {
      strut_ext = strut_damping;
      bounce_sinking = 0;
      strut_bounce += 1;
    }
  }
  strut_damping += 0.0185;
  if (strut_bounce >= 3) strut_damping = 0.5;
  // Neither the margin nor the strut is held to a range here: the margin may
  // pass 0.5 for a step before the count reaches 3 (and further while keys 3
  // and 4 hold the count down), the strut then leaving 0..1; the host takes
  // such animation states as they come.
  SetStrutAnimations(v, strut_ext, strut_ext);
  hover_strut_ext = strut_ext;
  if (strut_bounce > 3) strut_bounce = 3;
  SetGearDownTouchdownPoints(v, strut_ext);
}

// The wheels turn with the airspeed, at most 0.15 of a turn per step; the
// phase wraps before the increment, so the animation may see up to 1.225.
void WheelRoll(ShuttlePB &v, StepValues &s) {
  if (wheel_rot > 1) wheel_rot = 0;
  if (s.airspeed > 0.4) {
    wheel_rot += s.airspeed > 30 ? 0.15 : 0.0075 * s.airspeed;
    if (v.GroundContact() && gear_pos < 0.05) v.SetAnimation(v.anim_wheel, wheel_rot);
  }
}

// Centred in the air; on the ground with the gear down the nose wheel follows
// the rudder.
void NoseWheelSteering(ShuttlePB &v, StepValues &s) {
  if (!v.GroundContact() && gear_pos < 1 && s.airspeed > 0.6) {
    nosewheel_steer = 0.5;
    v.SetAnimation(v.anim_nosewheel_steer, nosewheel_steer);
  }
  if (v.GroundContact() && gear_pos < 0.05) {
    nosewheel_steer = (v.GetControlSurfaceLevel(AIRCTRL_RUDDER) + 1) * 0.5;
    v.SetAnimation(v.anim_nosewheel_steer, nosewheel_steer);
  }
}

// The gear moves only in the air; a command given on the ground waits for
// lift-off. The rate scales with the time acceleration.
void GearMotion(ShuttlePB &v) {
  if (gear_status == 0 || v.GroundContact()) return;
  if (gear_status == 1) {
    gear_pos += kGearRate * TravelFactor();
    if (gear_pos > 1) {
      gear_pos = 1;
      gear_status = 0;
    }
  } else {
    gear_pos -= kGearRate * TravelFactor();
    if (gear_pos < 0) {
      gear_pos = 0;
      gear_status = 0;
    }
  }
  v.SetAnimation(v.anim_gear, gear_pos);
  SetGearDownTouchdownPoints(v, strut_ext);
  gear_ext = 1 - gear_pos;
}
