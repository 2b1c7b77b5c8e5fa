// The module library and the sound service library together, as in a host
// process: the module is loaded from its file and called through its
// exports; the sound service is loaded before it, or not at all, and the
// module's connector must find it among the loaded modules by its file name
// "OrbiterSound.dll" (GetModuleHandleA), never load it itself, and look its
// routines up by their export names (GetProcAddress).
//
// Each case loads its own service variant, so each needs a process of its own
// (CTest runs every case in one).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/harness.h"
#include "module/platform.h"
#include "module/shuttlepb.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"

using tarvex_test::CallsEqual;

namespace {

const char kLogName[] = "OrbiterSound_Log.txt";
const char kLogHeader[] = "Orbiter Sound Log Started\n*****************************\n\n";
const char kEntryRule[] = "--------------------------------------\n";

class SoundServiceLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    // A working folder of its own: the connector writes its log into the
    // current folder, and other cases may run at the same time.
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::path(TARVEX_BINARY_DIR) / "test-work" / "sound_service_library" / info->name();
    std::filesystem::create_directories(dir_);
    std::filesystem::remove(dir_ / kLogName);
    old_dir_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);

    host::ResetWorld();
    ASSERT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr)
        << "a sound service is already loaded in this process; run each case in a process of its own";
  }

  void TearDown() override {
    if (api_.library) {
      for (auto &v : host::world().vessels)
        if (v->vessel) api_.ovcExit(v->vessel);
      host::world().vessels.clear();
    }
    std::filesystem::current_path(old_dir_);
  }

  // Loads the module from its file as the host does and creates one vessel
  // through ovcInit, with the host's set-up callbacks.
  host::HostVessel &FlyModule() {
    std::string error;
    EXPECT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api_, error)) << error;
    host::HostVessel &hv = host::AddVessel("Tarvex1");
    EXPECT_TRUE(host::CreateVessel(api_, hv));
    host::SetUpVessel(hv, {});
    return hv;
  }

  static int SoundId(host::HostVessel &hv) { return static_cast<ShuttlePB *>(hv.vessel)->MyID; }

  // The log as text (line ends as the platform's text files have them read
  // back), or "<none>" when there is no log.
  std::string Log() const {
    std::ifstream in(dir_ / kLogName);
    if (!in) return "<none>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  static std::string OneEntry(const std::string &message) {
    return std::string(kLogHeader) + kEntryRule + message + "\n\n";
  }

  host::ModuleApi api_;
  std::filesystem::path dir_, old_dir_;
};

TEST_F(SoundServiceLibrary, ServiceLoadedFirstIsFoundByItsFileNameAndCalledByExportName) {
  tarvex_test::SoundService service(TARVEX_SOUND_PATH);
  ASSERT_TRUE(service.loaded());
  // Loaded from a folder of its own, yet found by its bare file name, in any
  // letter case, as the very library that was loaded.
  std::string error;
  void *library = host::LoadLibraryPath(TARVEX_SOUND_PATH, error);
  ASSERT_NE(library, nullptr) << error;
  EXPECT_EQ(reinterpret_cast<void *>(GetModuleHandleA("OrbiterSound.dll")), library);
  EXPECT_EQ(reinterpret_cast<void *>(GetModuleHandleA("orbitersound.DLL")), library);

  host::HostVessel &hv = FlyModule();
  EXPECT_EQ(SoundId(hv), 0) << "the identifier the service handed out";
  auto calls = service.Calls();
  ASSERT_GE(calls.size(), 13u);
  EXPECT_TRUE(CallsEqual({calls.begin(), calls.begin() + 3},
                         {"GetVesselSoundID3(vessel)", "ReplaceStockOBSound3(0, \"Sound\\MySound\\Attmode0.wav\", 14)",
                          "LoadVesselWaveOBSound3(0, 10, \"Sound\\Pelgar-Tarvex\\TarvexB-Eng.wav\", 3)"}));
  EXPECT_EQ(service.SlotFile(0, 14), "Sound\\Vessel\\crash.wav");
  EXPECT_EQ(Log(), "<none>") << "a successful connect writes no log";

  // A second vessel gets an identifier of its own from the same service.
  host::HostVessel &second = host::AddVessel("Tarvex2");
  ASSERT_TRUE(host::CreateVessel(api_, second));
  host::SetUpVessel(second, {});
  EXPECT_EQ(SoundId(second), 1);
  EXPECT_EQ(Log(), "<none>");
}

TEST_F(SoundServiceLibrary, WithoutTheServiceTheConnectorLogsAndNeverLoadsItItself) {
  host::HostVessel &hv = FlyModule();
  EXPECT_EQ(SoundId(hv), -1);
  EXPECT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr) << "the connector never loads the service itself";
  EXPECT_EQ(Log(), OneEntry("ERR01= Vessel->ConnectToOrbiterSoundDLL3: Unable to connect to OrbiterSound 3.5 - "
                            "not installed or activated"));
  // The entry count of a freshly loaded module starts at 0: 101 entries at most.
  for (int i = 2; i <= 102; ++i) {
    host::HostVessel &more = host::AddVessel("Tarvex" + std::to_string(i));
    ASSERT_TRUE(host::CreateVessel(api_, more));
    host::SetUpVessel(more, {});
  }
  EXPECT_EQ(tarvex_test::LogEntries(Log()), 101u);
}

// A service without "SetFrequency" is incomplete (ERR02), one without
// "GetVesselSoundID3" too old (ERR03): refused before an identifier is asked
// for, and every later call is refused by the connector. One variant per case,
// each in a process of its own.
class IncompleteService : public SoundServiceLibrary, public ::testing::WithParamInterface<int> {};

TEST_P(IncompleteService, IsRefusedWithItsOwnLogEntry) {
  tarvex_test::SoundService service(GetParam() == 2 ? TARVEX_SOUND_NO_SETFREQUENCY_PATH : TARVEX_SOUND_NO_GETID_PATH);
  ASSERT_TRUE(service.loaded());
  host::HostVessel &hv = FlyModule();
  EXPECT_EQ(SoundId(hv), -1);
  EXPECT_EQ(Log(), OneEntry(GetParam() == 2
                                ? "ERR02= ConnectToOrbiterSoundDLL3: Unable to find routines missing OrbiterSound3.5 ?"
                                : "ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?"));
  EXPECT_TRUE(CallsEqual(service.Calls(), {}));
}
INSTANTIATE_TEST_SUITE_P(Err, IncompleteService, ::testing::Values(2, 3));

}  // namespace
