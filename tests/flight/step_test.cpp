// The flight step as a whole: its blocks in their binding order, later blocks
// overwriting earlier settings, the engine-off exit and release of the holds,
// the time-acceleration cap, refuelling, the lights, and a horizon airspeed the
// host cannot give.
#include <algorithm>
#include <cmath>
#include <limits>

#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class FlightStep : public tarvex_test::FlightTest {
 protected:
  static int ExteriorOn() {
    int n = 0;
    for (BEACONLIGHTSPEC *b :
         {&beacon_nav_red, &beacon_nav_green, &beacon_tail_right, &beacon_tail_left, &beacon_anticoll_top,
          &beacon_anticoll_bottom, &beacon_strobe_left, &beacon_strobe_right})
      n += b->active;
    return n;
  }
};

TEST_F(FlightStep, BlocksRunInTheirBindingOrder) {
  host::HostVessel &hv = Flyer();
  ShuttlePB &ship = Ship(hv);
  auto anim = [](UINT a, const std::string &state) { return "SetAnimation(" + std::to_string(a) + ", " + state + ")"; };
  host::world().time_acceleration = 20;
  refuel_request = 1;
  spot_on = 1;
  hv.navmode[NAVMODE_HLEVEL] = true;
  hv.propellants[0]->mass = 10000;
  Fly(hv, 50, 1000, 2);
  Th(th_main).level = 0.5;
  hv.ctrl_level[AIRCTRL_RUDDER] = 0.3;
  liftfan_rot = 0;
  TracedStep(hv);
  const std::string yaw = host::Num(0.3 * 1e6 * 50 / 10);
  EXPECT_TRUE(CallsInOrder(trace().Texts(), {
                                                "oapiGetTimeAcceleration()",                    // 1
                                                "oapiSetTimeAcceleration(10)",                  // 1
                                                "GetAirspeed()",                                // 2
                                                "SetFuelMass(20000)",                           // 3
                                                "LightEmitter::Activate(true)",                 // 5
                                                "SetAttitudeMode(2)",                           // 6
                                                "GetHorizonAirspeedVector()",                   // 7
                                                "SetControlSurfaceLevel(2, 0)",                 // 7, level hold
                                                "GetShipAirspeedVector()",                      // 7, level hold
                                                "SetCameraOffset((0, 0.71, 3.1))",              // 8
                                                "SetThrusterDir(th0, (0, 0.11, 1))",            // 9: offset by block 7
                                                "SetCW(0.3, 0.3, 0.67, 0.92)",                  // 9
                                                "SetThrusterMax0(th0, 440000)",                 // 9
                                                "AddForce((" + yaw + ", 0, 0), (0, 0, 0.01))",  // 10
                                                anim(ship.anim_status_dial, "0"),               // 12
                                                anim(ship.anim_liftfan, host::Num(0.15 * 0.5 + 0.035)),  // 14
                                                anim(ship.anim_status_a, "0"),                           // 20
                                                anim(ship.anim_status_f, "1"),                           // 20
                                            }));
  EXPECT_EQ(trace().Entries().back().Text(), anim(ship.anim_status_f, "1")) << "the reheat lamp ends the step";
}

TEST_F(FlightStep, IdleMinimumOverwritesTheHoldsThrottleCutInTheSameStep) {
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 40, 1000, 3);  // climbing: the hold lowers the level by 0.01
  Th(th_main).level = 0.005;
  TracedStep(hv);
  std::vector<std::string> main_levels;
  for (const std::string &c : Calls("SetThrusterLevel"))
    if (c.rfind("SetThrusterLevel(th0,", 0) == 0) main_levels.push_back(c);
  EXPECT_TRUE(CallsEqual(main_levels, {"SetThrusterLevel(th0, -0.005)", "SetThrusterLevel(th0, 0.0015)"}));
  EXPECT_EQ(Th(th_main).level, 0.0015);
}

TEST_F(FlightStep, EngineOffEndsTheStepAfterCuttingAllThreeLevels) {
  host::HostVessel &hv = Flyer();
  host::Step(hv);  // the panel shows the running state
  double panel_before = hv.AnimationState(Ship(hv).anim_status_a);
  eng_status = 0;
  gear_pos = 1;
  Th(th_main).level = 0.7;
  Th(th_hover[0]).level = Th(th_hover[1]).level = 0.4;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    TracedStep(hv);
    auto texts = trace().Texts();
    ASSERT_GE(texts.size(), 3u);
    EXPECT_TRUE(CallsEqual(std::vector<std::string>(texts.end() - 3, texts.end()),
                           {"SetThrusterLevel(th0, 0)", "SetThrusterLevel(th2, 0)", "SetThrusterLevel(th3, 0)"}));
    EXPECT_EQ(Th(th_main).level, 0);
    EXPECT_EQ(Th(th_main).max0, 0);
    EXPECT_EQ(hv.AnimationState(Ship(hv).anim_status_a), panel_before) << "panel not updated with the engine off";
  }
  // Engine on again: the idle minimum and the panel come back.
  eng_status = 1;
  TracedStep(hv);
  EXPECT_EQ(Th(th_main).level, 0.0015);
  EXPECT_EQ(hv.AnimationState(Ship(hv).anim_status_a), 1);
}

