// The numbers of the thrust regimes and the flight envelope, shared by the
// flight step and the pilot's manual.
#pragma once

// Flight envelope.
const double kLiftNozzle = 0.5;  // nozzle_angle from which the lift regime applies
const double kMaxConventionalSpeed = 700.0;
const double kMaxLiftSpeed = 155.0;
const double kMaxAltitude = 20000.0;
const double kWarningDrag = 999.0;

// Thrust.
const double kReheatThrust = 550000.0;
const double kDryThrust = 440000.0;
const double kLiftRegimeThrust = 300000.0;
const double kLiftThrusterMax = 100000.0;
const double kNozzleBrakeForce = 170000.0;
const double kReheatLevel = 0.98;   // main level needed for reheat
const double kReheatNozzle = 0.06;  // nozzle_angle below which reheat can burn
const double kIdleLevel = 0.0015;

// A slow hover without fore-and-aft input swivels the nozzle fully down.
const double kHoverSetAltitude = 2.67;  // m, above which
const double kHoverSetSpeed = 0.5;      // m/s, below which
