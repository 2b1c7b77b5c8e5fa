// The vessel's sound set-up after creation: connect to the sound service,
// replace one stock sound, load the eleven slots, set the service options,
// and set the touchdown points once more from the strut extension.
#include "flight/blocks.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

struct Option {
  int option;
  int on;
};

const Option kOptions[] = {{5, 0}, {6, 0}, {1, 0}, {13, 1}, {14, 0}, {16, 1}, {17, 0}, {7, 0}, {4, 1}, {10, 1}};

}  // namespace

void ShuttlePB::clbkPostCreation() {
  MyID = ConnectToOrbiterSoundDLL3(GetHandle());
  ReplaceStockOBSound3(MyID, "Sound\\MySound\\Attmode0.wav", 14);
  for (const WaveSlotFile &s : kWaveSlotFiles) LoadVesselWaveOBSound3(MyID, s.slot, s.file, s.play_mode);
  // Option 3 off and option 12 on, for this vessel's own identifier only:
  // a vessel never sends a call with another vessel's identifier.
  SoundOption3(MyID, 3, 0);
  SoundOption3(MyID, 12, 1);
  for (const Option &o : kOptions) SoundOption3(MyID, o.option, o.on);
  SetGearDownTouchdownPoints(*this, strut_ext);
}
