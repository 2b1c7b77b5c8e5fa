// The flight step: one fixed sequence of blocks per host step. The order is
// binding: the blocks share one airspeed sample and one scratch airspeed
// vector, later blocks overwrite host settings made by earlier ones, and the
// step ends early when the engine is off.
#include "flight/blocks.h"
#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void ShuttlePB::clbkPostStep(double, double, double) {
  const ModuleFpuMode fpu_mode;
  StepValues s;
  CapTimeAcceleration(*this);       // 1
  s.airspeed = GetAirspeed();       // 2
  Refuel(*this);                    // 3
  ExteriorLights(*this);            // 4
  SpotLight(*this);                 // 5
  AttitudeControlMode(*this, s);    // 6
  HoldModes(*this, s);              // 7
  CameraHeadMotion(*this, s);       // 8
  ThrustSetup(*this, s);            // 9
  LowSpeedControlForces(*this, s);  // 10
  GearUpTouchdownPoints(*this);     // 11: gear up, fast flight, taxiing,
  FastFlightStruts(*this, s);       //     hover nozzle set, hover struts,
  TaxiingStruts(*this, s);          //     touchdown bounce, wheel roll
  HoverNozzleSet(*this, s);
  HoverStruts(*this, s);
  TouchdownBounce(*this, s);
  WheelRoll(*this, s);
  FuelGauge(*this);             // 12
  NoseWheelSteering(*this, s);  // 13
  LiftFanRotor(*this, s);       // 14
  GearMotion(*this);            // 15
  MovingParts(*this, s);        // 16
  if (eng_status == 0) {        // 17: engine-off exit
    SetThrusterLevel(th_main, 0);
    SetThrusterLevel(th_hover[0], 0);
    SetThrusterLevel(th_hover[1], 0);
    return;
  }
  IdleMinimum(*this);       // 18
  EngineSounds(*this, s);   // 19
  StatusIndicators(*this);  // 20
}
