// The flight step: one fixed sequence of blocks per host step. The blocks
// share one airspeed sample, one scratch airspeed vector and the scaled
// vertical speed; later blocks overwrite host settings made by earlier ones
// in the same step (maximum thrust, thruster levels, touchdown points); and
// the step ends early when the engine is off. Beside each block: what it
// must come after, and why.
#include "flight/blocks.h"
#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

void ShuttlePB::clbkPostStep(double, double, double) {
  const ModuleFpuMode fpu_mode;
  StepValues s;
  // 1. First: every rate scaled by the time acceleration below (gear,
  //    nozzle drive) and the low-speed forces' own test see at most the cap.
  CapTimeAcceleration(*this);
  // 2. The one airspeed sample every later block reads (the envelope tests
  //    and the low-speed forces ask the host afresh).
  s.airspeed = GetAirspeed();
  // 3. Before the fuel gauge (12), which then shows the full tank at once.
  Refuel(*this);
  // 4, 5. The lights follow their switches every step.
  ExteriorLights(*this);
  SpotLight(*this);
  // 6. Before the hold modes (7) rewrite the nav-mode numbers: in the first
  //    step after a load, or a save, it reads the number as left there.
  AttitudeControlMode(*this, s);
  // 7. Before the camera (8), which reads the scratch vector it fills, and
  //    the thrust set-up (9), which uses its vertical speed and its nozzle
  //    deflection offset in this same step.
  HoldModes(*this, s);
  // 8. After the hold modes: the eye follows the last vector filled.
  CameraHeadMotion(*this, s);
  // 9. After the hold modes (vertical speed, deflection); its thrust limits
  //    and lift-thruster levels are what the later blocks read and override.
  ThrustSetup(*this, s);
  // 10.
  LowSpeedControlForces(*this, s);
  // 11. The gear-up points first, so that taxiing, the bounce and a moving
  //     gear (15) replace them later in the step; the hover nozzle set sits
  //     between the taxiing and the hover struts; the hover struts arm the
  //     bounce that follows.
  GearUpTouchdownPoints(*this);
  FastFlightStruts(*this, s);
  TaxiingStruts(*this, s);
  HoverNozzleSet(*this, s);
  HoverStruts(*this, s);
  TouchdownBounce(*this, s);
  WheelRoll(*this, s);
  // 12. After the refuelling (3).
  FuelGauge(*this);
  // 13.
  NoseWheelSteering(*this, s);
  // 14. After the thrust set-up and the hold's nudge: turns with this
  //     step's main level.
  LiftFanRotor(*this, s);
  // 15. After the gear-up points (11): a moving gear leaves its gear-down set.
  GearMotion(*this);
  // 16. After every reader of this step's deflection offset (9): it puts the
  //     deflection back to the nozzle angle, the next step's starting value;
  //     the doors read the angle the hover nozzle set (11) may have changed.
  MovingParts(*this, s);
  // 17. Engine-off exit, after every block that runs with the engine off;
  //     the levels are cut last, so nothing earlier raises them again.
  if (eng_status == 0) {
    SetThrusterLevel(th_main, 0);
    SetThrusterLevel(th_hover[0], 0);
    SetThrusterLevel(th_hover[1], 0);
    return;
  }
  // 18. After every change of the main level (9, the hold's nudge): the
  //     step ends at idle at least.
  IdleMinimum(*this);
  // 19. After the idle minimum: pitch and volume follow the final level.
  EngineSounds(*this, s);
  // 20. Last: the indicators show the holds as the hold modes left them and
  //     the reheat lamp reads the final level.
  StatusIndicators(*this);
}
