// Engine, lift-fan and reheat sounds as the sound service hears them: the
// mix for each throttle level and camera, and silence while the start or
// warning sound plays. The service is loaded before the vessel connects.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/harness.h"
#include "module/handles.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"

using tarvex_test::CallsEqual;

namespace {

std::string Play(int slot, int volume, int frequency) {
  return "PlayVesselWaveOBSound3(0, " + std::to_string(slot) + ", 1, " + std::to_string(volume) + ", " +
         std::to_string(frequency) + ")";
}

class EngineSoundsTest : public tarvex_test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
    hv_ = &NewVessel();
    ASSERT_EQ(Ship(*hv_).MyID, 0);
    eng_status = 1;
    hv_->ground_contact = false;
    hv_->altitude = 300;
    hv_->airspeed = 100;
  }
  void SetLevel(double level) { static_cast<host::Thruster *>(th_main)->level = level; }
  void Step() {
    sound_.ClearCalls();
    host::Step(*hv_);
  }
  std::vector<std::string> Calls(const std::string &name) const {
    std::vector<std::string> out;
    for (const std::string &c : sound_.Calls())
      if (c.rfind(name + "(", 0) == 0) out.push_back(c);
    return out;
  }
  // The play requests of the last step for the given slots.
  std::vector<std::string> Plays(std::vector<int> slots) const {
    std::vector<std::string> out;
    for (const std::string &c : Calls("PlayVesselWaveOBSound3"))
      for (int s : slots)
        if (c.rfind("PlayVesselWaveOBSound3(0, " + std::to_string(s) + ",", 0) == 0) out.push_back(c);
    return out;
  }

  tarvex_test::SoundService sound_;
  host::HostVessel *hv_ = nullptr;
};

