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

using tarvex_test::CallsEqual;

namespace {

std::string Points(const VECTOR3 &a, const VECTOR3 &b, const VECTOR3 &c) {
  return "SetTouchdownPoints(" + host::Args(host::Vec(a), host::Vec(b), host::Vec(c)) + ")";
}
std::string GearDownPoints(double s) {
  return Points(_V(0, -2.13414 - 0.555 * s, 3.10011), _V(-1.285973, -2.137747 - 0.555 * s, -2.175774),
                _V(1.285973, -2.137747 - 0.555 * s, -2.175774));
}
std::string GearUpPoints() {
  return Points(_V(0, -1.094451, 3.129205), _V(-1.285973, -1.15611, -2.173487), _V(1.285973, -1.15611, -2.173487));
}
using tarvex_test::AnimCall;

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

  host::HostVessel *hv_ = nullptr;
};

TEST_F(GearTest, LandingFromFastFlightBouncesThreeDampedCyclesAndSettlesAtHalf) {
  // Fast flight with the gear down: the struts hang out by 0.055 per step.
  Fly(150);
  for (int i = 1; i <= 10; ++i) {
    Step();
    double expected = i < 10 ? 0.5 + 0.055 * i : 1.0;
    ASSERT_NEAR(strut_ext, expected, 1e-12) << "fast-flight step " << i;
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_nose_strut), {AnimCall(ship().anim_nose_strut, strut_ext)}));
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_main_strut), {AnimCall(ship().anim_main_strut, strut_ext)}));
  }
  EXPECT_EQ(strut_ext, 1.0);
  EXPECT_EQ(bounce_sinking, 1) << "the next touchdown starts sinking";
  EXPECT_EQ(strut_bounce, 0.0);

  // Slowing down in the air leaves the struts where they are.
  Fly(60, 40);
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_EQ(strut_ext, 1.0);
  EXPECT_TRUE(AnimationCalls(ship().anim_nose_strut).empty());

  // Touchdown at 8 m/s. Follow the strut step by step.
  Roll(8);
  struct Sample {
    double strut, damping, bounce;
    int sinking;
  };
  std::vector<Sample> run;
  for (int step = 1; step <= 60; ++step) {
    Sample before{strut_ext, strut_damping, strut_bounce, bounce_sinking};
    Step();
    run.push_back({strut_ext, strut_damping, strut_bounce, bounce_sinking});
    // The touchdown points follow the strut in every step, and the struts and
    // the hover memory show the same value.
    EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"), {GearDownPoints(strut_ext)})) << "step " << step;
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_nose_strut), {AnimCall(ship().anim_nose_strut, strut_ext)}));
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_main_strut), {AnimCall(ship().anim_main_strut, strut_ext)}));
    EXPECT_EQ(hover_strut_ext, strut_ext);
    // The strut never leaves the band it started the step in.
    EXPECT_GE(strut_ext, std::min(before.damping, 1 - before.damping) - 1e-12) << "step " << step;
    EXPECT_LE(strut_ext, std::max(before.damping, 1 - before.damping) + 1e-12) << "step " << step;
    // Strokes that do not reach the band's edge have the size of their cycle.
    bool turned = bounce_sinking != before.sinking;
    if (!turned && before.bounce < 3) {
      double stroke = strut_ext - before.strut;
      const double rising[] = {0.0851, 0.0851, 0.0251};
      const double sinking[] = {-0.0775, -0.0575, -0.0271};
      double expected = before.sinking == 0 ? rising[(int)before.bounce] : sinking[(int)before.bounce];
      EXPECT_NEAR(stroke, expected, 1e-12) << "step " << step << " cycle " << before.bounce;
    }
  }

  struct Milestone {
    int step;
    double strut, bounce;
    int sinking;
    const char *what;
  };
  const Milestone milestones[] = {
      {1, 0.9225, 0, 1, "first stroke sinks from full extension by 0.0775"},
      {10, 0.225, 0, 1, "still sinking above the margin of 0.185"},
      {11, 0.185, 1, 0, "first cycle ends on the margin (10 x 0.0185)"},
      {12, 0.2701, 1, 0, "rising at 0.0851"},
      {17, 0.6956, 1, 0, "top of the second stroke not yet reached"},
      {18, 0.6855, 1, 1, "second stroke stops at 1 - 0.3145"},
      {19, 0.628, 1, 1, "sinking at 0.0575"},
      {23, 0.407, 2, 0, "second cycle ends on the margin 0.407"},
      {24, 0.4321, 2, 0, "rising at 0.0251"},
      {28, 0.5005, 2, 1, "band nearly closed: 1 - 0.4995 (the margin then reaches 0.5, no further)"},
      {29, 0.5, 3, 0, "third cycle ends on the margin, held at 0.5 where the band closes"},
      {30, 0.5, 3, 1, "settled at 0.5"},
      {60, 0.5, 3, 1, "still settled"},
  };
  for (const Milestone &m : milestones) {
    const Sample &s = run[m.step - 1];
    EXPECT_NEAR(s.strut, m.strut, 1e-9) << "step " << m.step << ": " << m.what;
    EXPECT_EQ(s.bounce, m.bounce) << "step " << m.step << ": " << m.what;
    EXPECT_EQ(s.sinking, m.sinking) << "step " << m.step << ": " << m.what;
  }
  EXPECT_EQ(strut_damping, 0.5);
  EXPECT_EQ(strut_ext, 0.5);
}

