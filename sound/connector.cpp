#include "sound/connector.h"

#include <cerrno>
#include <cstdio>

#include "module/platform.h"

namespace {

// The sound service's routines are plain C functions of the C calling
// convention, whatever the compiler's default.
typedef int(__cdecl *LoadFn)(int, int, char *, int);
typedef int(__cdecl *PlayFn)(int, int, int, int, int);
typedef int(__cdecl *SlotFn)(int, int);
typedef int(__cdecl *OptionFn)(int, int, int);
typedef int(__cdecl *ReplaceFn)(int, char *, int);
typedef int(__cdecl *GetIdFn)(OBJHANDLE);

// Module-wide connector state, refreshed by every connect.
HMODULE g_service = nullptr;
FARPROC g_load = nullptr;
FARPROC g_play = nullptr;
FARPROC g_play_exclusive = nullptr;
FARPROC g_stop = nullptr;
FARPROC g_is_playing = nullptr;
FARPROC g_is_playing_radio = nullptr;
FARPROC g_option = nullptr;
FARPROC g_set_frequency = nullptr;
FARPROC g_get_id = nullptr;
FARPROC g_replace = nullptr;
FARPROC g_get_version = nullptr;
int g_log_entries = 0;

bool ValidId(int id) { return (unsigned)id <= 59u; }
bool ValidSlot(int slot) { return (unsigned)slot - 1u <= 59u; }        // 1..60
bool ValidOption(int option) { return (unsigned)option - 1u <= 16u; }  // 1..17

// An export's address as the routine type it has; the detour through the
// generic function pointer type keeps the compiler from objecting to the
// change of signature.
template <typename Fn>
Fn As(FARPROC f) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(f));
}

}  // namespace

void ResetSoundConnector() {
  g_service = nullptr;
  g_load = g_play = g_play_exclusive = g_stop = g_is_playing = g_is_playing_radio = nullptr;
  g_option = g_set_frequency = g_get_id = g_replace = g_get_version = nullptr;
  g_log_entries = 0;
}

void WriteSoundLog(const char *text1, const char *text2) {
  if (g_log_entries > 100) return;
  const char *name = "OrbiterSound_Log.txt";
  errno = 0;
  FILE *f = std::fopen(name, "r+");
  if (!f) {
    // Only a missing log is created; a log that exists but cannot be opened
    // is never truncated. Either way an unopenable log drops the entry.
    // The missing log is created in append mode, which never truncates (the
    // system's msvcrt.dll knows no exclusive "x" mode), and it gets the header
    // only while still empty, should another writer have come first.
    if (errno != ENOENT) return;
    f = std::fopen(name, "a");
    if (!f) return;
    if (std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) == 0)
      std::fputs("Orbiter Sound Log Started\n*****************************\n\n", f);
  }
  std::fclose(f);
  f = std::fopen(name, "a");
  if (!f) return;
  std::fputs("--------------------------------------\n", f);
  if (text1) std::fprintf(f, "%s\n", text1);
  if (text2) std::fprintf(f, "%s\n", text2);
  ++g_log_entries;
  std::fclose(f);
}

int ConnectToOrbiterSoundDLL3(OBJHANDLE hVessel) {
  if (!hVessel) {
    WriteSoundLog("ERR01= Vessel->ConnectToOrbiterSoundDLL3: A vessel passed a NULL handle to this function", "");
    return -1;
  }
  g_service = GetModuleHandleA("OrbiterSound.dll");
  if (!g_service) {
    WriteSoundLog(
        "ERR01= Vessel->ConnectToOrbiterSoundDLL3: Unable to connect to OrbiterSound 3.5 - not installed or activated",
        "");
    return -1;
  }
  g_load = GetProcAddress(g_service, "LoadVesselWaveOBSound3");
  g_play = GetProcAddress(g_service, "PlayVesselWaveOBSound3");
  g_play_exclusive = GetProcAddress(g_service, "PlayVesselExclusiveWaveOBSound3");
  g_stop = GetProcAddress(g_service, "StopVesselWave3");
  g_is_playing = GetProcAddress(g_service, "IsPlayingVesselWave3");
  g_is_playing_radio = GetProcAddress(g_service, "IsPlayingRadioVesselWave");
  g_option = GetProcAddress(g_service, "SoundOption3");
  g_set_frequency = GetProcAddress(g_service, "SetFrequency");
  g_get_id = GetProcAddress(g_service, "GetVesselSoundID3");
  g_replace = GetProcAddress(g_service, "ReplaceStockOBSound3");
  g_get_version = GetProcAddress(g_service, "GetVersionOBSound3");
  if (!g_load || !g_play || !g_stop || !g_is_playing || !g_is_playing_radio || !g_play_exclusive || !g_option ||
      !g_set_frequency || !g_replace) {
    WriteSoundLog("ERR02= ConnectToOrbiterSoundDLL3: Unable to find routines missing OrbiterSound3.5 ?", "");
    return -1;
  }
  if (!g_get_id) {
    WriteSoundLog("ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?", "");
    return -1;
  }
  return As<GetIdFn>(g_get_id)(hVessel);
}

int LoadVesselWaveOBSound3(int MyID, int WavNumber, const char *SoundName, int PlayMode) {
  // A slot is never loaded from a null file name: the service would read it.
  if (!g_load || !ValidId(MyID) || !ValidSlot(WavNumber) || !SoundName) return 0;
  return As<LoadFn>(g_load)(MyID, WavNumber, const_cast<char *>(SoundName), PlayMode);
}

int PlayVesselWaveOBSound3(int MyID, int WavNumber, int Loop, int Volume, int Frequency) {
  if (!g_play || !ValidId(MyID) || !ValidSlot(WavNumber)) return 0;
  return As<PlayFn>(g_play)(MyID, WavNumber, Loop, Volume, Frequency);
}

int StopVesselWave3(int MyID, int WavNumber) {
  if (!g_stop || !ValidId(MyID) || !ValidSlot(WavNumber)) return 0;
  return As<SlotFn>(g_stop)(MyID, WavNumber);
}

int IsPlayingVesselWave3(int MyID, int WavNumber) {
  if (!g_is_playing || !ValidId(MyID) || !ValidSlot(WavNumber)) return 0;
  return As<SlotFn>(g_is_playing)(MyID, WavNumber);
}

int SoundOption3(int MyID, int Option, int Status) {
  if (!g_option || !ValidOption(Option) || !ValidId(MyID)) return 0;
  return As<OptionFn>(g_option)(MyID, Option, Status);
}

int ReplaceStockOBSound3(int MyID, const char *SoundName, int WhichSound) {
  if (!g_replace || !ValidId(MyID) || !SoundName) return 0;
  return As<ReplaceFn>(g_replace)(MyID, const_cast<char *>(SoundName), WhichSound);
}
