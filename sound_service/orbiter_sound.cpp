// The stand-in sound service. It hands out identifiers 0..59, one per vessel
// handle, keeps 60 slots per identifier, knows which slots play and records
// every call. A looped sound plays until it is stopped; a sound played once
// plays for the length of its file when the file is a readable WAV, else for
// one second of service time (advanced by TarvexSound_Advance). Calls are
// recorded as text only while someone asked for the record
// (TarvexSound_KeepCalls): formatting every call costs more than the rest of
// the service together.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#define SERVICE_EXPORT extern "C" __declspec(dllexport)
#else
#define SERVICE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

const int kIds = 60;
const int kSlots = 60;
const double kDefaultOnceLength = 1.0;

struct Slot {
  bool loaded = false;
  std::string file;
  int mode = 0;
  bool playing = false;
  int loop = 0, volume = 0, frequency = 0;
  double ends_at = 0;  // service time at which a sound played once stops
};

struct Service {
  void *handles[kIds] = {};
  int ids = 0;
  Slot slots[kIds][kSlots + 1];
  std::vector<std::string> calls;
  double clock = 0;
};
// The service's state lives as long as the library: freed when it is unloaded.
std::unique_ptr<Service> g_state(new Service());
Service *g = g_state.get();
bool g_keep_calls = false;  // outlives a reset: it is the inspector's wish, not the service's state

// Every exported call is recorded as `if (g_keep_calls) Record(...)`, so that
// its text is not even formatted while nobody keeps the record.
void Record(const std::string &call) { g->calls.push_back(call); }

std::string Fmt(const char *name, std::initializer_list<int> args) {
  std::string s = std::string(name) + "(";
  bool first = true;
  for (int a : args) {
    s += (first ? "" : ", ") + std::to_string(a);
    first = false;
  }
  return s + ")";
}

bool Valid(int id, int slot) { return id >= 0 && id < kIds && slot >= 1 && slot <= kSlots; }

// Length in seconds of a PCM WAV file, or a negative value.
double WavLength(const std::string &file) {
  std::string path = file;
  for (char &c : path)
    if (c == '\\') c = '/';
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f) return -1;
  unsigned char h[44];
  size_t n = std::fread(h, 1, sizeof h, f);
  std::fclose(f);
  // The canonical layout only: "fmt " chunk first, "data" chunk right after.
  if (n < 44 || std::memcmp(h, "RIFF", 4) || std::memcmp(h + 8, "WAVE", 4) || std::memcmp(h + 12, "fmt ", 4) ||
      std::memcmp(h + 36, "data", 4))
    return -1;
  uint32_t byte_rate = h[28] | h[29] << 8 | h[30] << 16 | (uint32_t)h[31] << 24;
  uint32_t data = h[40] | h[41] << 8 | h[42] << 16 | (uint32_t)h[43] << 24;
  return byte_rate ? (double)data / byte_rate : -1;
}

void Expire(Slot &s) {
  if (s.playing && !s.loop && g->clock >= s.ends_at) s.playing = false;
}

}  // namespace

#if !defined(TARVEX_SOUND_WITHOUT_GET_ID)
SERVICE_EXPORT int GetVesselSoundID3(void *hVessel) {
  if (g_keep_calls) Record("GetVesselSoundID3(vessel)");
  for (int i = 0; i < g->ids; ++i)
    if (g->handles[i] == hVessel) return i;
  if (!hVessel || g->ids >= kIds) return -1;
  g->handles[g->ids] = hVessel;
  return g->ids++;
}
#endif

SERVICE_EXPORT int LoadVesselWaveOBSound3(int id, int slot, char *file, int mode) {
  if (g_keep_calls)
    Record("LoadVesselWaveOBSound3(" + std::to_string(id) + ", " + std::to_string(slot) + ", \"" + (file ? file : "") +
           "\", " + std::to_string(mode) + ")");
  if (!Valid(id, slot) || !file) return 0;
  Slot &s = g->slots[id][slot];
  s = Slot{};
  s.loaded = true, s.file = file, s.mode = mode;
  return 1;
}

