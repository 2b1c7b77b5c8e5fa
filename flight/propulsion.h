// Propulsion thresholds that other blocks, the keys and the sounds share,
// and the numbers of the thrust regimes and the flight envelope, which the
// pilot's manual shows.
#pragma once

// The nozzle counts as aft below this rotation: only there can reheat burn
// (thrust, lamp, roar); turned down past it, the lift-fan doors open and the
// lift fan sounds. Exactly at it, neither.
const double kNozzleAftStop = 0.06;
// The highest commanded nozzle rotation: the keys turn the nozzle down no
// further, and an angle loaded from a scenario is kept to it.
const double kNozzleAngleMax = 1.2;
// Main-engine level that reheat needs: above it the flame burns and roars,
// from it the engine gives reheat thrust, below it the lamp will not stay lit.
const double kReheatLevel = 0.98;
// The running engine's lowest main level, also set by the engine-start key.
const double kIdleLevel = 0.0015;

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

// A slow hover without fore-and-aft input swivels the nozzle fully down.
const double kHoverSetAltitude = 2.67;  // m, above which
const double kHoverSetSpeed = 0.5;      // m/s, below which