TEST_F(GearTest, TouchdownWithTheEngineOffDoesNotBounce) {
  eng_status = 0;
  strut_ext = 1, bounce_sinking = 1;
  Roll(5);
  for (int i = 0; i < 5; ++i) Step();
  EXPECT_EQ(strut_ext, 1.0);
  EXPECT_EQ(strut_damping, 0.0);
  EXPECT_TRUE(trace().Filter("SetTouchdownPoints").empty());
}

TEST_F(GearTest, TaxiingStrutsFollowThePitch) {
  struct Row {
    double r, strut, main_strut;
    const char *what;
  };
  const Row rows[] = {
      {0.5, 0.5, 0.5, "level: both struts at half"},
      {0.1, 0.15, -0.1, "below 0.2 the main struts take -r, the nose strut is held at 0.15"},
      {0.19, 0.19, -0.19, "just below 0.2 still mirrored"},
      {0.2, 0.2, 0.2, "at 0.2 the main struts jump to r"},
      {0.05, 0.15, -0.05, "nose strut held at its minimum 0.15"},
      {-0.3, 0.15, 0.3, "nose down: main struts mirror to +0.3"},
      {1.3, 1.0, 1.0, "both limited to 1"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    strut_bounce = 0, strut_damping = 0.3, bounce_sinking = 1;
    hv_->pitch = (row.r - 0.5) / 35;
    Roll(25);
    Step();
    EXPECT_NEAR(strut_ext, row.strut, 1e-12);
    EXPECT_NEAR(main_strut_ext, row.main_strut, 1e-12);
    auto nose = AnimationCalls(ship().anim_nose_strut);
    auto main = AnimationCalls(ship().anim_main_strut);
    ASSERT_EQ(nose.size(), 1u);
    ASSERT_EQ(main.size(), 1u);
    EXPECT_EQ(nose[0], AnimCall(ship().anim_nose_strut, strut_ext));
    EXPECT_EQ(main[0], AnimCall(ship().anim_main_strut, main_strut_ext));
    // Nose point at the nose strut, main points at the main struts, with
    // the main base 0.01 m lower than in the gear-down set.
    ASSERT_EQ(trace().Count("SetTouchdownPoints"), 1u);
    EXPECT_NEAR(hv_->touchdown[0].y, -2.13414 - 0.555 * row.strut, 1e-9);
    EXPECT_NEAR(hv_->touchdown[1].y, -2.147747 - 0.555 * row.main_strut, 1e-9);
    EXPECT_NEAR(hv_->touchdown[2].y, -2.147747 - 0.555 * row.main_strut, 1e-9);
    EXPECT_EQ(hv_->touchdown[1].x, -1.285973);
    EXPECT_EQ(hv_->touchdown[2].z, -2.175774);
    // The bounce is left settled.
    EXPECT_EQ(strut_bounce, 2.0);
    EXPECT_EQ(strut_damping, 0.0);
    EXPECT_EQ(bounce_sinking, 0);
  }
  // r = 0.1 puts the main wheels 0.0555 m higher than r = 0.
  hv_->pitch = -0.5 / 35;
  Step();
  double at_zero = hv_->touchdown[1].y;
  hv_->pitch = -0.4 / 35;
  Step();
  EXPECT_NEAR(hv_->touchdown[1].y - at_zero, 0.0555, 1e-9);
}

TEST_F(GearTest, TaxiingNeedsMoreThanTenMetresPerSecond) {
  strut_ext = 0.7;
  hv_->pitch = 0.01;
  Roll(10);
  Step();
  EXPECT_EQ(main_strut_ext, 0.0);
  EXPECT_NE(strut_bounce, 2.0);
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
  const Row rows[] = {
      {0.96, 0, {GearUpPoints()}, "nearly up and at rest"},
      {1.0, 0, {GearUpPoints()}, "fully up: re-applied every step"},
      {0.95, 0, {}, "exactly 0.95 is not above it"},
      {0.5, 0, {}, "half way, at rest"},
      {0.96, 1, {GearUpPoints(), GearDownPoints(0.4)}, "retracting: the gear motion sets the gear-down set after it"},
      {0.99, 2, {GearUpPoints(), GearDownPoints(0.4)}, "extending: likewise"},
  };
  Fly(100);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    gear_pos = row.gear_pos, gear_status = row.gear_status;
    Step();
    EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"), row.points));
  }
}

