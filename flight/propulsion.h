// Propulsion thresholds that other blocks, the keys and the sounds share.
#pragma once

// The nozzle counts as aft below this rotation: only there can reheat burn
// (thrust, lamp, roar); turned down past it, the lift-fan doors open and the
// lift fan sounds. Exactly at it, neither.
const double kNozzleAftStop = 0.06;
// Main-engine level that reheat needs: above it the flame burns and roars,
// from it the engine gives reheat thrust, below it the lamp will not stay lit.
const double kReheatLevel = 0.98;
// The running engine's lowest main level, also set by the engine-start key.
const double kIdleLevel = 0.0015;