SERVICE_EXPORT int PlayVesselWaveOBSound3(int id, int slot, int loop, int volume, int frequency) {
  if (g_keep_calls) Record(Fmt("PlayVesselWaveOBSound3", {id, slot, loop, volume, frequency}));
  if (!Valid(id, slot) || !g->slots[id][slot].loaded) return 0;
  Slot &s = g->slots[id][slot];
  Expire(s);
  // A sound played once runs its length from the moment it starts, or from
  // the moment a looping sound is told to play once more.
  bool restart = !s.playing || s.loop;
  s.playing = true, s.loop = loop, s.volume = volume, s.frequency = frequency;
  if (!loop && restart) {
    double len = WavLength(s.file);
    s.ends_at = g->clock + (len > 0 ? len : kDefaultOnceLength);
  }
  return 1;
}

SERVICE_EXPORT int PlayVesselExclusiveWaveOBSound3(int id, int slot, int loop, int volume, int frequency) {
  if (g_keep_calls) Record(Fmt("PlayVesselExclusiveWaveOBSound3", {id, slot, loop, volume, frequency}));
  return 0;
}

SERVICE_EXPORT int StopVesselWave3(int id, int slot) {
  if (g_keep_calls) Record(Fmt("StopVesselWave3", {id, slot}));
  if (!Valid(id, slot)) return 0;
  g->slots[id][slot].playing = false;
  return 1;
}

SERVICE_EXPORT int IsPlayingVesselWave3(int id, int slot) {
  if (g_keep_calls) Record(Fmt("IsPlayingVesselWave3", {id, slot}));
  if (!Valid(id, slot)) return 0;
  Slot &s = g->slots[id][slot];
  Expire(s);
  return s.playing ? 1 : 0;
}

SERVICE_EXPORT int IsPlayingRadioVesselWave(int id, int slot) {
  if (g_keep_calls) Record(Fmt("IsPlayingRadioVesselWave", {id, slot}));
  return 0;
}

SERVICE_EXPORT int SoundOption3(int id, int option, int status) {
  if (g_keep_calls) Record(Fmt("SoundOption3", {id, option, status}));
  return id >= 0 && id < kIds ? 1 : 0;
}

#if !defined(TARVEX_SOUND_WITHOUT_SET_FREQUENCY)
SERVICE_EXPORT int SetFrequency(int id, int slot, int frequency) {
  if (g_keep_calls) Record(Fmt("SetFrequency", {id, slot, frequency}));
  return 0;
}
#endif

SERVICE_EXPORT int ReplaceStockOBSound3(int id, char *file, int which) {
  if (g_keep_calls)
    Record("ReplaceStockOBSound3(" + std::to_string(id) + ", \"" + (file ? file : "") + "\", " + std::to_string(which) +
           ")");
  return id >= 0 && id < kIds ? 1 : 0;
}

SERVICE_EXPORT int GetVersionOBSound3() {
  if (g_keep_calls) Record("GetVersionOBSound3()");
  return 35;
}

// --- Control and inspection ---------------------------------------------------

SERVICE_EXPORT int TarvexSound_CallCount() { return (int)g->calls.size(); }
SERVICE_EXPORT const char *TarvexSound_Call(int i) {
  return i >= 0 && i < (int)g->calls.size() ? g->calls[i].c_str() : nullptr;
}
SERVICE_EXPORT void TarvexSound_ClearCalls() { g->calls.clear(); }
SERVICE_EXPORT void TarvexSound_KeepCalls(int keep) { g_keep_calls = keep != 0; }
SERVICE_EXPORT void TarvexSound_Advance(double seconds) {
  if (seconds > 0) g->clock += seconds;
}
SERVICE_EXPORT int TarvexSound_SlotState(int id, int slot, int *loop, int *volume, int *frequency) {
  if (!Valid(id, slot)) return 0;
  Slot &s = g->slots[id][slot];
  Expire(s);
  if (loop) *loop = s.loop;
  if (volume) *volume = s.volume;
  if (frequency) *frequency = s.frequency;
  return s.playing ? 1 : 0;
}
SERVICE_EXPORT const char *TarvexSound_SlotFile(int id, int slot) {
  return Valid(id, slot) && g->slots[id][slot].loaded ? g->slots[id][slot].file.c_str() : nullptr;
}
SERVICE_EXPORT void TarvexSound_Reset() {
  g_state.reset(new Service());
  g = g_state.get();
}
