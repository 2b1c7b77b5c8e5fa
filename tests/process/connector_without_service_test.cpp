// The sound connector and the vessel's sound set-up in a process where no
// sound service is loaded: one log entry per failed connect, every wrapper
// refusing, and the log's own limits.
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "module/platform.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
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
  std::string Log() const { return ReadWholeFile(kSoundLogName); }
  TempWorkDir dir_;
};

TEST_F(ConnectorWithoutService, PostCreationLogsOneEntryAndFliesSilently) {
  host::HostVessel &hv = NewVessel("A");
  EXPECT_EQ(Ship(hv).MyID, -1);
  EXPECT_EQ(Log(), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled));
  // The touchdown points are set all the same, as with the service.
  ExpectGearDownTouchdownAtHalfStrut(hv);

  // Every wrapper refuses, for the vessel's identifier and for any other.
  for (int id : {-1, 0, 59}) {
    EXPECT_EQ(LoadVesselWaveOBSound3(id, 10, "a.wav", 3), 0) << id;
    EXPECT_EQ(PlayVesselWaveOBSound3(id, 10, 1, 255, 0), 0) << id;
    EXPECT_EQ(StopVesselWave3(id, 10), 0) << id;
    EXPECT_EQ(IsPlayingVesselWave3(id, 10), 0) << id;
    EXPECT_EQ(SoundOption3(id, 5, 0), 0) << id;
    EXPECT_EQ(ReplaceStockOBSound3(id, "a.wav", 14), 0) << id;
  }

  // A second vessel adds its own entry after the first, without a new header.
  NewVessel("B");
  EXPECT_EQ(Log(), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled) + FailureEntry(kNotInstalled));
}

TEST_F(ConnectorWithoutService, NullVesselHandleIsRefusedWithItsOwnEntry) {
  EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
  EXPECT_EQ(Log(), std::string(kSoundLogHeader) + FailureEntry(kNullHandle));
}

TEST_F(ConnectorWithoutService, LogEntryShapes) {
  const struct {
    const char *what;
    const char *text1, *text2;
    const char *entry;
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
}

TEST_F(ConnectorWithoutService, AnExistingLogIsAppendedToWithoutANewHeader) {
  {
    FILE *f = std::fopen(kSoundLogName, "w");
    ASSERT_NE(f, nullptr);
    std::fputs("earlier run\n", f);
    std::fclose(f);
  }
  EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
  EXPECT_EQ(Log(), std::string("earlier run\n") + FailureEntry(kNullHandle));
}

TEST_F(ConnectorWithoutService, The102ndEntryOfAModuleLoadIsNotWritten) {
  for (int i = 0; i < 101; ++i) ConnectToOrbiterSoundDLL3(nullptr);
  std::string full = Log();
  EXPECT_EQ(LogEntries(full), 101u);
  // The cap holds for every kind of entry, and connect still answers -1.
  EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
  host::HostVessel &hv = NewVessel("A");
  EXPECT_EQ(Ship(hv).MyID, -1);
  WriteSoundLog("late", nullptr);
  EXPECT_EQ(Log(), full);
}

TEST_F(ConnectorWithoutService, AnUnwritableLogDropsTheEntryAndNothingElse) {
  const struct {
    const char *what;
    bool log_is_directory;  // else the working directory itself is gone
  } rows[] = {{"the log name is taken by a directory", true}, {"the working directory was removed", false}};
  for (const auto &r : rows) {
    SCOPED_TRACE(r.what);
    ResetSoundConnector();
    TempWorkDir inner;
    if (r.log_is_directory)
      ASSERT_EQ(mkdir(kSoundLogName, 0755), 0);
    else
      ASSERT_EQ(rmdir(inner.path().c_str()), 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(ConnectToOrbiterSoundDLL3(nullptr), -1);
    host::HostVessel &hv = NewVessel("A");
    EXPECT_EQ(Ship(hv).MyID, -1);
    ExpectGearDownTouchdownAtHalfStrut(hv);
    // Dropped entries do not count: once the log can be written, a full 101 fit.
    if (r.log_is_directory) {
      ASSERT_EQ(rmdir(kSoundLogName), 0);
      for (int i = 0; i < 102; ++i) ConnectToOrbiterSoundDLL3(nullptr);
      EXPECT_EQ(LogEntries(Log()), 101u);
    } else {
      EXPECT_FALSE(FileExists(inner.path()));
    }
  }
}

}  // namespace
