// The vessel's wave slots at the sound service, filled by the sound set-up
// after creation and used by every sound call of the vessel.
#pragma once

const int kWaveEngineStop = 2;        // engine shut-down
const int kWaveEngineStart = 3;       // engine start; engine loops wait while it plays
const int kWaveEngineSecondLoop = 4;  // engine, second loop
const int kWaveLiftFan = 5;           // lift fan
const int kWaveWarning = 6;           // flight-envelope warning
const int kWaveCanopy = 7;            // canopy and speed brake moving
const int kWaveEngine = 10;           // main engine
const int kWaveGear = 11;             // undercarriage
const int kWaveCover = 12;            // nozzle keys and nozzle rotation
const int kWaveReheat = 13;           // reheat
const int kWaveCrash = 14;            // loaded, never played

// The slot table: each slot's file (relative to the host's folder), the play
// mode it is loaded with, a short name and what it sounds for, in the order
// the slots are loaded. The flight host lists and names the slots from it.
struct WaveSlotFile {
  int slot;
  const char *file;
  int play_mode;
  const char *name;
  const char *use;
};
inline constexpr WaveSlotFile kWaveSlotFiles[] = {
    {kWaveEngine, "Sound\\Pelgar-Tarvex\\TarvexB-Eng.wav", 3, "engine", "main engine, follows the throttle"},
    {kWaveEngineStop, "Sound\\Pelgar-Tarvex\\EngStop.wav", 2, "engine-stop", "engine shut-down"},
    {kWaveEngineStart, "Sound\\Pelgar-Tarvex\\EngStart.wav", 2, "engine-start",
     "engine start; the engine loops wait while it plays"},
    {kWaveEngineSecondLoop, "Sound\\Pelgar-Tarvex\\TarvexA-EngExt.wav", 2, "engine-outside", "engine, second loop"},
    {kWaveLiftFan, "Sound\\Pelgar-Tarvex\\TarvexA-EngExtP.wav", 2, "lift-fan", "lift fan"},
    {kWaveWarning, "Sound\\Pelgar-Tarvex\\Warning.wav", 1, "warning", "flight-envelope warning, looped"},
    {kWaveGear, "Sound\\Pelgar-Tarvex\\TarvexB-Gear.wav", 2, "gear", "undercarriage moving"},
    {kWaveCanopy, "Sound\\Pelgar-Tarvex\\TarvexB-Canopy.wav", 2, "canopy", "canopy and speed brake moving"},
    {kWaveCover, "Sound\\Pelgar-Tarvex\\TarvexB-Cover.wav", 2, "cover", "nozzle keys and nozzle rotation"},
    {kWaveReheat, "Sound\\Pelgar-Tarvex\\TarvexB-After.wav", 3, "reheat", "reheat burning"},
    {kWaveCrash, "Sound\\Vessel\\crash.wav", 3, "crash", "loaded, never played"},
};
