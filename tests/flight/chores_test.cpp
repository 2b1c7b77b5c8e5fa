// The flight step's own chores: time-acceleration cap, refuelling, lights,
// attitude-control mode, camera head motion, fuel gauge, status indicators
// and the reheat lamp.
#include <algorithm>

#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;

namespace {

class Chores : public tarvex_test::FlightTest {
 protected:
  BEACONLIGHTSPEC *const exterior_[8] = {&beacon_nav_red,     &beacon_nav_green,    &beacon_tail_right,
                                         &beacon_tail_left,   &beacon_anticoll_top, &beacon_anticoll_bottom,
                                         &beacon_strobe_left, &beacon_strobe_right};
  int ExteriorOn() const {
    int n = 0;
    for (BEACONLIGHTSPEC *b : exterior_) n += b->active;
    return n;
  }
};

TEST_F(Chores, TimeAccelerationIsCappedAtTenFirstThing) {
  host::HostVessel &hv = Flyer();
  for (double warp : {100.0, 10.0, 10.5, 1.0}) {
    host::world().time_acceleration = warp;
    TracedStep(hv);
    EXPECT_EQ(trace().Texts()[0], "oapiGetTimeAcceleration()") << "the cap is the first thing the step does";
    EXPECT_EQ(Calls("oapiSetTimeAcceleration").size(), warp > 10 ? 1u : 0u) << warp;
    EXPECT_EQ(host::world().time_acceleration, std::min(warp, 10.0)) << warp;
  }
}

TEST_F(Chores, RefuellingFillsTheTankOnceAndClearsTheRequest) {
  host::HostVessel &hv = Flyer();
  hv.propellants[0]->mass = 5000;
  refuel_request = 1;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(Calls("SetFuelMass"), {"SetFuelMass(20000)"}));
  EXPECT_EQ(hv.FuelMass(), 20000);
  EXPECT_EQ(refuel_request, 0);
  hv.propellants[0]->mass = 5000;
  TracedStep(hv);
  EXPECT_EQ(trace().Count("SetFuelMass"), 0u);
  EXPECT_EQ(hv.FuelMass(), 5000);
}

TEST_F(Chores, BeaconsAndSpotLightFollowTheirFlagsEveryStep) {
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
  const struct {
    double spot;
    bool landing_before, landing_after;
    std::vector<std::string> calls;
  } rows[] = {{1, false, true, {"LightEmitter::Activate(true)"}},
              {0, true, false, {"LightEmitter::Activate(false)"}},
              {2, true, true, {}}};
  for (const auto &r : rows) {
    spot_on = r.spot, beacon_landing.active = r.landing_before;
    TracedStep(hv);
    EXPECT_EQ(beacon_landing.active, r.landing_after) << "spot " << r.spot << ": the landing beacon follows it";
    EXPECT_TRUE(CallsEqual(Calls("LightEmitter::Activate"), r.calls)) << "spot " << r.spot;
    EXPECT_EQ(ExteriorOn(), 1) << "the spot light leaves the other beacons alone";
  }
}

TEST_F(Chores, StepWithoutSpotLightStillSwitchesTheLandingBeacon) {
  host::HostVessel &hv = NewVessel("Bare", false);  // no class set-up: no light, no thrusters
  spot_light = nullptr;
  spot_on = 1;
  TracedStep(hv);
  EXPECT_TRUE(beacon_landing.active);
  EXPECT_EQ(trace().Count("LightEmitter::Activate"), 0u);
  spot_on = 0;
  TracedStep(hv);
  EXPECT_FALSE(beacon_landing.active);
}

TEST_F(Chores, AttitudeModeIsLinearOnlyAirborneBelowSeventyWithTheLevelHold) {
  struct Row {
    const char *what;
    double airspeed;
    bool ground, hold;
    std::vector<std::string> calls;
    int mode;
    // clang-format off
  } rows[] = {
      {"airborne at 69 m/s with the hold: linear", 69, false, true, {"SetAttitudeMode(2)"}, 2},
      {"airborne at 70 m/s with the hold: off", 70, false, true, {"SetAttitudeMode(0)"}, 0},
      {"airborne at 69 m/s without the hold: off", 69, false, false, {"SetAttitudeMode(2)", "SetAttitudeMode(0)"}, 0},
      {"on the ground at 69 m/s with the hold: off", 69, true, true, {"SetAttitudeMode(0)", "SetAttitudeMode(2)", "SetAttitudeMode(0)"}, 0},
      {"on the ground at 70 m/s: off", 70, true, true, {"SetAttitudeMode(0)", "SetAttitudeMode(0)"}, 0},
      {"airborne at 70 m/s without the hold: off", 70, false, false, {"SetAttitudeMode(0)", "SetAttitudeMode(0)"}, 0},
  };
  // clang-format on
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    Fly(hv, r.airspeed, 1000, -3);
    hv.ground_contact = r.ground;
    hv.navmode[NAVMODE_HLEVEL] = r.hold;
    hv.attitude_mode = 1;
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("SetAttitudeMode"), r.calls));
    EXPECT_EQ(hv.attitude_mode, r.mode);
  }
}