TEST_F(GearTest, GearCommandOnTheGroundStartsInTheFirstAirborneStep) {
  gear_status = 1;
  Roll(60);
  for (int i = 0; i < 5; ++i) {
    Step();
    EXPECT_TRUE(AnimationCalls(ship().anim_gear).empty());
  }
  EXPECT_EQ(gear_pos, 0.0);
  EXPECT_EQ(gear_status, 1);
  EXPECT_EQ(gear_ext, 0.0) << "the drag factor keeps its load value until the gear moves";

  Fly(60);
  Step();
  EXPECT_EQ(gear_pos, 0.0075);
  EXPECT_EQ(gear_status, 1);
  EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_gear), {AnimCall(ship().anim_gear, 0.0075)}));
  EXPECT_EQ(gear_ext, 1 - 0.0075);
  EXPECT_TRUE(CallsEqual(trace().Filter("SetTouchdownPoints"), {GearDownPoints(strut_ext)}));
}

TEST_F(GearTest, GearTravelTakesOneHundredThirtyFourStepsOrFourteenAtTenfold) {
  struct Row {
    double time_acceleration, from;
    int command, steps;
    double to;
    const char *what;
  };
  const Row rows[] = {
      {1, 0, 1, 134, 1, "retraction at 0.0075 per step"},
      {10, 0, 1, 14, 1, "retraction at 0.075 per step"},
      {1, 1, 2, 134, 0, "extension at 0.0075 per step"},
      {10, 1, 7, 14, 0, "any other command extends too"},
  };
  Fly(100);
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    host::world().time_acceleration = row.time_acceleration;
    gear_pos = row.from, gear_status = row.command;
    for (int i = 1; i < row.steps; ++i) {
      Step();
      ASSERT_EQ(gear_status, row.command) << "step " << i;
      ASSERT_GT(gear_pos, 0.0);
      ASSERT_LT(gear_pos, 1.0);
      ASSERT_EQ(gear_ext, 1 - gear_pos);
    }
    EXPECT_NEAR(std::fabs(gear_pos - row.from), 0.0075 * row.time_acceleration * (row.steps - 1), 1e-9);
    Step();
    EXPECT_EQ(gear_pos, row.to);
    EXPECT_EQ(gear_status, 0);
    EXPECT_EQ(gear_ext, 1 - row.to);
    EXPECT_TRUE(CallsEqual(AnimationCalls(ship().anim_gear), {AnimCall(ship().anim_gear, row.to)}));
    Step();
    EXPECT_TRUE(AnimationCalls(ship().anim_gear).empty()) << "at rest after the end of travel";
  }
}

TEST_F(GearTest, TwoVesselsShareTheGearSoItTravelsTwiceAsFarPerStep) {
  host::HostVessel &other = NewVessel("Tarvex2");
  for (host::HostVessel *hv : {hv_, &other}) {
    hv->ground_contact = false;
    hv->airspeed = 100;
    hv->altitude = 500;
  }
  gear_status = 1;
  host::Step(*hv_);
  host::Step(other);
  EXPECT_EQ(gear_pos, 0.015);
  EXPECT_EQ(hv_->AnimationState(ship().anim_gear), 0.0075);
  EXPECT_EQ(other.AnimationState(Ship(other).anim_gear), 0.015);
  for (int i = 0; i < 66; ++i) {
    host::Step(*hv_);
    host::Step(other);
  }
  EXPECT_EQ(gear_pos, 1.0) << "67 double steps instead of 134";
  EXPECT_EQ(gear_status, 0);
}

