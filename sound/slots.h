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