TEST_F(FlightStep, TimeAccelerationIsCappedAtTenFirstThingAndRefuellingFillsTheTankOnce) {
  host::HostVessel &hv = Flyer();
  for (double warp : {100.0, 10.0, 10.5, 1.0}) {
    host::world().time_acceleration = warp;
    TracedStep(hv);
    EXPECT_EQ(trace().Texts()[0], "oapiGetTimeAcceleration()") << "the cap is the first thing the step does";
    EXPECT_EQ(Calls("oapiSetTimeAcceleration").size(), warp > 10 ? 1u : 0u) << warp;
    EXPECT_EQ(host::world().time_acceleration, std::min(warp, 10.0)) << warp;
  }
  refuel_request = 1;
  for (const char *call : {"SetFuelMass(20000)", ""}) {
    hv.propellants[0]->mass = 5000;
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("SetFuelMass"), *call ? std::vector<std::string>{call} : std::vector<std::string>{}));
    EXPECT_EQ(hv.FuelMass(), *call ? 20000 : 5000);
    EXPECT_EQ(refuel_request, 0);
  }
}

TEST_F(FlightStep, BeaconsAndSpotLightFollowTheirFlagsEveryStep) {
  host::HostVessel &hv = Flyer();
  EXPECT_EQ(ExteriorOn(), 8) << "lights_off 0 at load means lights on";
  beacon_nav_red.active = false;  // switched off elsewhere: back in the next step
  host::Step(hv);
  EXPECT_TRUE(beacon_nav_red.active);
  lights_off = 1;
  host::Step(hv);
  EXPECT_EQ(ExteriorOn(), 0);
  lights_off = 0.5;  // neither 0 nor 1: the beacons stay as they are
  beacon_tail_left.active = true;
  host::Step(hv);
  EXPECT_EQ(ExteriorOn(), 1);
  // spot_on, landing beacon before and after; 2 leaves both alone
  for (const auto &r : {std::vector<double>{1, 0, 1}, {0, 1, 0}, {2, 1, 1}}) {
    spot_on = r[0], beacon_landing.active = r[1];
    TracedStep(hv);
    EXPECT_EQ(beacon_landing.active, r[2]) << "spot " << r[0];
    std::vector<std::string> calls;
    if (r[0] < 2) calls = {r[0] ? "LightEmitter::Activate(true)" : "LightEmitter::Activate(false)"};
    EXPECT_TRUE(CallsEqual(Calls("LightEmitter::Activate"), calls)) << "spot " << r[0];
    EXPECT_EQ(ExteriorOn(), 1) << "the spot light leaves the other beacons alone";
  }
  // Without a spot light (no class set-up) the landing beacon still follows.
  host::HostVessel &bare = NewVessel("Bare", false);
  spot_light = nullptr;
  for (int on : {1, 0}) {
    spot_on = on;
    TracedStep(bare);
    EXPECT_EQ(beacon_landing.active, on == 1);
    EXPECT_EQ(trace().Count("LightEmitter::Activate"), 0u);
  }
}

TEST_F(FlightStep, EngineOffReleasesAllThreeHoldsEveryStepAndNumbersAreRewritten) {
  host::HostVessel &hv = NewVessel();
  navmode_alt = navmode_lvl = navmode_rot = 1;  // as a save leaves them
  for (int i = 0; i < 2; ++i) {
    for (int mode : {1, 2, 7}) hv.navmode[mode] = true;
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("DeactivateNavmode"),
                           {"DeactivateNavmode(2)", "DeactivateNavmode(7)", "DeactivateNavmode(1)"}));
    EXPECT_ALL(!hv.navmode[1], !hv.navmode[2], !hv.navmode[7]);
  }
  EXPECT_EQ(navmode_alt, 7);
  EXPECT_EQ(navmode_lvl, 2);
  EXPECT_EQ(navmode_rot, 1);
  eng_status = 1;
  TracedStep(hv);
  EXPECT_EQ(trace().Count("DeactivateNavmode"), 0u);
}

TEST_F(FlightStep, FailedOrUnusableHorizonAirspeedSkipsThrottleWorkAndKeepsVerticalSpeed) {
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 40, 1000, -3);
  Th(th_main).level = 0.5;
  host::Step(hv);
  EXPECT_DOUBLE_EQ(vspeed_tenth, -0.3);
  for (bool fails : {true, false}) {
    SCOPED_TRACE(fails ? "query fails" : "vertical speed not a number");
    hv.horizon_query_fails = fails;
    hv.horizon_airspeed.y = fails ? -3 : std::numeric_limits<double>::quiet_NaN();
    TracedStep(hv);
    EXPECT_DOUBLE_EQ(vspeed_tenth, -0.3) << "kept from the last good step";
    EXPECT_NEAR(Th(th_main).level, 0.51, 1e-12) << "no nudge from a stale value";
    EXPECT_TRUE(std::isfinite(hv.camera_offset.y));
  }
  hv.horizon_query_fails = true;  // nor a trim above 70 m/s
  hv.airspeed = 100;
  TracedStep(hv);
  EXPECT_TRUE(Calls("SetControlSurfaceLevel").empty());
}

}  // namespace
