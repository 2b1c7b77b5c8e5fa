// Landing gear, struts and ground contact, followed through whole flight
// steps: what the host is told (touchdown points, animation states) and what
// the shared state carries from one step to the next.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/trace.h"
#include "module/handles.h"
#include "tests/support/fixture.h"

using tarvex_test::AnimCall;
using tarvex_test::CallsEqual;

namespace {

std::string Points(double nose, double mains) {
  return "SetTouchdownPoints(" +
         host::Args(host::Vec(_V(0, nose, 3.10011)), host::Vec(_V(-1.285973, mains, -2.175774)),
                    host::Vec(_V(1.285973, mains, -2.175774))) +
         ")";
}
std::string GearDownPoints(double s) { return Points(-2.13414 - 0.555 * s, -2.137747 - 0.555 * s); }
const char kGearUpPoints[] =
    "SetTouchdownPoints((0, -1.094451, 3.129205), (-1.285973, -1.15611, -2.173487), (1.285973, -1.15611, -2.173487))";

class GearTest : public tarvex_test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    hv_ = &NewVessel();
    eng_status = 1;
  }
  ShuttlePB &ship() { return Ship(*hv_); }
  void Fly(double airspeed, double altitude = 500) {
    hv_->ground_contact = false;
    hv_->airspeed = airspeed;
    hv_->altitude = altitude;
  }
  void Roll(double airspeed) {
    hv_->ground_contact = true;
    hv_->airspeed = airspeed;
    hv_->altitude = 0;
  }
  // One step with a fresh trace, so the trace holds that step's calls only.
  void Step() {
    trace().Clear();
    host::Step(*hv_);
  }
  // The step set the nose and main struts to these states, once each.
  ::testing::AssertionResult Struts(double nose, double main) {
    return CallsEqual(AnimationCalls({ship().anim_nose_strut, ship().anim_main_strut}),
                      {AnimCall(ship().anim_nose_strut, nose), AnimCall(ship().anim_main_strut, main)});
  }

  host::HostVessel *hv_ = nullptr;
};

TEST_F(GearTest, BounceStrokesByCycleAndDirection) {
  struct Row {
    const char *what;
    double airspeed, engine, strut, damping, bounce;
    int sinking;
    double strut_after, bounce_after;
    int sinking_after;
  };
  // clang-format off
  const Row rows[] = {
      {"first sinking stroke: 0.0775", 8, 1, 0.8, 0.1, 0, 1, 0.7225, 0, 1},
      {"sinking in cycle 1: 0.0575", 8, 1, 0.8, 0.1, 1, 1, 0.7425, 1, 1},
      {"sinking at strut_bounce exactly 2: 0.0271", 8, 1, 0.8, 0.1, 2, 1, 0.7729, 2, 1},
      {"sinking at strut_bounce 2.5: no stroke", 8, 1, 0.8, 0.1, 2.5, 1, 0.8, 2.5, 1},
      {"rising in cycle 1: 0.0851", 8, 1, 0.3, 0.2, 1, 0, 0.3851, 1, 0},
      {"rising at strut_bounce exactly 2: 0.0251", 8, 1, 0.3, 0.2, 2, 0, 0.3251, 2, 0},
      {"rising at strut_bounce exactly 3: 0.0151", 8, 1, 0.3, 0.2, 3, 0, 0.3151, 3, 0},
      {"sinking below the margin ends the cycle on it", 8, 1, 0.2, 0.18, 0, 1, 0.18, 1, 0},
      {"rising past 1 - margin turns there", 8, 1, 0.75, 0.2, 1, 0, 0.8, 1, 1},
      {"at exactly 10 m/s the bounce runs", 10, 1, 0.8, 0.1, 0, 1, 0.7225, 0, 1},
  };
  // clang-format on
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    strut_ext = r.strut, strut_damping = r.damping, strut_bounce = r.bounce, bounce_sinking = r.sinking;
    eng_status = r.engine;
    Roll(r.airspeed);
    Step();
    EXPECT_NEAR(strut_ext, r.strut_after, 1e-12);
    EXPECT_EQ(strut_bounce, r.bounce_after);
    EXPECT_EQ(bounce_sinking, r.sinking_after);
    EXPECT_NEAR(strut_damping, r.bounce_after >= 3 ? 0.5 : r.damping + 0.0185, 1e-12);
    EXPECT_EQ(hover_strut_ext, strut_ext);
    EXPECT_TRUE(Struts(strut_ext, strut_ext));
    EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"), {GearDownPoints(strut_ext)}));
  }
  // Above 10 m/s, or with the engine off, a touchdown does not bounce.
  for (double engine : {1.0, 0.0}) {
    strut_ext = 0.8, strut_damping = 0.1, strut_bounce = 0, bounce_sinking = 1, eng_status = engine;
    hv_->pitch = 0.3 / 35;  // taxiing struts at 0.8 as well
    Roll(engine ? 10.5 : 5);
    Step();
    EXPECT_EQ(strut_damping, engine ? 0 : 0.1) << "engine " << engine;
    EXPECT_NEAR(strut_ext, 0.8, 1e-12) << "engine " << engine;
  }
}

