// Telemetry of the flight host: one row of named columns per vessel and
// step, read from the host's record of the vessel and from the sound
// service. Angles are in degrees, the rest in SI units; flags are 0 or 1.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/world.h"
#include "sound_service/service_control.h"

namespace sim {

// The columns, in the order of the CSV header, with their units.
struct ColumnInfo {
  const char *name;
  const char *unit;  // "m", "deg", "0/1" for a flag, "0..1" for a level
  const char *meaning;
};
const std::vector<ColumnInfo> &Columns();
const std::vector<std::string> &ColumnNames();
// Index of a column by name, or -1.
int ColumnIndex(const std::string &name);

// The animations of the Tarvex class the telemetry reads, by creation index.
const unsigned kGearAnimation = 5;
const unsigned kNozzleAnimation = 14;  // the cover panels, moved with the nozzle
const unsigned kStrutAnimation = 3;    // nose strut
// And its sound slots.
const int kWarningSlot = 6;
const int kEngineSlot = 10;
const int kReheatSlot = 13;

// The stand-in sound service's inspection routines, found by name once it is
// loaded; a service without them (another service of the same name) shows
// every slot quiet.
struct SoundProbes {
  TarvexSound_AdvanceFn advance = nullptr;
  TarvexSound_SlotStateFn slot_state = nullptr;
  TarvexSound_ClearCallsFn clear_calls = nullptr;
  TarvexSound_SlotFileFn slot_file = nullptr;
  // Whether slot `slot` of the vessel with sound identifier `id` plays.
  bool Playing(int id, int slot) const { return slot_state && slot_state(id, slot, nullptr, nullptr, nullptr) != 0; }
};
// Those of a loaded service.
SoundProbes FindSoundProbes(void *library);

struct Sample {
  std::vector<double> v;  // by column index
  double operator[](size_t i) const { return v[i]; }
};

// The row of one vessel at simulation time `t`; `sound_id` is the vessel's
// identifier at the sound service, `sound` null when there is no service.
Sample Measure(const host::HostVessel &hv, double t, int sound_id, const SoundProbes *sound);
// The same into a sample kept from step to step, without allocating.
void Measure(const host::HostVessel &hv, double t, int sound_id, const SoundProbes *sound, Sample &s);

// "t,alt,..." and one row, "%.6g" per value.
std::string CsvHeader();
std::string CsvRow(const Sample &s);
// Writes rows one after another into storage it keeps, and formats only the
// values that changed since its last row: the same text as CsvRow.
class CsvRowWriter {
 public:
  const std::string &Row(const Sample &s);

 private:
  struct Value {
    double v = 0;
    bool known = false;
    int len = 0;
    char text[32];
  };
  std::vector<Value> last_;
  std::string row_;
};

// The short table on standard output.
std::string TableHeader();
std::string TableRow(const Sample &s);

}  // namespace sim
