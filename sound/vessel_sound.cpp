// The vessel's sound set-up after creation: connect to the sound service,
// replace one stock sound, load the eleven slots, set the service options,
// and set the touchdown points once more from the strut extension.
#include "flight/gear.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

struct SlotFile {
  int slot;
  const char *file;
  int play_mode;
};

// In the order the slots are loaded, each with the play mode it is loaded with.
const SlotFile kSlots[] = {
    {kWaveEngine, "Sound\\Pelgar-Tarvex\\TarvexB-Eng.wav", 3},
    {kWaveEngineStop, "Sound\\Pelgar-Tarvex\\EngStop.wav", 2},
    {kWaveEngineStart, "Sound\\Pelgar-Tarvex\\EngStart.wav", 2},
    {kWaveEngineSecondLoop, "Sound\\Pelgar-Tarvex\\TarvexA-EngExt.wav", 2},
    {kWaveLiftFan, "Sound\\Pelgar-Tarvex\\TarvexA-EngExtP.wav", 2},
    {kWaveWarning, "Sound\\Pelgar-Tarvex\\Warning.wav", 1},
    {kWaveGear, "Sound\\Pelgar-Tarvex\\TarvexB-Gear.wav", 2},
    {kWaveCanopy, "Sound\\Pelgar-Tarvex\\TarvexB-Canopy.wav", 2},
    {kWaveCover, "Sound\\Pelgar-Tarvex\\TarvexB-Cover.wav", 2},
    {kWaveReheat, "Sound\\Pelgar-Tarvex\\TarvexB-After.wav", 3},
    {kWaveCrash, "Sound\\Vessel\\crash.wav", 3},
};

struct Option {
  int option;
  int on;
};

// In the order they are set. The first two go to this vessel's own
// identifier only: a vessel never sends a call with another vessel's
// identifier.
const Option kOptions[] = {{kAttitudeModeOption, kOptionOff},
                           {12, kOptionOn},
                           {5, kOptionOff},
                           {6, kOptionOff},
                           {1, kOptionOff},
                           {13, kOptionOn},
                           {14, kOptionOff},
                           {16, kOptionOn},
                           {17, kOptionOff},
                           {7, kOptionOff},
                           {4, kOptionOn},
                           {10, kOptionOn}};

}  // namespace

void ShuttlePB::clbkPostCreation() {
  MyID = ConnectToOrbiterSoundDLL3(GetHandle());
  ReplaceStockOBSound3(MyID, "Sound\\MySound\\Attmode0.wav", 14);
  for (const SlotFile &s : kSlots) LoadVesselWaveOBSound3(MyID, s.slot, s.file, s.play_mode);
  for (const Option &o : kOptions) SoundOption3(MyID, o.option, o.on);
  SetGearDownTouchdownPoints(*this, strut_ext);
}
