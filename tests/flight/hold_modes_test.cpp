// The hold modes: engine-off release, the altitude hold's throttle nudge and
// elevator trim, the one-time trim release and the horizon-level hold's
// nozzle vectoring.
#include <cmath>
#include <limits>

#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;

namespace {

class HoldModes : public tarvex_test::FlightTest {
 protected:
  size_t MainLevelCalls() {
    size_t n = 0;
    for (const std::string &c : Calls("SetThrusterLevel")) n += c.rfind("SetThrusterLevel(th0,", 0) == 0;
    return n;
  }
};

TEST_F(HoldModes, EngineOffReleasesAllThreeHoldsEveryStepAndNumbersAreRewritten) {
  host::HostVessel &hv = NewVessel();
  navmode_alt = navmode_lvl = navmode_rot = 1;  // as a save leaves them
  for (int mode : {1, 2, 7}) hv.navmode[mode] = true;
  for (int i = 0; i < 2; ++i) {
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("DeactivateNavmode"),
                           {"DeactivateNavmode(2)", "DeactivateNavmode(7)", "DeactivateNavmode(1)"}));
  }
  EXPECT_FALSE(hv.navmode[1] || hv.navmode[2] || hv.navmode[7]);
  EXPECT_EQ(navmode_alt, 7);
  EXPECT_EQ(navmode_lvl, 2);
  EXPECT_EQ(navmode_rot, 1);
  eng_status = 1;
  TracedStep(hv);
  EXPECT_EQ(trace().Count("DeactivateNavmode"), 0u);
}

TEST_F(HoldModes, AltitudeHoldNudgesThrottleAgainstVerticalSpeedOutsideTheDeadBand) {
  struct Row {
    const char *what;
    bool hold, ground;
    double airspeed, vy, change;
  } rows[] = {
      {"sinking at 3 m/s: +0.01 per step", true, false, 40, -3, 0.01},
      {"climbing at 3 m/s: -0.01 per step", true, false, 40, 3, -0.01},
      {"sinking at 0.1 m/s: clamped value 0.01, / 1.5", true, false, 40, -0.1, 0.01 / 1.5},
      {"sinking at 0.09 m/s: inside the dead band", true, false, 40, -0.09, 0},
      {"climbing at 0.09 m/s: inside the dead band", true, false, 40, 0.09, 0},
      {"sinking at exactly 70 m/s the nudge applies", true, false, 70, -3, 0.01},
      {"climbing at exactly 70 m/s the nudge applies", true, false, 70, 3, -0.01},
      {"above 70 m/s no nudge", true, false, 70.1, -3, 0},
      {"hold off: no nudge", false, false, 40, -3, 0},
      {"on the ground: no nudge", true, true, 40, -3, 0},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    hv.navmode[NAVMODE_HOLDALT] = r.hold;
    Fly(hv, r.airspeed, 1000, r.vy);
    hv.ground_contact = r.ground;
    Th(th_main).level = 0.5;
    TracedStep(hv);
    EXPECT_NEAR(Th(th_main).level, 0.5 + r.change, 1e-12);
    EXPECT_EQ(MainLevelCalls(), r.change != 0 ? 1u : 0u);
  }
  // State carries: three sinking steps raise the level by 0.03.
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 40, 1000, -3);
  Th(th_main).level = 0.5;
  Steps(hv, 3);
  EXPECT_NEAR(Th(th_main).level, 0.53, 1e-12);
}

TEST_F(HoldModes, AltitudeHoldTrimsTheElevatorAboveSeventy) {
  struct Row {
    const char *what;
    double airspeed, vy, trim;
  } rows[] = {
      {"descending at 1.5 m/s: trim 0", 100, -1.5, 0}, {"level flight: -0.1", 100, 0, -0.1},
      {"climbing at 6 m/s: -0.5", 100, 6, -0.5},       {"climbing at 20 m/s: limited to -0.5", 100, 20, -0.5},
      {"descending at 9 m/s: 0.5", 100, -9, 0.5},      {"descending at 30 m/s: limited to 0.5", 100, -30, 0.5},
      {"at exactly 70 m/s: no trim", 70, 6, 0.25},
  };
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    Fly(hv, r.airspeed, 1000, r.vy);
    hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = 0.25;
    TracedStep(hv);
    EXPECT_NEAR(hv.ctrl_level[AIRCTRL_ELEVATORTRIM], r.trim, 1e-12);
    EXPECT_EQ(trim_released, 0);
  }
}

TEST_F(HoldModes, TrimIsReleasedOnceEachTimeTheHoldEnds) {
  host::HostVessel &hv = Flyer();
  Fly(hv, 100, 1000, 6);
  auto trim_calls = [&]() { return Calls("SetControlSurfaceLevel"); };

  hv.navmode[NAVMODE_HOLDALT] = true;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(trim_calls(), {"SetControlSurfaceLevel(4, -0.5)"}));

  hv.navmode[NAVMODE_HOLDALT] = false;  // the pilot ends the hold
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(trim_calls(), {"SetControlSurfaceLevel(4, 0)"}));
  EXPECT_EQ(trim_released, 1);

  hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = 0.3;  // the pilot trims afterwards
  Steps(hv, 2);
  TracedStep(hv);
  EXPECT_TRUE(trim_calls().empty());
  EXPECT_EQ(hv.ctrl_level[AIRCTRL_ELEVATORTRIM], 0.3);

  hv.navmode[NAVMODE_HOLDALT] = true;  // on and off again: released once more
  TracedStep(hv);
  EXPECT_EQ(trim_released, 0);
  hv.navmode[NAVMODE_HOLDALT] = false;
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(trim_calls(), {"SetControlSurfaceLevel(4, 0)"}));
}

