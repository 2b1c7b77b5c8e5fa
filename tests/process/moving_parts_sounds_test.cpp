// The sounds of the moving parts as the sound service hears them: canopy and
// speed brake (slot 7) and nozzle drive (slot 12) played once in every step
// of a motion, and the lift-fan sound (slot 5) stopped while the doors close.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/harness.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"

using tarvex_test::CallsEqual;

namespace {

class MovingPartsSoundsTest : public tarvex_test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
    hv_ = &NewVessel();
    ASSERT_EQ(Ship(*hv_).MyID, 0);
    hv_->ground_contact = true;
  }
  // The calls of one step that concern the given slots' play and stop.
  std::vector<std::string> StepCalls(const std::vector<int> &slots) {
    sound_.ClearCalls();
    host::Step(*hv_);
    std::vector<std::string> out;
    for (const std::string &c : sound_.Calls())
      for (int s : slots)
        for (const char *name : {"PlayVesselWaveOBSound3(0, ", "StopVesselWave3(0, "})
          if (c.rfind(name + std::to_string(s) + ",", 0) == 0 || c == name + std::to_string(s) + ")") out.push_back(c);
    return out;
  }

  tarvex_test::SoundService sound_;
  host::HostVessel *hv_ = nullptr;
};

TEST_F(MovingPartsSoundsTest, CanopyAndSpeedBrakePlayTheirSoundInEveryStepOfTravel) {
  const std::string canopy = "PlayVesselWaveOBSound3(0, 7, 0, 255, 0)";
  canopy_status = 1, canopy_pos = 0.99;
  EXPECT_TRUE(CallsEqual(StepCalls({7}), {canopy}));
  EXPECT_TRUE(CallsEqual(StepCalls({7}), {canopy})) << "the last step of travel plays too";
  EXPECT_EQ(canopy_status, 0);
  EXPECT_TRUE(StepCalls({7}).empty());
  // Both moving: one request each.
  canopy_status = 2, airbrake_status = 1;
  EXPECT_TRUE(CallsEqual(StepCalls({7}), {canopy, canopy}));
  // The canopy in flight is silent.
  hv_->ground_contact = false;
  airbrake_status = 0;
  EXPECT_TRUE(StepCalls({7}).empty());
}

TEST_F(MovingPartsSoundsTest, NozzleDrivePlaysTheCoverSound) {
  nozzle_mode = 2, nozzle_angle = 0.5;
  EXPECT_TRUE(CallsEqual(StepCalls({12}), {"PlayVesselWaveOBSound3(0, 12, 0, 255, 0)"}));
  nozzle_mode = 0;
  EXPECT_TRUE(StepCalls({12}).empty());
}

TEST_F(MovingPartsSoundsTest, ClosingDoorsStopTheLiftFanSound) {
  struct Row {
    double airspeed, nozzle;
    int stops;
    const char *what;
  };
  const Row rows[] = {
      {80, 0, 2, "fast with the nozzle aft: stopped by both closing rules"},
      {80, 1, 1, "fast"},
      {20, 0, 1, "nozzle aft"},
      {20, 1, 0, "opening: the fan keeps sounding"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    hv_->ground_contact = false;
    hv_->airspeed = row.airspeed, hv_->altitude = 300;
    nozzle_angle = row.nozzle, fandoor_pos = 0.5;
    EXPECT_TRUE(CallsEqual(StepCalls({5}), std::vector<std::string>(row.stops, "StopVesselWave3(0, 5)")));
  }
}

}  // namespace