TEST_F(GearTest, HoverStrutsArmTheBounceWithAMarginChosenByTheDescentRate) {
  struct Row {
    double altitude, airspeed, vy, gear;
    bool works;
    double damping;
    const char *what;
  };
  const Row rows[] = {
      {5, 2, -3, 0, true, 0.35, "slow descent in a low hover: stiff margin 0.35"},
      {5, 2, 1, 0, true, 0.35, "climbing: 0.35 too"},
      {5, 2, -5, 0, true, 0, "descending faster than 4.7 m/s: no margin"},
      {5, 2, -4.7, 0, true, 0, "exactly -4.7: neither, the margin stays reset"},
      {12, 2, -3, 0, true, 0, "above 10 m: the margin stays reset"},
      {2.57, 2, -3, 0, false, 0.2, "at 2.57 m: not a hover"},
      {5, 5, -3, 0, false, 0.2, "at 5 m/s: not a hover"},
      {5, 2, -3, 0.01, false, 0.2, "gear not down"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    hover_strut_ext = 0.3, strut_damping = 0.2, strut_bounce = 2, bounce_sinking = 0, gear_pos = row.gear;
    Fly(row.airspeed, row.altitude);
    hv_->horizon_airspeed = _V(0, row.vy, 0);
    Step();
    EXPECT_EQ(strut_damping, row.damping);
    if (row.works) {
      EXPECT_NEAR(hover_strut_ext, 0.355, 1e-12);
      EXPECT_TRUE(
          CallsEqual(AnimationCalls(ship().anim_nose_strut), {AnimCall(ship().anim_nose_strut, hover_strut_ext)}));
      EXPECT_TRUE(
          CallsEqual(AnimationCalls(ship().anim_main_strut), {AnimCall(ship().anim_main_strut, hover_strut_ext)}));
      EXPECT_EQ(strut_bounce, 0.0);
      EXPECT_EQ(bounce_sinking, 1);
    } else {
      EXPECT_EQ(hover_strut_ext, 0.3);
      EXPECT_EQ(strut_bounce, 2.0);
    }
  }
  // Held in the hover the struts reach full extension and stay there.
  gear_pos = 0;
  Fly(2, 5);
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_EQ(hover_strut_ext, 1.0);
}

TEST_F(GearTest, WheelRoll) {
  struct Row {
    double airspeed;
    bool ground;
    double gear, from, to;
    bool animated;
    const char *what;
  };
  const Row rows[] = {
      {30, true, 0, 0, 0.225, true, "30 m/s: 0.0075 x airspeed"},
      {31, true, 0, 0, 0.15, true, "above 30 m/s: 0.15"},
      {0.4, true, 0, 0.3, 0.3, false, "0.4 m/s: standing"},
      {30, true, 0, 1.125, 0.225, true, "above 1 the phase wraps before the increment"},
      {30, true, 0, 1.0, 1.225, true, "exactly 1 does not wrap: the host sees 1.225"},
      {30, false, 0, 0, 0.225, false, "in the air the phase turns but the wheels are not shown turning"},
      {30, true, 1, 0, 0.225, false, "gear retracted"},
      {30, true, 0.05, 0, 0.225, false, "gear not quite down"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    wheel_rot = row.from, gear_pos = row.gear;
    if (row.ground)
      Roll(row.airspeed);
    else
      Fly(row.airspeed);
    Step();
    EXPECT_NEAR(wheel_rot, row.to, 1e-12);
    auto calls = AnimationCalls(ship().anim_wheel);
    if (row.animated)
      EXPECT_TRUE(CallsEqual(calls, {AnimCall(ship().anim_wheel, wheel_rot)}));
    else
      EXPECT_TRUE(calls.empty());
  }
}

TEST_F(GearTest, NoseWheelSteering) {
  struct Row {
    bool ground;
    double airspeed, gear, rudder, steer;
    bool animated;
    const char *what;
  };
  const Row rows[] = {
      {true, 5, 0, -0.5, 0.25, true, "on the ground the nose wheel follows the rudder"},
      {true, 0, 0, 1, 1, true, "full rudder, standing"},
      {true, 5, 0.05, -0.5, 0.3, false, "gear not down: left alone"},
      {false, 1, 0.9, -0.5, 0.5, true, "in the air the wheel is centred"},
      {false, 0.6, 0, -0.5, 0.3, false, "at 0.6 m/s in the air: left alone"},
      {false, 50, 1, -0.5, 0.3, false, "gear fully up: left alone"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    nosewheel_steer = 0.3, gear_pos = row.gear;
    hv_->ctrl_level[AIRCTRL_RUDDER] = row.rudder;
    if (row.ground)
      Roll(row.airspeed);
    else
      Fly(row.airspeed);
    Step();
    EXPECT_EQ(nosewheel_steer, row.steer);
    auto calls = AnimationCalls(ship().anim_nosewheel_steer);
    if (row.animated)
      EXPECT_TRUE(CallsEqual(calls, {AnimCall(ship().anim_nosewheel_steer, row.steer)}));
    else
      EXPECT_TRUE(calls.empty());
  }
}

}  // namespace