TEST_F(EngineSoundsTest, EngineMixFollowsTheThrottleAndTheCamera) {
  struct Row {
    double level;
    bool inside;
    std::vector<std::string> plays;
    const char *what;
  };
  const Row rows[] = {
      {0.0015, false, {Play(4, 255, 14009), Play(10, 1, 14009)}, "idle outside: volume 1.14 truncated to 1"},
      {0.0015, true, {Play(4, 180, 14009), Play(10, 0, 13209)}, "idle inside: volume 0.72 truncated to 0"},
      {0.3, false, {Play(4, 255, 15800), Play(10, 228, 15800)}, "L = 0.3 outside: 228"},
      {0.32, false, {Play(4, 255, 15920), Play(10, 255, 15920)}, "L = 0.32 outside: past 240 the volume jumps to 255"},
      {0.3, true, {Play(4, 180, 15800), Play(10, 144, 15000)}, "L = 0.3 inside: 144, 800 lower"},
      {0.55, true, {Play(4, 180, 17300), Play(10, 180, 16500)}, "inside the volume stops at 180"},
      {1, true, {Play(4, 180, 20000), Play(10, 180, 19200)}, "full throttle inside"},
      {1, false, {Play(4, 255, 20000), Play(10, 255, 20000)}, "full throttle outside"},
      {0.30015, false, {Play(4, 255, 15800), Play(10, 228, 15800)}, "fractions of the frequency are dropped"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    host::world().camera_internal = row.inside;
    SetLevel(row.level);
    Step();
    EXPECT_TRUE(CallsEqual(Plays({4, 5, 10, 13}), row.plays));
  }
  int loop = 0, volume = 0, frequency = 0;
  ASSERT_TRUE(sound_.Playing(0, 10, &loop, &volume, &frequency));
  EXPECT_EQ(loop, 1);
}

TEST_F(EngineSoundsTest, NoEngineSoundsWithTheEngineOff) {
  eng_status = 0;
  SetLevel(0.5);
  Step();
  EXPECT_TRUE(Plays({4, 5, 10, 13}).empty());
  EXPECT_TRUE(Calls("IsPlayingVesselWave3").empty()) << "the block does not run at all";
}

TEST_F(EngineSoundsTest, LiftFanSoundWaitsForTheDoorsToOpen) {
  SetLevel(0.5);
  nozzle_angle = 1, liftfan_rot = 0.5, fandoor_pos = 0;
  hv_->airspeed = 20;
  host::world().camera_internal = false;
  Step();
  EXPECT_NEAR(fandoor_pos, 0.057, 1e-12);
  EXPECT_TRUE(Plays({5}).empty()) << "doors at 0.057 are not yet open enough";
  Step();
  EXPECT_TRUE(CallsEqual(Plays({5}), {Play(5, 245, 17000)}));
  host::world().camera_internal = true;
  Step();
  EXPECT_TRUE(CallsEqual(Plays({5}), {Play(5, 180, 16200)}));
  // The nozzle down stops the reheat sound every step.
  EXPECT_FALSE(Calls("StopVesselWave3").empty());
  EXPECT_EQ(Calls("StopVesselWave3").back(), "StopVesselWave3(0, 13)");

  struct Row {
    double airspeed, nozzle, rotor, doors;
    const char *what;
  };
  const Row silent[] = {
      {70, 1, 0.5, 0.5, "at 70 m/s"},
      {20, 1, 0, 0.5, "rotor phase 0"},
      {20, 0.06, 0.5, 0.5, "nozzle at its aft stop"},
  };
  for (const Row &row : silent) {
    SCOPED_TRACE(row.what);
    hv_->airspeed = row.airspeed;
    nozzle_angle = row.nozzle, liftfan_rot = row.rotor, fandoor_pos = row.doors;
    // Keep the rotor where the row puts it while the step runs: the main
    // level 0 leaves it alone at low speed.
    SetLevel(row.rotor == 0 ? 0 : 0.5);
    if (row.rotor == 0) hv_->airspeed = 5;
    Step();
    EXPECT_TRUE(Plays({5}).empty());
  }
}

TEST_F(EngineSoundsTest, ReheatRoarsOnlyAboveNinetyEightPercentWithTheNozzleAft) {
  struct Row {
    double reheat_flag, level, nozzle;
    bool inside;
    std::vector<std::string> plays;
    bool stopped;
    const char *what;
  };
  const Row rows[] = {
      {1, 1, 0, false, {Play(13, 255, 22500)}, false, "outside"},
      {1, 1, 0, true, {Play(13, 170, 18500)}, false, "inside"},
      {1, 0.98, 0, false, {}, false, "exactly 0.98: no roar"},
      {1, 1, 0.06, false, {}, true, "nozzle at 0.06: stopped"},
      {0, 1, 0, false, {}, true, "reheat deselected: stopped"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    reheat = row.reheat_flag, nozzle_angle = row.nozzle;
    host::world().camera_internal = row.inside;
    SetLevel(row.level);
    Step();
    EXPECT_TRUE(CallsEqual(Plays({13}), row.plays));
    auto stops = Calls("StopVesselWave3");
    bool stopped = !stops.empty() && stops.back() == "StopVesselWave3(0, 13)";
    EXPECT_EQ(stopped, row.stopped);
  }
}

TEST_F(EngineSoundsTest, SilentWhileTheWarningPlays) {
  // Out of the envelope (too high) the warning loops.
  hv_->altitude = 20000;
  PlayVesselWaveOBSound3(0, 6, LOOP, 255, 0);
  struct Row {
    double level, nozzle, reheat_flag;
    const char *what;
  };
  const Row rows[] = {
      {1, 0, 1, "engine and reheat conditions met"},
      {0.5, 1, 0, "engine and lift-fan conditions met"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    SetLevel(row.level);
    nozzle_angle = row.nozzle, reheat = row.reheat_flag, liftfan_rot = 0.5, fandoor_pos = 0.5;
    hv_->airspeed = 20;
    Step();
    EXPECT_TRUE(Plays({4, 5, 10, 13}).empty());
    EXPECT_TRUE(sound_.Playing(0, 6));
  }
}

TEST_F(EngineSoundsTest, EngineLoopsWaitForTheStartSoundToEnd) {
  SetLevel(1);
  reheat = 1, nozzle_angle = 0;
  PlayVesselWaveOBSound3(0, 3, NOLOOP, 255, 0);
  Step();
  EXPECT_TRUE(Plays({4, 10}).empty());
  // The reheat roar listens to the warning only.
  EXPECT_TRUE(CallsEqual(Plays({13}), {Play(13, 170, 18500)}));
  sound_.Advance(5);
  Step();
  EXPECT_TRUE(CallsEqual(Plays({4, 10}), {Play(4, 180, 20000), Play(10, 180, 19200)}));
}

TEST_F(EngineSoundsTest, LevelReportedAsNaNPlaysAtTheFilesOwnPitch) {
  host::world().camera_internal = false;
  SetLevel(std::nan(""));
  Step();
  EXPECT_TRUE(CallsEqual(Plays({4, 10}), {Play(4, 255, 0), Play(10, 0, 0)}));
}

}  // namespace
