// The vessel's sound set-up after creation: connect to the sound service,
// replace one stock sound, load the eleven slots, set the service options,
// and set the touchdown points once more from the strut extension.
#include "flight/blocks.h"
#include "module/fpu_mode.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"

namespace {

struct SlotFile {
  int slot;
  const char *file;
  int play_mode;
};

// In the order the slots are loaded.
const SlotFile kSlots[] = {
    {10, "Sound\\Pelgar-Tarvex\\TarvexB-Eng.wav", 3},     // main engine
    {2, "Sound\\Pelgar-Tarvex\\EngStop.wav", 2},          // engine shut-down
    {3, "Sound\\Pelgar-Tarvex\\EngStart.wav", 2},         // engine start
    {4, "Sound\\Pelgar-Tarvex\\TarvexA-EngExt.wav", 2},   // engine, second loop
    {5, "Sound\\Pelgar-Tarvex\\TarvexA-EngExtP.wav", 2},  // lift fan
    {6, "Sound\\Pelgar-Tarvex\\Warning.wav", 1},          // flight-envelope warning
    {11, "Sound\\Pelgar-Tarvex\\TarvexB-Gear.wav", 2},    // undercarriage
    {7, "Sound\\Pelgar-Tarvex\\TarvexB-Canopy.wav", 2},   // canopy and speed brake
    {12, "Sound\\Pelgar-Tarvex\\TarvexB-Cover.wav", 2},   // nozzle keys and rotation
    {13, "Sound\\Pelgar-Tarvex\\TarvexB-After.wav", 3},   // reheat
    {14, "Sound\\Vessel\\crash.wav", 3},                  // loaded, never played
};

struct Option {
  int option;
  int on;
};

const Option kOptions[] = {{5, 0}, {6, 0}, {1, 0}, {13, 1}, {14, 0}, {16, 1}, {17, 0}, {7, 0}, {4, 1}, {10, 1}};

}  // namespace

void ShuttlePB::clbkPostCreation() {
  const ModuleFpuMode fpu_mode;
  MyID = ConnectToOrbiterSoundDLL3(GetHandle());
  ReplaceStockOBSound3(MyID, "Sound\\MySound\\Attmode0.wav", 14);
  for (const SlotFile &s : kSlots) LoadVesselWaveOBSound3(MyID, s.slot, s.file, s.play_mode);
  // Option 3 off and option 12 on, for this vessel's own identifier only:
  // a vessel never sends a call with another vessel's identifier.
  SoundOption3(MyID, 3, 0);
  SoundOption3(MyID, 12, 1);
  for (const Option &o : kOptions) SoundOption3(MyID, o.option, o.on);
  SetGearDownTouchdownPoints(*this, strut_ext);
}