TEST_F(GearTest, LandingFromFastFlightBouncesThreeDampedCyclesAndSettlesAtHalf) {
  // Fast flight with the gear down: the struts hang out by 0.055 per step.
  Fly(150);
  for (int i = 1; i <= 10; ++i) {
    Step();
    ASSERT_NEAR(strut_ext, i < 10 ? 0.5 + 0.055 * i : 1.0, 1e-12) << "fast-flight step " << i;
    EXPECT_TRUE(Struts(strut_ext, strut_ext));
  }
  EXPECT_EQ(bounce_sinking, 1) << "the next touchdown starts sinking";
  Fly(149.9, 40);  // slowing down in the air leaves the struts where they are
  Step();
  EXPECT_EQ(strut_ext, 1.0);
  EXPECT_TRUE(AnimationCalls(ship().anim_nose_strut).empty());

  // Touchdown at 8 m/s: milestones of the three cycles.
  Roll(8);
  const struct {
    int step;
    double strut, bounce;
    int sinking;
    const char *what;
  } milestones[] = {
      {11, 0.185, 1, 0, "first cycle ends on the margin (10 x 0.0185)"},
      {18, 0.6855, 1, 1, "second stroke stops at 1 - 0.3145"},
      {23, 0.407, 2, 0, "second cycle ends on the margin 0.407"},
      {29, 0.5, 3, 0, "third cycle ends on the margin, held at 0.5 where the band closes"},
      {60, 0.5, 3, 1, "settled at 0.5"},
  };
  int step = 0;
  for (const auto &m : milestones) {
    while (step < m.step) ++step, Step();
    EXPECT_NEAR(strut_ext, m.strut, 1e-9) << "step " << m.step << ": " << m.what;
    EXPECT_EQ(strut_bounce, m.bounce) << "step " << m.step << ": " << m.what;
    EXPECT_EQ(bounce_sinking, m.sinking) << "step " << m.step << ": " << m.what;
  }
  EXPECT_EQ(strut_damping, 0.5);
}

TEST_F(GearTest, TaxiingStrutsFollowThePitch) {
  struct Row {
    double r, strut, main_strut;
    const char *what;
  };
  // clang-format off
  const Row rows[] = {
      {0.5, 0.5, 0.5, "level: both struts at half"},
      {0.1, 0.15, -0.1, "below 0.2 the main struts take -r, the nose strut is held at 0.15"},
      {0.19, 0.19, -0.19, "just below 0.2 still mirrored"},
      {0.2, 0.2, 0.2, "at 0.2 the main struts jump to r"},
      {-0.3, 0.15, 0.3, "nose down: main struts mirror to +0.3"},
      {1.3, 1.0, 1.0, "both limited to 1"},
  };
  // clang-format on
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    strut_bounce = 0, strut_damping = 0.3, bounce_sinking = 1;
    hv_->pitch = (row.r - 0.5) / 35;
    Roll(25);
    Step();
    EXPECT_NEAR(strut_ext, row.strut, 1e-12);
    EXPECT_NEAR(main_strut_ext, row.main_strut, 1e-12);
    EXPECT_TRUE(Struts(strut_ext, main_strut_ext));
    // The main points stand 0.01 m lower than in the gear-down set.
    EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"),
                           {Points(-2.13414 - 0.555 * strut_ext, -2.147747 - 0.555 * main_strut_ext)}));
    EXPECT_EQ(strut_bounce, 2.0) << "the bounce is left settled";
    EXPECT_EQ(strut_damping, 0.0);
    EXPECT_EQ(bounce_sinking, 0);
  }
}