TEST_F(Chores, CameraDipsWithVerticalSpeedWithinLimitsAndStaysPutOnTheGround) {
  struct Row {
    const char *what;
    double airspeed, horizon_vy, ship_vy;
    bool ground, level_hold;
    double eye;  // y of the camera offset
  } rows[] = {
      {"climbing at 2 m/s: eye sinks 4 cm", 50, 2, 0, false, false, 0.71},
      {"climbing at 10 m/s: limited to 7.5 cm", 50, 10, 0, false, false, 0.675},
      {"descending at 10 m/s: eye rises 7.5 cm", 50, -10, 0, false, false, 0.825},
      {"on the ground: the eye keeps its place", 50, 2, 0, true, false, 0.825},
      {"below 5 m/s with the engine on: ship-frame vector", 3, 3, 1, false, false, 0.73},
      {"at exactly 5 m/s: the vector block 7 left", 5, 3, 1, false, false, 0.69},
      {"at 5 m/s in the level hold: the hold's ship-frame vector", 5, 3, 1, false, true, 0.73},
      {"at 50 m/s in the level hold: refilled from the horizon", 50, 3, 1, false, true, 0.69},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    Fly(hv, r.airspeed, 1000, r.horizon_vy);
    hv.ship_airspeed = _V(0, r.ship_vy, 0);
    hv.ground_contact = r.ground;
    hv.navmode[NAVMODE_HLEVEL] = r.level_hold;
    TracedStep(hv);
    EXPECT_EQ(hv.camera_offset.x, 0);
    EXPECT_NEAR(hv.camera_offset.y, r.eye, 1e-12);
    EXPECT_EQ(hv.camera_offset.z, 3.1);
    EXPECT_EQ(trace().Count("SetCameraOffset"), 1u);
  }
}

TEST_F(Chores, FuelGaugeShowsTheEmptyFractionOfTheTank) {
  host::HostVessel &hv = Flyer();
  const double rows[][2] = {{20000, 0}, {10000, 0.5}, {15000, 0.25}, {0, 1}, {25000, 0}};
  for (const auto &r : rows) {
    hv.propellants[0]->mass = r[0];
    TracedStep(hv);
    EXPECT_EQ(hv.AnimationState(Ship(hv).anim_status_dial), r[1]) << "fuel " << r[0];
  }
}

TEST_F(Chores, StatusIndicatorsFollowGearAndHoldsAndKeepTheirStateWithTheEngineOff) {
  struct Row {
    const char *what;
    double gear;
    bool alt, lvl, rot;
    double a, b, c, d, e;
  } rows[] = {
      {"gear down, holds off", 0, false, false, false, 0, 0, 1, 1, 1},
      {"gear travelling, altitude hold", 0.5, true, false, false, 1, 0, 0, 1, 1},
      {"gear up, level hold and kill rotation", 1, false, true, true, 1, 1, 1, 0, 0},
      {"gear nearly up", 0.999, true, true, true, 1, 0, 0, 0, 0},
  };
  host::HostVessel &hv = Flyer();
  ShuttlePB &ship = Ship(hv);
  auto state = [&](UINT anim) { return hv.AnimationState(anim); };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    gear_pos = r.gear;
    hv.navmode[NAVMODE_HOLDALT] = r.alt;
    hv.navmode[NAVMODE_HLEVEL] = r.lvl;
    hv.navmode[NAVMODE_KILLROT] = r.rot;
    host::Step(hv);
    EXPECT_EQ(state(ship.anim_status_a), r.a);
    EXPECT_EQ(state(ship.anim_status_b), r.b);
    EXPECT_EQ(state(ship.anim_status_c), r.c);
    EXPECT_EQ(state(ship.anim_status_d), r.d);
    EXPECT_EQ(state(ship.anim_status_e), r.e);
  }
}

TEST_F(Chores, ReheatLampRunsDownAndStaysOnlyWhileReheatCanBurn) {
  host::HostVessel &hv = Flyer();
  UINT lamp = Ship(hv).anim_status_f;
  Th(th_main).level = 1;
  reheat = 1;
  Steps(hv, 19);
  EXPECT_NEAR(reheat_lamp, 0.05, 1e-12);
  Steps(hv, 1);
  EXPECT_EQ(reheat_lamp, 0) << "reaches 0 in 20 steps";
  Steps(hv, 5);
  EXPECT_EQ(reheat_lamp, 0) << "stays at 0 while reheat can burn";
  EXPECT_EQ(hv.AnimationState(lamp), 0);

  // The main level drops below 0.98: back to 1 at once, then down again.
  Th(th_main).level = 0.5;
  TracedStep(hv);
  auto lamp_calls = [&]() {
    std::vector<std::string> out;
    for (const std::string &c : Calls("SetAnimation"))
      if (c.rfind("SetAnimation(" + std::to_string(lamp) + ",", 0) == 0) out.push_back(c);
    return out;
  };
  std::string l = std::to_string(lamp);
  EXPECT_TRUE(CallsEqual(lamp_calls(), {"SetAnimation(" + l + ", 0)", "SetAnimation(" + l + ", 1)"}));
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(lamp_calls(), {"SetAnimation(" + l + ", 0.95)"}));

  // Full level with the nozzle deflected exactly 0.06: reheat can burn, the lamp stays at 0.
  Th(th_main).level = 1;
  nozzle_angle = nozzle_deflection = 0.06;
  reheat_lamp = 0.05;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(lamp_calls(), {"SetAnimation(" + l + ", 0)"}));

  // Full level but the nozzle off its aft stop: it blinks (20 steps down, jump).
  nozzle_angle = nozzle_deflection = 0.07;
  reheat_lamp = 0.05;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(lamp_calls(), {"SetAnimation(" + l + ", 0)", "SetAnimation(" + l + ", 1)"}));

  // Reheat deselected: 1 at once, every step.
  nozzle_angle = nozzle_deflection = 0;
  reheat_lamp = 0.4;
  reheat = 0;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(lamp_calls(), {"SetAnimation(" + l + ", 1)"}));
  EXPECT_EQ(reheat_lamp, 1);
}

}  // namespace
