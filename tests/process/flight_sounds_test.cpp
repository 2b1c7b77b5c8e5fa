// The flight step's sounds as the sound service hears them; the service is
// loaded before the vessel connects, so the vessel's identifier is 0.
#include <algorithm>
#include <cmath>

#include "sound/connector.h"
#include "tests/flight/flight_fixture.h"
#include "tests/support/sound_client.h"

using tarvex_test::CallsEqual;

namespace {

std::string Play(int slot, int volume, int frequency, int loop = 1) {
  return "PlayVesselWaveOBSound3(0, " +
         host::Args(std::to_string(slot), std::to_string(loop), std::to_string(volume), std::to_string(frequency)) +
         ")";
}
std::string Stop(int slot) { return "StopVesselWave3(0, " + std::to_string(slot) + ")"; }

class FlightSounds : public tarvex_test::FlightTest {
 protected:
  void SetUp() override {
    FlightTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
    hv_ = &Flyer();
    ASSERT_EQ(Ship(*hv_).MyID, 0);
    Fly(*hv_, 100, 300);
    host::world().camera_internal = false;
  }
  // One step; the play and stop requests it made for the given slots, in
  // order, those starting with `kind` ("Play", "Stop") when one is given.
  std::vector<std::string> Step(const std::vector<int> &slots, const char *kind = "") {
    sound_.ClearCalls();
    host::Step(*hv_);
    std::vector<std::string> out;
    for (const std::string &c : sound_.Calls())
      for (int s : slots)
        if ((c.rfind("PlayVesselWaveOBSound3(0, " + std::to_string(s) + ",", 0) == 0 || c == Stop(s)) &&
            c.rfind(kind, 0) == 0)
          out.push_back(c);
    return out;
  }