TEST_F(HoldModes, FailedOrUnusableHorizonAirspeedSkipsThrottleWorkAndKeepsVerticalSpeed) {
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 40, 1000, -3);
  Th(th_main).level = 0.5;
  host::Step(hv);
  EXPECT_DOUBLE_EQ(vspeed_tenth, -0.3);
  EXPECT_NEAR(Th(th_main).level, 0.51, 1e-12);

  for (bool fails : {true, false}) {
    SCOPED_TRACE(fails ? "query fails" : "vertical speed not a number");
    hv.horizon_query_fails = fails;
    hv.horizon_airspeed.y = fails ? -3 : std::numeric_limits<double>::quiet_NaN();
    TracedStep(hv);
    EXPECT_DOUBLE_EQ(vspeed_tenth, -0.3) << "kept from the last good step";
    EXPECT_NEAR(Th(th_main).level, 0.51, 1e-12) << "no nudge from a stale value";
    EXPECT_TRUE(std::isfinite(hv.camera_offset.y));
  }
  // The trim likewise is not set from a stale value above 70 m/s.
  hv.horizon_query_fails = true;
  hv.airspeed = 100;
  TracedStep(hv);
  EXPECT_TRUE(Calls("SetControlSurfaceLevel").empty());
  hv.horizon_query_fails = false;
  hv.horizon_airspeed.y = -3;
  TracedStep(hv);
  EXPECT_DOUBLE_EQ(vspeed_tenth, -0.3);
}

TEST_F(HoldModes, HorizonLevelHoldVectorsTheNozzleAgainstTheDrift) {
  const struct {
    const char *what;
    double nozzle, drift, back, forward, deflection;
  } rows[] = {
      {"drifting forwards, full rearward input: 1.2 at most", 1, 2, 1, 0, 1.2},
      {"drifting forwards, no input: 0.055 more", 1, 2, 0, 0, 1.055},
      {"drifting forwards, forward input has no effect", 1, 2, 0, 1, 1.055},
      {"drifting backwards, half forward input", 1, -2, 0, 0.5, 0.445},
      {"drifting backwards from 0.5 with full input: not below 0", 0.5, -2, 0, 1, 0},
      {"no drift: unchanged", 1, 0, 1, 1, 1},
  };
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HLEVEL] = true;
  for (const auto &r : rows) {
    nozzle_angle = nozzle_deflection = r.nozzle;
    Fly(hv, 20, 1000, -3);
    hv.ship_airspeed = _V(0, 0, r.drift);
    hv.SetGroupLevel(THGROUP_ATT_BACK, r.back);
    hv.SetGroupLevel(THGROUP_ATT_FORWARD, r.forward);
    hv.ctrl_level[AIRCTRL_AILERON] = 0.4;
    TracedStep(hv);
    EXPECT_NEAR(Th(th_main).dir.y, 2 * r.deflection, 1e-12) << r.what << ": thrust direction of the same step";
    EXPECT_NEAR(hv.AnimationState(Ship(hv).anim_nozzle_ind), r.deflection, 1e-12) << r.what;
    EXPECT_EQ(hv.ctrl_level[AIRCTRL_AILERON], 0) << r.what << ": aileron centred";
  }
}

TEST_F(HoldModes, HorizonLevelHoldIsReleasedWithEngineOffAndIdleOnTheGround) {
  host::HostVessel &hv = Flyer();
  nozzle_angle = nozzle_deflection = 1;
  Fly(hv, 20, 1000, -3);
  hv.ship_airspeed = _V(0, 0, 2);
  hv.SetGroupLevel(THGROUP_ATT_BACK, 1);
  hv.ctrl_level[AIRCTRL_AILERON] = 0.4;

  // Engine off: the hold is released at the start of the step, before it is
  // looked at, so neither the aileron nor the nozzle is touched.
  eng_status = 0;
  hv.navmode[NAVMODE_HLEVEL] = true;
  TracedStep(hv);
  EXPECT_FALSE(hv.navmode[NAVMODE_HLEVEL]);
  EXPECT_EQ(hv.ctrl_level[AIRCTRL_AILERON], 0.4);
  EXPECT_EQ(trace().Count("GetShipAirspeedVector"), 0u);

  // On the ground with the engine running: nothing either.
  eng_status = 1;
  hv.navmode[NAVMODE_HLEVEL] = true;
  hv.ground_contact = true;
  TracedStep(hv);
  EXPECT_EQ(hv.ctrl_level[AIRCTRL_AILERON], 0.4);
  EXPECT_TRUE(CallsEqual(Calls("SetThrusterDir"), {"SetThrusterDir(th0, (0, 2, 1))"}));
}

}  // namespace
