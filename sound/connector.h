// Connector to the outside sound service "OrbiterSound.dll". The service is
// looked up among the modules already loaded, never loaded here. Each wrapper
// bears the name of the service routine it calls, passes its arguments on
// unchanged and returns the routine's result, or 0 when its guard refuses the
// call (service or routine missing, identifier, slot or option out of range,
// no file name).
#pragma once

#include "module/orbiter_api.h"

// The vessel's identifier at the service, or -1 when it cannot be had (a log
// entry then says why).
int ConnectToOrbiterSoundDLL3(OBJHANDLE hVessel);

int LoadVesselWaveOBSound3(int MyID, int WavNumber, const char *SoundName, int PlayMode);
int PlayVesselWaveOBSound3(int MyID, int WavNumber, int Loop, int Volume, int Frequency);
int StopVesselWave3(int MyID, int WavNumber);
int IsPlayingVesselWave3(int MyID, int WavNumber);
int SoundOption3(int MyID, int Option, int Status);
int ReplaceStockOBSound3(int MyID, const char *SoundName, int WhichSound);

// Appends an entry to "OrbiterSound_Log.txt" in the working directory (at
// most 101 entries per module load); either text may be null.
void WriteSoundLog(const char *text1, const char *text2);

// Puts the connector back to its state at module load: no service, no
// routines, no log entries counted. Used by tests that need a fresh module.
void ResetSoundConnector();

// Sound play modes and option numbers the vessel passes to the service.
const int NOLOOP = 0;
const int LOOP = 1;
