// The vessel's sound set-up after creation: connect to the sound service,
// replace one stock sound, load the eleven slots, set the service options,
// and set the touchdown points once more from the strut extension.
#include "flight/gear.h"
#include "module/fpu_mode.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

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
  const ModuleFpuMode fpu_mode;
  MyID = ConnectToOrbiterSoundDLL3(GetHandle());
  ReplaceStockOBSound3(MyID, "Sound\\MySound\\Attmode0.wav", 14);
  for (const WaveSlotFile &s : kWaveSlotFiles) LoadVesselWaveOBSound3(MyID, s.slot, s.file, s.play_mode);
  for (const Option &o : kOptions) SoundOption3(MyID, o.option, o.on);
  SetGearDownTouchdownPoints(*this, strut_ext);
}
