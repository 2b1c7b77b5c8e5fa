// The blocks of the flight step, in the files of their subsystems. The step
// driver (flight/step.cpp) calls them in their one binding order.
#pragma once

#include "module/orbiter_api.h"

class ShuttlePB;

// The slow-flight band: below this airspeed (m/s) the step works the
// low-speed controls (linear attitude mode, the lift thrusters' rest near
// zero vertical speed, the lift-fan doors and their sound); the altitude
// hold nudges the throttle up to it and trims above it.
const double kSlowFlightSpeed = 70.0;
// The highest time acceleration the step lets the host run at; the
// low-speed control forces stop above it.
const double kMaxTimeAcceleration = 10.0;

// The host's time acceleration as a travel factor for the parts whose rate
// scales with it; a factor that is not a number moves nothing (it would
// otherwise stay in the part's position and reach the scenario file).
double TravelFactor();

// Values shared by the blocks of one step.
struct StepValues {
  double airspeed = 0;  // GetAirspeed() sampled once at the start of the step
  VECTOR3 scratch{};    // scratch airspeed vector, refilled by several queries
};

// flight/chores.cpp: the step's own small chores.
void CapTimeAcceleration(ShuttlePB &v);
void Refuel(ShuttlePB &v);
void ExteriorLights(ShuttlePB &v);
void SpotLight(ShuttlePB &v);
void AttitudeControlMode(ShuttlePB &v, StepValues &s);
void CameraHeadMotion(ShuttlePB &v, StepValues &s);
void FuelGauge(ShuttlePB &v);
void StatusIndicators(ShuttlePB &v);

// flight/hold_modes.cpp
void HoldModes(ShuttlePB &v, StepValues &s);

// flight/propulsion.cpp
void ThrustSetup(ShuttlePB &v, StepValues &s);
void HoverNozzleSet(ShuttlePB &v, StepValues &s);
void LiftFanRotor(ShuttlePB &v, StepValues &s);
void IdleMinimum(ShuttlePB &v);

// flight/low_speed_control.cpp
void LowSpeedControlForces(ShuttlePB &v, StepValues &s);

// flight/gear.cpp
void GearUpTouchdownPoints(ShuttlePB &v);
void FastFlightStruts(ShuttlePB &v, StepValues &s);
void TaxiingStruts(ShuttlePB &v, StepValues &s);
void HoverStruts(ShuttlePB &v, StepValues &s);
void TouchdownBounce(ShuttlePB &v, StepValues &s);
void WheelRoll(ShuttlePB &v, StepValues &s);
void NoseWheelSteering(ShuttlePB &v, StepValues &s);
void GearMotion(ShuttlePB &v);

// flight/moving_parts.cpp
void MovingParts(ShuttlePB &v, StepValues &s);

// flight/engine_sounds.cpp
void EngineSounds(ShuttlePB &v, StepValues &s);
