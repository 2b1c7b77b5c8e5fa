// Canopy, speed brake, nozzle drive and lift-fan doors through whole flight
// steps: travel per step, end of travel, and the animation states the host
// is given.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/trace.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;

namespace {

using tarvex_test::AnimCall;

class MovingPartsTest : public tarvex_test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    hv_ = &NewVessel();
  }
  ShuttlePB &ship() { return Ship(*hv_); }
  void Fly(double airspeed) {
    hv_->ground_contact = false;
    hv_->airspeed = airspeed;
    hv_->altitude = 500;
  }
  void Stand(double airspeed = 0) {
    hv_->ground_contact = true;
    hv_->airspeed = airspeed;
    hv_->altitude = 0;
  }
  void Step() {
    trace().Clear();
    host::Step(*hv_);
  }

  // The states given to one animation in the last step, in order.
  std::vector<double> AnimationStates(UINT anim) {
    std::vector<double> out;
    std::string prefix = "SetAnimation(" + std::to_string(anim) + ", ";
    for (const std::string &c : trace().Filter("SetAnimation"))
      if (c.rfind(prefix, 0) == 0) out.push_back(std::stod(c.substr(prefix.size())));
    return out;
  }

  host::HostVessel *hv_ = nullptr;
};

TEST_F(MovingPartsTest, CanopyWaitsForTheGroundAndTravelsInOneHundredTwelveSteps) {
  canopy_status = 1;
  Fly(60);
  for (int i = 0; i < 10; ++i) Step();
  EXPECT_EQ(canopy_pos, 0.0) << "a command given in flight waits";
  EXPECT_EQ(canopy_status, 1);
  EXPECT_TRUE(AnimationCalls({ship().anim_canopy}).empty());

  // Time acceleration does not speed the canopy up.
  host::world().time_acceleration = 10;
  Stand();
  for (int i = 1; i < 112; ++i) {
    Step();
    ASSERT_EQ(canopy_status, 1) << "step " << i;
    ASSERT_NEAR(canopy_pos, 0.009 * i, 1e-12);
    ASSERT_TRUE(CallsEqual(AnimationCalls({ship().anim_canopy}), {AnimCall(ship().anim_canopy, canopy_pos)}));
  }
  Step();
  EXPECT_EQ(canopy_pos, 1.0);
  EXPECT_EQ(canopy_status, 0);
  EXPECT_TRUE(CallsEqual(AnimationCalls({ship().anim_canopy}), {AnimCall(ship().anim_canopy, 1)}));
  Step();
  EXPECT_TRUE(AnimationCalls({ship().anim_canopy}).empty()) << "at rest";

  // Closing, interrupted by a lift-off: it stops where it stands.
  canopy_status = 2;
  for (int i = 0; i < 50; ++i) Step();
  Fly(20);
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_NEAR(canopy_pos, 1 - 50 * 0.009, 1e-12);
  Stand();
  for (int i = 0; i < 62; ++i) Step();
  EXPECT_EQ(canopy_pos, 0.0);
  EXPECT_EQ(canopy_status, 0);
}

TEST_F(MovingPartsTest, SpeedBrakeMovesInTheAirAndOnTheGround) {
  airbrake_status = 1;
  Fly(200);
  Step();
  EXPECT_EQ(airbrake_pos, 0.009);
  EXPECT_TRUE(CallsEqual(AnimationCalls({ship().anim_rbrake, ship().anim_lbrake}),
                         {AnimCall(ship().anim_rbrake, 0.009), AnimCall(ship().anim_lbrake, 0.009)}));
  for (int i = 2; i <= 112; ++i) Step();
  EXPECT_EQ(airbrake_pos, 1.0);
  EXPECT_EQ(airbrake_status, 0);
  airbrake_status = -1;  // any command other than 1 retracts
  Stand(20);
  Step();
  EXPECT_NEAR(airbrake_pos, 0.991, 1e-12);
  EXPECT_EQ(airbrake_status, -1);
}

TEST_F(MovingPartsTest, NozzleDrive) {
  struct Row {
    double time_acceleration, from;
    uint32_t mode;
    double after;
    uint32_t mode_after;
    const char *what;
  };
  const Row rows[] = {
      {1, 1.2, 1, 1, 0, "from 1.2 set by the keys, the drive down ends at 1 at once"},
      {1, 0, 1, 0.0115, 1, "down at 0.0115 per step"},
      {10, 0, 1, 0.115, 1, "scaled by the time acceleration"},
      {1, 1, 2, 0.9885, 2, "aft at 0.0115 per step"},
      {10, 0.1, 2, 0, 0, "aft past the stop: ends at 0"},
      {1, 0.3, 0, 0.3, 0, "no drive: the nozzle stays"},
  };
  Stand();
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    host::world().time_acceleration = row.time_acceleration;
    nozzle_angle = row.from, nozzle_mode = row.mode, nozzle_deflection = 0.77;
    Step();
    EXPECT_NEAR(nozzle_angle, row.after, 1e-12);
    EXPECT_EQ(nozzle_mode, row.mode_after);
    EXPECT_EQ(nozzle_deflection, nozzle_angle) << "the deflection starts the next step at the nozzle angle";
    std::vector<std::string> expected;
    if (row.mode != 0)
      expected = {AnimCall(ship().anim_cover, nozzle_angle), AnimCall(ship().anim_nozzle_ind, nozzle_angle)};
    EXPECT_TRUE(CallsEqual(AnimationCalls({ship().anim_cover, ship().anim_nozzle_ind}), expected));
  }
  // A time acceleration the host reports as NaN moves nothing.
  host::world().time_acceleration = std::nan("");
  nozzle_angle = 0.4, nozzle_mode = 1;
  Step();
  EXPECT_EQ(nozzle_angle, 0.4);
  EXPECT_EQ(nozzle_mode, 1u);
}

TEST_F(MovingPartsTest, LiftFanDoors) {
  struct Row {
    double airspeed, nozzle, from;
    std::vector<double> shown;  // animation states set, in order
    const char *what;
  };
  const Row rows[] = {
      {50, 1, 0.5, {0.557}, "slow with the nozzle down: opening at 0.057"},
      {50, 1, 0.98, {1}, "opening stops at 1"},
      {70, 0.5, 0.5, {}, "exactly 70 m/s: neither opens nor closes for speed"},
      {50, 0.06, 0.5, {}, "nozzle exactly 0.06: neither opens nor closes for the nozzle"},
      {69.9, 0.061, 0.5, {0.557}, "just inside both limits: opening"},
      {80, 1, 0.5, {0.403}, "fast: closing at 0.097"},
      {80, 0, 0.5, {0.403, 0.346}, "fast with the nozzle aft: both closing rates, 0.154"},
      {50, 0, 0.03, {0}, "closing stops at 0"},
      {50, 0, 0, {0}, "closed doors are still set every step while the nozzle is aft"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    fandoor_pos = row.from, nozzle_angle = row.nozzle, nozzle_mode = 0;
    Fly(row.airspeed);
    Step();
    std::vector<double> shown = AnimationStates(ship().anim_fandoors);
    ASSERT_EQ(shown.size(), row.shown.size()) << ::testing::PrintToString(shown);
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_NEAR(shown[i], row.shown[i], 1e-12) << "call " << i;
    EXPECT_NEAR(fandoor_pos, row.shown.empty() ? row.from : row.shown.back(), 1e-12);
  }
}

}  // namespace
