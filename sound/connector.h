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

// What the vessel passes to the service. The meaning of a play mode or an
// option number is the service's own; the play modes are written once, in
// the slot table (sound/slots.h), the options in the sound set-up's table.
const int NOLOOP = 0;
const int LOOP = 1;
const int kFullVolume = 255;
const int kOwnFrequency = 0;  // the file's own rate
const int kOptionOff = 0;
const int kOptionOn = 1;
// The option switched off for the vessel at set-up and by the flight step's
// attitude-mode block.
const int kAttitudeModeOption = 3;

// Plays a slot once, at full volume and the file's own rate: the sound of
// every key and moving part.
inline int PlayOnce(int MyID, int WavNumber) {
  return PlayVesselWaveOBSound3(MyID, WavNumber, NOLOOP, kFullVolume, kOwnFrequency);
}
