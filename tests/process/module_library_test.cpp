// The module as the host sees it: a library loaded from its file, four
// exports found by name, vessels created and destroyed through them; and the
// sound service beside it, loaded from its own file or not at all, which the
// connector finds by the file name "OrbiterSound.dll" and never loads itself.
#include <gtest/gtest.h>

#include "module/platform.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

namespace {

class ModuleLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetWorld();
    ASSERT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr) << "run each case in a process of its own";
    std::string error;
    ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api_, error)) << error;
  }
  void TearDown() override {
    while (api_.library && !host::world().vessels.empty()) host::DestroyVessel(api_, *host::world().vessels.back());
  }
  // A vessel created through ovcInit, with the host's set-up callbacks.
  host::HostVessel &NewVessel(const std::string &name = "Tarvex1") {
    host::HostVessel &hv = host::AddVessel(name);
    EXPECT_TRUE(host::CreateVessel(api_, hv));
    host::SetUpVessel(hv, {});
    return hv;
  }
  static int SoundId(host::HostVessel &hv) { return static_cast<ShuttlePB *>(hv.vessel)->MyID; }

  TempWorkDir dir_;
  host::ModuleApi api_;
};

// Attach hands the module's own handle to InitLib; neither exit export
// exists, so detach has nothing to call.
TEST_F(ModuleLibrary, ExportsOnlyTheFourEntryPointsByPlainName) {
  EXPECT_EQ(host::world().initlib_calls, 1);
  EXPECT_EQ(host::world().initlib_handle, api_.library);
  EXPECT_ALL(api_.ovcInit, api_.ovcExit, api_.ModuleDate, api_.GetModuleVersion);
  for (const char *hidden : {"ExitModule", "opcDLLExit", "ResetStateRecord", "gear_pos", "ConnectToOrbiterSoundDLL3",
                             "PlayVesselWaveOBSound3", "GetModuleHandleA", "_ZN9ShuttlePB16clbkSetClassCapsEPv"})
    EXPECT_EQ(host::LibrarySymbol(api_.library, hidden), nullptr) << hidden;
  EXPECT_STREQ(api_.ModuleDate(), "Mar  3 2011");
  int before = host::world().date2int_calls;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(api_.GetModuleVersion(), 20100830);
  EXPECT_EQ(host::world().date2int_calls, before + 1) << "the date text is converted once";
  EXPECT_TRUE(host::world().trace.Contains("Date2Int(\"Aug 30 2010\")"));
}

// Loaded, used, unloaded and loaded again: the transforms the vessels share
// are freed with the library (LeakSanitizer, in the sanitizer run, reports any
// left behind), and the reloaded library sets up its animations afresh.
TEST_F(ModuleLibrary, ReloadedLibrarySetsUpAgainAndLeavesNothingBehind) {
  api_.ovcExit(nullptr);  // nothing happens
  for (int round = 0; round < 2; ++round) {
    std::string error;
    if (round) {
      ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api_, error)) << error;
    }
    host::world().trace.Clear();
    host::HostVessel &a = NewVessel();
    EXPECT_EQ(host::world().trace.Count("oapiLoadMeshGlobal"), 5u) << "round " << round;
    EXPECT_EQ(a.animations.size(), 23u) << "round " << round;
    for (int i = 0; i < 3; ++i) host::Step(a);
    host::DestroyVessel(api_, a);
    EXPECT_TRUE(host::world().vessels.empty());
    host::world().trace.Clear();
    host::UnloadModule(api_);
    EXPECT_TRUE(host::world().trace.Entries().empty()) << "detach calls nothing";
  }
}

// Without the service the connector logs, never loads it itself, and writes
// at most 101 entries from a fresh module load. Every connect looks the
// service up afresh, by its file name in any letter case: a vessel made once
// it is loaded is heard, on the same host calls as the silent ones.
TEST_F(ModuleLibrary, VesselsBeforeAndAfterTheServiceLoads) {
  host::world().trace.Clear();
  host::HostVessel &silent = NewVessel();
  EXPECT_EQ(SoundId(silent), -1);
  EXPECT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr);
  EXPECT_EQ(ReadWholeFile(kSoundLogName), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled));
  const std::vector<std::string> silent_trace = host::world().trace.Texts();
  for (int i = 2; i <= 102; ++i) NewVessel("Tarvex" + std::to_string(i));
  const std::string log = ReadWholeFile(kSoundLogName);
  EXPECT_EQ(LogEntries(log), 101u);

  SoundService service;
  std::string error;
  void *library = host::LoadLibraryPath(TARVEX_SOUND_PATH, error);
  EXPECT_EQ(reinterpret_cast<void *>(GetModuleHandleA("orbitersound.DLL")), library);
  host::world().trace.Clear();
  host::HostVessel &heard = NewVessel("Heard");
  EXPECT_EQ(SoundId(heard), 0);
  EXPECT_TRUE(CallsEqual(service.Calls(), PostCreationServiceCalls(0)));
  const std::vector<std::string> heard_trace = host::world().trace.Texts();
  EXPECT_TRUE(CallsEqual(heard_trace, silent_trace));
  EXPECT_EQ(heard_trace[heard_trace.size() - 2], "GetHandle()") << "post-creation asks for the vessel's handle";
  EXPECT_EQ(host::world().trace.Entries().back().name, "SetTouchdownPoints") << "and sets the touchdown points last";
  ExpectGearDownTouchdownAtHalfStrut(heard);
  // Each later vessel gets the next identifier and sends only that one.
  for (int k = 1; k <= 12; ++k) {
    service.ClearCalls();
    EXPECT_EQ(SoundId(NewVessel("Later" + std::to_string(k))), k);
    EXPECT_TRUE(CallsEqual(service.Calls(), PostCreationServiceCalls(k))) << "vessel " << k;
  }
  EXPECT_EQ(ReadWholeFile(kSoundLogName), log) << "a successful connect writes no log";
  service.ClearCalls();
  host::Step(silent);
  EXPECT_TRUE(service.Calls().empty()) << "a silent vessel stays silent";
}

// A service without "SetFrequency" is incomplete (ERR02), one without
// "GetVesselSoundID3" too old (ERR03): refused before an identifier is asked for.
class IncompleteService : public ModuleLibrary, public ::testing::WithParamInterface<int> {};

TEST_P(IncompleteService, IsRefusedWithItsOwnLogEntry) {
  SoundService service(GetParam() == 2 ? TARVEX_SOUND_NO_SETFREQUENCY_PATH : TARVEX_SOUND_NO_GETID_PATH);
  ASSERT_TRUE(service.loaded());
  EXPECT_EQ(SoundId(NewVessel()), -1);
  EXPECT_EQ(ReadWholeFile(kSoundLogName),
            std::string(kSoundLogHeader) + FailureEntry(GetParam() == 2 ? kRoutinesMissing : kNoGetId));
  EXPECT_TRUE(CallsEqual(service.Calls(), {}));
}
INSTANTIATE_TEST_SUITE_P(Err, IncompleteService, ::testing::Values(2, 3));

}  // namespace
