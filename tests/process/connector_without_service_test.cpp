// The sound connector in a process without the sound service: one log entry
// per failed connect, every wrapper refusing, and the log's own limits.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "module/platform.h"
#include "sound/connector.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

namespace {

class ConnectorWithoutService : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    ASSERT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr) << "this process must not have the service loaded";
  }
  static std::string Log() { return ReadWholeFile(kSoundLogName); }
  TempWorkDir dir_;
};

TEST_F(ConnectorWithoutService, PostCreationLogsOneEntryAndFliesSilently) {
  host::HostVessel &hv = NewVessel("A");
  EXPECT_EQ(Ship(hv).MyID, -1);
  EXPECT_EQ(Log(), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled));
  ExpectGearDownTouchdownAtHalfStrut(hv);
  for (int id : {-1, 0, 59}) {
    EXPECT_EQ(LoadVesselWaveOBSound3(id, 10, "a.wav", 3), 0) << id;
    EXPECT_EQ(PlayVesselWaveOBSound3(id, 10, 1, 255, 0), 0) << id;
    EXPECT_EQ(StopVesselWave3(id, 10), 0) << id;
    EXPECT_EQ(IsPlayingVesselWave3(id, 10), 0) << id;
    EXPECT_EQ(SoundOption3(id, 5, 0), 0) << id;
    EXPECT_EQ(ReplaceStockOBSound3(id, "a.wav", 14), 0) << id;
  }
  // A second vessel adds its own entry, without a new header.
  NewVessel("B");
  EXPECT_EQ(Log(), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled) + FailureEntry(kNotInstalled));
}

TEST_F(ConnectorWithoutService, NullHandleEntryIsAppendedToAnExistingLog) {
  {
    FILE *f = std::fopen(kSoundLogName, "w");
    ASSERT_NE(f, nullptr);
    std::fputs("earlier run\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
  EXPECT_EQ(Log(), std::string("earlier run\n") + FailureEntry(kNullHandle));
}

TEST_F(ConnectorWithoutService, LogEntryShapesAndThe102ndEntryNotWritten) {
  const struct {
    const char *what, *text1, *text2, *entry;
  } rows[] = {
      {"both texts", "first", "second", "first\nsecond\n"},
      {"first text only", "first", nullptr, "first\n"},
      {"second text only", nullptr, "second", "second\n"},
      {"no text", nullptr, nullptr, ""},
      {"empty second text gives a blank line", "first", "", "first\n\n"},
      {"a percent sign is text", "100% %s %d", nullptr, "100% %s %d\n"},
  };
  std::string expected = kSoundLogHeader;
  for (const auto &r : rows) {
    WriteSoundLog(r.text1, r.text2);
    expected += std::string(kSoundLogSeparator) + r.entry;
    EXPECT_EQ(Log(), expected) << r.what;
  }
  for (int i = 6; i < 101; ++i) ConnectToOrbiterSoundDLL3(nullptr);
  const std::string full = Log();
  EXPECT_EQ(LogEntries(full), 101u);
  EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
  EXPECT_EQ(Ship(NewVessel("A")).MyID, -1);
  WriteSoundLog("late", nullptr);
  EXPECT_EQ(Log(), full) << "the cap holds for every kind of entry";
}

TEST_F(ConnectorWithoutService, AnUnwritableLogDropsTheEntryAndNothingElse) {
  for (bool log_is_directory : {true, false}) {
    SCOPED_TRACE(log_is_directory ? "the log name is taken by a directory" : "the working directory was removed");
    ResetSoundConnector();
    TempWorkDir inner;
    ASSERT_EQ(log_is_directory ? mkdir(kSoundLogName, 0755) : rmdir(inner.path().c_str()), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
    host::HostVessel &hv = NewVessel("A");
    EXPECT_EQ(Ship(hv).MyID, -1);
    ExpectGearDownTouchdownAtHalfStrut(hv);
    if (!log_is_directory) {
      EXPECT_FALSE(std::filesystem::exists(inner.path()));
      continue;
    }
    // Dropped entries do not count: once the log can be written, a full 101 fit.
    ASSERT_EQ(rmdir(kSoundLogName), 0);
    for (int i = 0; i < 102; ++i) ConnectToOrbiterSoundDLL3(nullptr);
    EXPECT_EQ(LogEntries(Log()), 101u);
  }
}

}  // namespace