  tarvex_test::SoundService sound_;
  host::HostVessel *hv_ = nullptr;
};

TEST_F(FlightSounds, EngineMixFollowsTheThrottleAndTheCamera) {
  const struct {
    double level;
    bool inside;
    std::vector<std::string> plays;
    const char *what;
  } rows[] = {
      // clang-format off
      {0.0015, false, {Play(4, 255, 14009), Play(10, 1, 14009)}, "idle outside: volume 1.14 truncated to 1"},
      {0.0015, true, {Play(4, 180, 14009), Play(10, 0, 13209)}, "idle inside: volume 0.72 truncated to 0"},
      {0.3, false, {Play(4, 255, 15800), Play(10, 228, 15800)}, "L = 0.3 outside: 228"},
      {0.32, false, {Play(4, 255, 15920), Play(10, 255, 15920)}, "L = 0.32 outside: past 240 the volume jumps to 255"},
      {0.3, true, {Play(4, 180, 15800), Play(10, 144, 15000)}, "L = 0.3 inside: 144, 800 lower"},
      {0.55, true, {Play(4, 180, 17300), Play(10, 180, 16500)}, "inside the volume stops at 180"},
      {1, false, {Play(4, 255, 20000), Play(10, 255, 20000)}, "full throttle outside"},
      {0.30015, false, {Play(4, 255, 15800), Play(10, 228, 15800)}, "fractions of the frequency are dropped"},
      {NAN, false, {Play(4, 255, 0), Play(10, 0, 0)}, "a level reported as NaN plays at the file's own pitch"},
      // clang-format on
  };
  for (const auto &row : rows) {
    host::world().camera_internal = row.inside;
    Th(th_main).level = row.level;
    EXPECT_TRUE(CallsEqual(Step({4, 5, 10, 13}, "Play"), row.plays)) << row.what;
  }
  eng_status = 0;
  Th(th_main).level = 0.5;
  EXPECT_TRUE(Step({4, 5, 10, 13}, "Play").empty()) << "no engine sounds with the engine off";
  for (const std::string &c : sound_.Calls()) EXPECT_NE(c.rfind("IsPlaying", 0), 0u) << "the block does not run at all";
}

TEST_F(FlightSounds, LiftFanSoundWaitsForTheDoorsAndReheatRoarsOnlyAboveNinetyEightPercent) {
  Th(th_main).level = 0.5;
  nozzle_angle = 1, liftfan_rot = 0.5, fandoor_pos = 0;
  hv_->airspeed = 20;
  EXPECT_TRUE(Step({5}, "Play").empty()) << "doors at 0.057 are not yet open enough";
  EXPECT_TRUE(CallsEqual(Step({5}), {Play(5, 245, 17000)}));
  host::world().camera_internal = true;
  EXPECT_TRUE(CallsEqual(Step({5}), {Play(5, 180, 16200)}));
  hv_->airspeed = 70;
  EXPECT_TRUE(Step({5}).empty()) << "at 70 m/s";

  const struct {
    double reheat_flag, level, nozzle;
    bool inside;
    std::vector<std::string> plays;
    const char *what;
  } rows[] = {
      {1, 1, 0, false, {Play(13, 255, 22500)}, "outside"}, {1, 1, 0, true, {Play(13, 170, 18500)}, "inside"},
      {1, 0.98, 0, false, {}, "exactly 0.98: no roar"},    {1, 1, 0.06, false, {}, "nozzle at 0.06: stopped"},
      {0, 1, 0, false, {}, "reheat deselected: stopped"},
  };
  hv_->airspeed = 100;
  for (const auto &row : rows) {
    reheat = row.reheat_flag, nozzle_angle = row.nozzle;
    host::world().camera_internal = row.inside;
    Th(th_main).level = row.level;
    EXPECT_TRUE(CallsEqual(Step({13}, "Play"), row.plays)) << row.what;
    if (row.reheat_flag == 0 || row.nozzle > 0) {
      EXPECT_FALSE(sound_.Playing(0, 13)) << row.what << ": stopped";
    }
  }
}

TEST_F(FlightSounds, EngineLoopsWaitForTheStartSoundAndAllWaitForTheWarning) {
  Th(th_main).level = 1;
  reheat = 1, nozzle_angle = 0;
  PlayVesselWaveOBSound3(0, 3, NOLOOP, 255, 0);
  EXPECT_TRUE(CallsEqual(Step({4, 10, 13}), {Play(13, 255, 22500)})) << "the roar listens to the warning only";
  sound_.Advance(5);
  EXPECT_TRUE(CallsEqual(Step({4, 10}), {Play(4, 255, 20000), Play(10, 255, 20000)}));
  hv_->altitude = 20000;  // out of the envelope: the warning loops and the rest is silent
  EXPECT_TRUE(CallsEqual(Step({4, 6, 10, 13}), {Play(6, 255, 0), Stop(13), Stop(10)}));
  EXPECT_TRUE(Step({4, 5, 10, 13}, "Play").empty());
  EXPECT_TRUE(sound_.Playing(0, 6));
}

// Back inside the envelope the warning ends, also when reheat cannot burn and
// also with the engine cut while outside: then no regime runs back inside,
// and the drag stays at 999 until the engine runs again.
TEST_F(FlightSounds, WarningEndsBackInsideTheEnvelope) {
  const struct {
    const char *what;
    bool cut;
    double reheat, nozzle, level, out_speed, out_alt, in_speed, in_alt;
    bool parked;
  } rows[] = {
      {"reheat selected, nozzle 0.3, full level", false, 1, 0.3, 1, 700, 1000, 300, 1000, false},
      {"reheat selected, nozzle aft, level exactly 0.98", false, 1, 0, 0.98, 700, 1000, 300, 1000, false},
      {"reheat selected, nozzle aft, full level (flame lit)", false, 1, 0, 1, 700, 1000, 300, 1000, false},
      {"reheat off, nozzle aft, full level: one stop, not two", false, 0, 0, 1, 700, 1000, 300, 1000, false},
      {"engine cut, nozzle aft: 700 m/s, then just under", true, 1, 0, 0.5, 700, 1000, 699.99, 1000, false},
      {"engine cut, lift regime: 155 m/s, then just under", true, 1, 0.5, 0.5, 155, 1000, 154.99, 1000, false},
      {"engine cut, 20000 m, then just under", true, 1, 0, 0.5, 300, 20000, 300, 19999.99, false},
      {"engine cut, too fast, then parked on the ground", true, 1, 0, 0.5, 700, 1000, 0, 0, true},
  };
  for (const auto &r : rows) {
    eng_status = 1;
    reheat = r.reheat;
    nozzle_angle = nozzle_deflection = r.nozzle;
    Th(th_main).level = r.level;
    Fly(*hv_, r.out_speed, r.out_alt, -3);
    EXPECT_TRUE(CallsEqual(Step({6}), {Play(6, 255, 0)})) << r.what;
    if (r.cut) {
      eng_status = 0;
      Step({6});
      ASSERT_TRUE(sound_.Playing(0, 6)) << r.what << ": still outside, the warning loops on";
    }
    Fly(*hv_, r.in_speed, r.in_alt, -3);
    hv_->ground_contact = r.parked;
    EXPECT_TRUE(CallsEqual(Step({6}), {Stop(6)})) << r.what;
    EXPECT_FALSE(sound_.Playing(0, 6)) << r.what;
    if (r.cut) {
      EXPECT_EQ(hv_->cw[0], 999) << r.what << ": no regime restores the drag with the engine off";
    }
  }
}

TEST_F(FlightSounds, MovingPartsSoundInEveryStepOfTravel) {
  hv_->ground_contact = true;
  canopy_status = 1, canopy_pos = 0.99;
  EXPECT_TRUE(CallsEqual(Step({7}), {Play(7, 255, 0, 0)}));
  EXPECT_TRUE(CallsEqual(Step({7}), {Play(7, 255, 0, 0)})) << "the last step of travel plays too";
  EXPECT_TRUE(Step({7}).empty());
  canopy_status = 2, airbrake_status = 1;
  EXPECT_TRUE(CallsEqual(Step({7}), {Play(7, 255, 0, 0), Play(7, 255, 0, 0)})) << "both moving: one request each";
  nozzle_mode = 2, nozzle_angle = 0.5;
  EXPECT_TRUE(CallsEqual(Step({12}), {Play(12, 255, 0, 0)})) << "the nozzle drive";
  // Closing doors stop the lift-fan sound, once per closing rule.
  const struct {
    double airspeed, nozzle;
    int stops;
    const char *what;
  } rows[] = {
      {80, 0, 2, "fast, aft: both"}, {80, 1, 1, "fast, down"}, {20, 0, 1, "slow, aft"}, {20, 1, 0, "slow, down"}};
  for (const auto &row : rows) {
    Fly(*hv_, row.airspeed, 300);
    nozzle_angle = row.nozzle, fandoor_pos = 0.5, nozzle_mode = 0;
    EXPECT_TRUE(CallsEqual(Step({5}, "Stop"), std::vector<std::string>(row.stops, Stop(5)))) << row.what;
  }
}

TEST_F(FlightSounds, AttitudeModeBlockSwitchesOptionThreeOff) {
  const struct {
    double airspeed;
    bool hold;
    long option_calls;
    const char *what;
  } rows[] = {
      {69, true, 1, "slow, hold"}, {69, false, 2, "slow"}, {70, true, 0, "at 70, hold"}, {70, false, 1, "at 70"}};
  for (const auto &r : rows) {
    Fly(*hv_, r.airspeed, 1000, -3);
    hv_->navmode[NAVMODE_HLEVEL] = r.hold;
    Step({});
    const auto calls = sound_.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SoundOption3(0, 3, 0)"), r.option_calls) << r.what;
  }
}

}  // namespace
