// Propulsion regimes and the flight envelope, the hover nozzle set, the
// lift-fan rotor and the idle minimum.
#include "flight/propulsion.h"

#include <algorithm>

#include "flight/blocks.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

void SetNormalDrag(const ShuttlePB &v) { v.SetCW(0.3, 0.3, 0.67, 0.92); }

// Outside the envelope: engine cut, drag 999 on every axis, warning loop.
void WarningAction(const ShuttlePB &v) {
  v.SetCW(kWarningDrag, kWarningDrag, kWarningDrag, kWarningDrag);
  v.SetThrusterMax0(th_main, 0);
  PlayVesselWaveOBSound3(v.MyID, kWaveWarning, LOOP, kFullVolume, kOwnFrequency);
}

void SetLiftThrusterLevels(const ShuttlePB &v, double level) {
  v.SetThrusterLevel(th_hover[0], level);
  v.SetThrusterLevel(th_hover[1], level);
}

void ConventionalRegime(const ShuttlePB &v) {
  SetNormalDrag(v);
  bool warning_stopped = false;
  if (reheat == 1) {
    v.SetThrusterMax0(th_main, kReheatThrust);
    if (nozzle_angle < kNozzleAftStop && v.GetThrusterLevel(th_main) > kReheatLevel) {
      v.SetThrusterLevel(th_reheat, 1);
      StopVesselWave3(v.MyID, kWaveWarning);
      warning_stopped = true;
    }
  }
  if (reheat == 0) {
    v.SetThrusterMax0(th_main, kDryThrust);
    v.SetThrusterLevel(th_reheat, 0);
    StopVesselWave3(v.MyID, kWaveWarning);
    StopVesselWave3(v.MyID, kWaveReheat);
    warning_stopped = true;
  }
  if (v.GetThrusterLevel(th_main) < kReheatLevel) {
    v.SetThrusterMax0(th_main, kDryThrust);
    v.SetThrusterLevel(th_reheat, 0);
    StopVesselWave3(v.MyID, kWaveWarning);
    StopVesselWave3(v.MyID, kWaveReheat);
    warning_stopped = true;
  }
  if (nozzle_angle >= kNozzleAftStop) v.SetThrusterLevel(th_reheat, 0);
  // Back inside the envelope the warning ends in every case, also with reheat
  // selected while it cannot burn; otherwise it would loop on and keep the
  // engine sounds silent.
  if (!warning_stopped) StopVesselWave3(v.MyID, kWaveWarning);
}

void LiftRegime(const ShuttlePB &v) {
  SetNormalDrag(v);
  v.SetThrusterMax0(th_main, kLiftRegimeThrust);
  StopVesselWave3(v.MyID, kWaveWarning);
}

// The envelope checks and the regimes, in this order; every test asks the
// host afresh for airspeed and altitude.
void FlightEnvelope(const ShuttlePB &v) {
  if (nozzle_angle < kLiftNozzle && v.GetAirspeed() >= kMaxConventionalSpeed) {
    WarningAction(v);
    StopVesselWave3(v.MyID, kWaveReheat);
    StopVesselWave3(v.MyID, kWaveEngine);
  }
  if (nozzle_angle >= kLiftNozzle && v.GetAirspeed() >= kMaxLiftSpeed) {
    WarningAction(v);
    StopVesselWave3(v.MyID, kWaveEngine);
  }
  if (v.GetAltitude() >= kMaxAltitude) {
    WarningAction(v);
    StopVesselWave3(v.MyID, kWaveReheat);
    StopVesselWave3(v.MyID, kWaveEngine);
  }
  if (nozzle_angle < kLiftNozzle && v.GetAirspeed() < kMaxConventionalSpeed && v.GetAltitude() < kMaxAltitude &&
      eng_status == 1)
    ConventionalRegime(v);
  if (nozzle_angle >= kLiftNozzle && v.GetAirspeed() < kMaxLiftSpeed && v.GetAltitude() < kMaxAltitude &&
      eng_status == 1)
    LiftRegime(v);
  // Back inside the envelope with the engine off no regime runs: the warning
  // stops all the same (the drag stays at 999 until the engine runs again).
  if (eng_status != 1 && v.GetAltitude() < kMaxAltitude &&
      v.GetAirspeed() < (nozzle_angle < kLiftNozzle ? kMaxConventionalSpeed : kMaxLiftSpeed))
    StopVesselWave3(v.MyID, kWaveWarning);
}

}  // namespace

void ThrustSetup(ShuttlePB &v, StepValues &s) {
  if (eng_status == 0) {
    v.SetThrusterMax0(th_main, 0);
    SetLiftThrusterLevels(v, 0);
  }
  // Near zero vertical speed (under 0.9 m/s either way) the lift thrusters rest.
  if (s.airspeed < kSlowFlightSpeed && vspeed_tenth > -0.09 && vspeed_tenth < 0.09) SetLiftThrusterLevels(v, 0);

  // Passed as computed, not normalised: (0, 2, 1) with the nozzle down.
  v.SetThrusterDir(th_main, _V(0, 2 * nozzle_deflection, 1));
  if (!v.GroundContact() && nozzle_deflection >= 1) v.AddForce(_V(0, 0, -kNozzleBrakeForce), _V(0, 0, 0));

  FlightEnvelope(v);

  // The lift thrusters work only within the altitude hold.
  if (v.GetNavmodeState(TruncateToInt(navmode_alt))) {
    v.SetThrusterMax0(th_hover[0], kLiftThrusterMax);
    v.SetThrusterMax0(th_hover[1], kLiftThrusterMax);
  } else {
    SetLiftThrusterLevels(v, 0);
  }
  // Their mean level stays no higher than the main engine's.
  const double main_level = v.GetThrusterLevel(th_main);
  const double lift_level = (v.GetThrusterLevel(th_hover[0]) + v.GetThrusterLevel(th_hover[1])) / 2;
  if (main_level < lift_level) SetLiftThrusterLevels(v, main_level - 0.05);
}

// A slow hover without fore-and-aft input swivels the nozzle fully down.
void HoverNozzleSet(ShuttlePB &v, StepValues &s) {
  if (v.GetAltitude() > kHoverSetAltitude && s.airspeed < kHoverSetSpeed &&
      v.GetThrusterGroupLevel(THGROUP_ATT_BACK) == 0 && v.GetThrusterGroupLevel(THGROUP_ATT_FORWARD) == 0)
    nozzle_angle = 1;
}

// The rotor turns with the main engine, windmills in the airflow above
// 10 m/s and stands still otherwise. A phase past 1 wraps to 0.
void LiftFanRotor(ShuttlePB &v, StepValues &s) {
  const double level = v.GetThrusterLevel(th_main);
  if (level > 0) {
    liftfan_rot += 0.15 * level + 0.035;
    if (liftfan_rot > 1) liftfan_rot = 0;
    v.SetAnimation(v.anim_liftfan, liftfan_rot);
  } else if (level == 0 && s.airspeed <= 10) {
    v.SetAnimation(v.anim_liftfan, liftfan_rot);
  } else if (level == 0 && s.airspeed > 10) {
    liftfan_rot += 0.001 * std::min(s.airspeed, 44.0) + 0.015;
    if (liftfan_rot > 1) liftfan_rot = 0;
    v.SetAnimation(v.anim_liftfan, liftfan_rot);
  }
}

void IdleMinimum(ShuttlePB &v) {
  if (eng_status == 1 && v.GetThrusterLevel(th_main) < kIdleLevel) v.SetThrusterLevel(th_main, kIdleLevel);
}