TEST_F(GearTest, NaNFromTheHostLeavesStrutsAndGearAsTheyStood) {
  strut_ext = 0.6, main_strut_ext = 0.4, strut_bounce = 1;
  hv_->pitch = std::nan("");
  Roll(25);
  Step();
  EXPECT_EQ(strut_ext, 0.6);
  EXPECT_EQ(main_strut_ext, 0.4);
  EXPECT_EQ(strut_bounce, 1.0);
  EXPECT_TRUE(trace().Filter("SetTouchdownPoints").empty());

  host::world().time_acceleration = std::nan("");
  gear_pos = 0.5, gear_status = 1;
  Fly(100);
  Step();
  EXPECT_EQ(gear_pos, 0.5);
  EXPECT_EQ(gear_status, 1);
  host::world().time_acceleration = 1;
  Step();
  EXPECT_EQ(gear_pos, 0.5075) << "moves on once the host reports a number again";
}

TEST_F(GearTest, GearUpPointsOnlyAboveNinetyFivePercentAndNotWhileMoving) {
  struct Row {
    double gear_pos;
    int gear_status;
    std::vector<std::string> points;
    const char *what;
  };
  strut_ext = 0.4;
  // clang-format off
  const Row rows[] = {
      {0.96, 0, {kGearUpPoints}, "nearly up and at rest"},
      {1.0, 0, {kGearUpPoints}, "fully up: re-applied every step"},
      {0.95, 0, {}, "exactly 0.95 is not above it"},
      {0.96, 1, {kGearUpPoints, GearDownPoints(0.4)}, "retracting: the gear motion sets the gear-down set after it"},
      {0.99, 2, {kGearUpPoints, GearDownPoints(0.4)}, "extending: likewise"},
  };
  // clang-format on
  Fly(100);
  for (const Row &row : rows) {
    gear_pos = row.gear_pos, gear_status = row.gear_status;
    Step();
    EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"), row.points)) << row.what;
  }
}

TEST_F(GearTest, GearTravelStartsInTheAirAndTakes134StepsOr14AtTenfold) {
  gear_status = 1;
  Roll(60);
  Step();
  EXPECT_TRUE(AnimationCalls(ship().anim_gear).empty()) << "no gear motion on the ground";
  EXPECT_EQ(gear_ext, 0.0) << "the drag factor keeps its load value until the gear moves";
  const struct {
    double time_acceleration, from;
    int command, steps;
    double to;
    const char *what;
  } rows[] = {
      {1, 0, 1, 134, 1, "retraction at 0.0075 per step"},
      {10, 1, 7, 14, 0, "any other command extends, at 0.075 per step at tenfold"},
  };
  Fly(100);
  for (const auto &row : rows) {
    SCOPED_TRACE(row.what);
    host::world().time_acceleration = row.time_acceleration;
    gear_pos = row.from, gear_status = row.command;
    for (int i = 1; i < row.steps; ++i) {
      Step();
      ASSERT_EQ(gear_status, row.command) << "step " << i;
      ASSERT_EQ(gear_ext, 1 - gear_pos);
      ASSERT_EQ(trace().Filter("SetTouchdownPoints").back(), GearDownPoints(strut_ext));
    }
    EXPECT_NEAR(std::fabs(gear_pos - row.from), 0.0075 * row.time_acceleration * (row.steps - 1), 1e-9);
    Step();
    EXPECT_EQ(gear_pos, row.to);
    EXPECT_EQ(gear_status, 0);
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_gear), {AnimCall(ship().anim_gear, row.to)}));
    Step();
    EXPECT_TRUE(AnimationCalls(ship().anim_gear).empty()) << "at rest after the end of travel";
  }
}

TEST_F(GearTest, HoverStrutsArmTheBounceWithAMarginChosenByTheDescentRate) {
  struct Row {
    double altitude, airspeed, vy, gear;
    bool works;
    double damping;
    const char *what;
  };
  // clang-format off
  const Row rows[] = {
      {5, 2, -3, 0, true, 0.35, "slow descent in a low hover: stiff margin 0.35"},
      {5, 2, 1, 0, true, 0.35, "climbing: 0.35 too"},
      {5, 2, -5, 0, true, 0, "descending faster than 4.7 m/s: no margin"},
      {5, 2, -4.7, 0, true, 0, "exactly -4.7: neither, the margin stays reset"},
      {9.99, 2, -3, 0, true, 0.35, "just below 10 m: margin 0.35"},
      {10, 2, -3, 0, true, 0, "at exactly 10 m: the margin stays reset"},
      {2.57, 2, -3, 0, false, 0.2, "at 2.57 m: not a hover"},
      {5, 5, -3, 0, false, 0.2, "at 5 m/s: not a hover"},
      {5, 2, -3, 0.01, false, 0.2, "gear not down"},
  };
  // clang-format on
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    hover_strut_ext = 0.3, strut_damping = 0.2, strut_bounce = 2, bounce_sinking = 0, gear_pos = row.gear;
    Fly(row.airspeed, row.altitude);
    hv_->horizon_airspeed = _V(0, row.vy, 0);
    Step();
    EXPECT_EQ(strut_damping, row.damping);
    EXPECT_NEAR(hover_strut_ext, row.works ? 0.355 : 0.3, 1e-12);
    EXPECT_EQ(strut_bounce, row.works ? 0.0 : 2.0);
    EXPECT_EQ(bounce_sinking, row.works ? 1 : 0);
    if (row.works) {
      EXPECT_TRUE(Struts(hover_strut_ext, hover_strut_ext));
    }
  }
  gear_pos = 0;
  Fly(2, 5);
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_EQ(hover_strut_ext, 1.0) << "held in the hover the struts reach full extension and stay there";
}

TEST_F(GearTest, WheelRollAndNoseWheelSteering) {
  struct Row {
    bool ground;
    double airspeed, gear, wheel, rudder, wheel_after, steer_after;
    bool rolls, steers;
    const char *what;
  };
  // clang-format off
  const Row rows[] = {
      {true, 30, 0, 0, -0.5, 0.225, 0.25, true, true, "30 m/s: roll 0.0075 x airspeed; the nose wheel follows the rudder"},
      {true, 0.4, 0, 0.3, -0.5, 0.3, 0.25, false, true, "0.4 m/s: standing"},
      {true, 30, 0, 1.0, 0, 1.225, 0.5, true, true, "exactly 1 does not wrap: the host sees 1.225"},
      {true, 30, 0.05, 0, -0.5, 0.225, 0.3, false, false, "gear not quite down: neither shown"},
      {false, 30, 0, 0, -0.5, 0.225, 0.5, false, true, "in the air the phase turns unseen and the wheel is centred"},
      {false, 0.6, 0, 0, -0.5, 0.0045, 0.3, false, false, "at 0.6 m/s in the air: steering left alone"},
  };
  // clang-format on
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    wheel_rot = row.wheel, nosewheel_steer = 0.3, gear_pos = row.gear;
    hv_->ctrl_level[AIRCTRL_RUDDER] = row.rudder;
    if (row.ground)
      Roll(row.airspeed);
    else
      Fly(row.airspeed);
    Step();
    EXPECT_NEAR(wheel_rot, row.wheel_after, 1e-12);
    EXPECT_EQ(nosewheel_steer, row.steer_after);
    EXPECT_EQ(AnimationCalls(ship().anim_wheel).size(), row.rolls ? 1u : 0u);
    EXPECT_EQ(AnimationCalls(ship().anim_nosewheel_steer).size(), row.steers ? 1u : 0u);
    if (row.rolls) {
      EXPECT_EQ(hv_->AnimationState(ship().anim_wheel), wheel_rot);
    }
    if (row.steers) {
      EXPECT_EQ(hv_->AnimationState(ship().anim_nosewheel_steer), nosewheel_steer);
    }
  }
}

}  // namespace
