// Thrust regimes, the flight envelope and its warning, the lift thrusters,
// thrust direction and nozzle brake, the hover nozzle set and the lift-fan
// rotor, seen through the stand-in host.
#include <cmath>

#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class Propulsion : public tarvex_test::FlightTest {};

const double kUntouched = -1;  // sentinel: the step did not set the value
const double kFlameUntouched = 0.5;

struct RegimeRow {
  const char *what;
  double nozzle, reheat_flag, main_level, airspeed, altitude, engine;
  double max_thrust;  // expected maximum thrust of th_main
  double flame;       // expected level of th_reheat
  const char *drag;   // "normal", "warning" or "untouched"
};

TEST_F(Propulsion, RegimeTableAndEnvelopeBoundaries) {
  // clang-format off
  const RegimeRow rows[] = {
      {"conventional, reheat deselected", 0, 0, 1, 300, 1000, 1, 440000, 0, "normal"},
      {"reheat at full level with the nozzle aft lights the flame", 0, 1, 1, 300, 1000, 1, 550000, 1, "normal"},
      {"reheat at main level exactly 0.98: flame neither lit nor put out", 0, 1, 0.98, 300, 1000, 1, 550000, kFlameUntouched, "normal"},
      {"reheat below main level 0.98: dry thrust, flame out", 0, 1, 0.97, 300, 1000, 1, 440000, 0, "normal"},
      {"reheat with nozzle 0.3: full reheat thrust, no flame", 0.3, 1, 1, 300, 1000, 1, 550000, 0, "normal"},
      {"reheat with nozzle exactly 0.06: no flame", 0.06, 1, 1, 300, 1000, 1, 550000, 0, "normal"},
      {"reheat with nozzle just below 0.06: flame", 0.059, 1, 1, 300, 1000, 1, 550000, 1, "normal"},
      {"a reheat flag neither 0 nor 1 at full level sets no thrust", 0, 0.5, 1, 300, 1000, 1, kUntouched, kFlameUntouched, "normal"},
      {"conventional just below 700 m/s", 0, 0, 1, 699.9, 1000, 1, 440000, 0, "normal"},
      {"conventional at exactly 700 m/s: warning", 0, 0, 1, 700, 1000, 1, 0, kFlameUntouched, "warning"},
      {"nozzle 0.49 is conventional: 200 m/s allowed", 0.49, 0, 1, 200, 1000, 1, 440000, 0, "normal"},
      {"nozzle exactly 0.5 is lift regime", 0.5, 0, 1, 154.9, 1000, 1, 300000, kFlameUntouched, "normal"},
      {"lift regime at exactly 155 m/s: warning", 0.5, 0, 1, 155, 1000, 1, 0, kFlameUntouched, "warning"},
      {"lift regime with reheat selected: lift thrust, flame untouched", 1, 1, 1, 100, 1000, 1, 300000, kFlameUntouched, "normal"},
      {"just below 20000 m", 0, 0, 1, 300, 19999.9, 1, 440000, 0, "normal"},
      {"at exactly 20000 m: warning", 0, 0, 1, 300, 20000, 1, 0, kFlameUntouched, "warning"},
      {"engine off: no thrust, drag untouched", 0, 0, 1, 300, 1000, 0, 0, kFlameUntouched, "untouched"},
      {"engine off above the envelope: warning all the same", 0, 0, 1, 300, 25000, 0, 0, kFlameUntouched, "warning"},
  };
  // clang-format on
  host::HostVessel &hv = Flyer();
  for (const RegimeRow &r : rows) {
    SCOPED_TRACE(r.what);
    nozzle_angle = nozzle_deflection = r.nozzle;
    reheat = r.reheat_flag;
    eng_status = r.engine;
    Fly(hv, r.airspeed, r.altitude, -3);
    Th(th_main).level = r.main_level;
    Th(th_main).max0 = kUntouched;
    Th(th_reheat).level = kFlameUntouched;
    hv.cw[0] = hv.cw[1] = hv.cw[2] = hv.cw[3] = kUntouched;
    TracedStep(hv);

    EXPECT_EQ(Th(th_main).max0, r.max_thrust);
    EXPECT_EQ(Th(th_reheat).level, r.flame);
    EXPECT_EQ(Th(th_reheat).max0, 0) << "the reheat thruster gives no thrust of its own";
    std::vector<double> cw(hv.cw, hv.cw + 4);
    if (std::string(r.drag) == "normal")
      EXPECT_EQ(cw, (std::vector<double>{0.3, 0.3, 0.67, 0.92}));
    else if (std::string(r.drag) == "warning")
      EXPECT_EQ(cw, (std::vector<double>{999, 999, 999, 999}));
    else
      EXPECT_EQ(cw, (std::vector<double>{kUntouched, kUntouched, kUntouched, kUntouched}));
  }
}

TEST_F(Propulsion, WarningCutsEngineAfterRaisingDragAndLastsExactlyAsLongAsItsCondition) {
  host::HostVessel &hv = Flyer();
  Th(th_main).level = 1;
  auto step_at = [&](double airspeed) {
    Fly(hv, airspeed, 1000, -3);
    TracedStep(hv);
    return Calls(std::vector<std::string>{"SetCW", "SetThrusterMax0"});
  };
  // Out of the envelope: drag first, then the engine cut; no regime follows.
  EXPECT_TRUE(CallsEqual(step_at(700), {"SetCW(999, 999, 999, 999)", "SetThrusterMax0(th0, 0)"}));
  // Back inside: the very next step restores drag and thrust.
  EXPECT_TRUE(CallsEqual(step_at(650), {"SetCW(0.3, 0.3, 0.67, 0.92)", "SetThrusterMax0(th0, 440000)"}));
  EXPECT_TRUE(CallsEqual(step_at(700), {"SetCW(999, 999, 999, 999)", "SetThrusterMax0(th0, 0)"}));

  // With the engine off no regime restores anything: drag 999 stays.
  eng_status = 0;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(CallsEqual(step_at(300), {"SetThrusterMax0(th0, 0)"}));
    EXPECT_EQ(hv.cw[0], 999);
    EXPECT_EQ(hv.cw[3], 999);
  }
  // The engine runs again: the next step restores the drag.
  eng_status = 1;
  step_at(300);
  EXPECT_EQ(hv.cw[2], 0.67);
  EXPECT_EQ(Th(th_main).max0, 440000);
}

TEST_F(Propulsion, ThrustDirectionFollowsDeflectionAndNozzleBrakeActsOnlyAirborneFromOne) {
  struct Row {
    const char *what;
    double deflection;
    bool ground;
    const char *dir;
    bool brake;
  } rows[] = {
      {"nozzle aft: straight forward", 0, false, "SetThrusterDir(th0, (0, 0, 1))", false},
      {"half way: not normalised", 0.5, false, "SetThrusterDir(th0, (0, 1, 1))", false},
      {"just below 1: no brake", 0.999, false, "SetThrusterDir(th0, (0, 1.998, 1))", false},
      {"exactly 1 airborne: brake", 1, false, "SetThrusterDir(th0, (0, 2, 1))", true},
      {"1.2 airborne: brake", 1.2, false, "SetThrusterDir(th0, (0, 2.4, 1))", true},
      {"1 on the ground: no brake", 1, true, "SetThrusterDir(th0, (0, 2, 1))", false},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    nozzle_angle = nozzle_deflection = r.deflection;
    Fly(hv, 50, 1000, -3);
    hv.ground_contact = r.ground;
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("SetThrusterDir"), {r.dir}));
    EXPECT_EQ(trace().Contains("AddForce((0, 0, -170000), (0, 0, 0))"), r.brake);
  }
}

TEST_F(Propulsion, LiftThrustersWorkOnlyInTheAltitudeHoldAndFollowTheMainEngine) {
  struct Row {
    const char *what;
    bool hold;
    double airspeed, vy, main, rear, front;
    double expect_rear, expect_front;
  } rows[] = {
      {"hold off: levels forced to 0", false, 40, -3, 1, 0.8, 0.8, 0, 0},
      {"hold on, main above their mean: untouched", true, 40, -3, 1, 0.6, 0.6, 0.6, 0.6},
      {"hold on, mean above main: both set to main - 0.05", true, 100, -3, 0.6, 0.8, 0.5, 0.55, 0.55},
      {"hold on, main level equal to their mean: untouched", true, 100, -3, 0.65, 0.8, 0.5, 0.8, 0.5},
      {"near zero vertical speed below 70 m/s: cut", true, 40, 0.5, 1, 0.6, 0.6, 0, 0},
      {"vertical speed 0.95 m/s: not cut", true, 40, -0.95, 1, 0.6, 0.6, 0.6, 0.6},
      {"climbing at exactly 0.9 m/s (vspeed_tenth 0.09): not cut", true, 40, 0.9, 1, 0.6, 0.6, 0.6, 0.6},
      {"sinking at exactly 0.9 m/s (vspeed_tenth -0.09): not cut", true, 40, -0.9, 1, 0.6, 0.6, 0.6, 0.6},
      {"sinking at 0.89 m/s: cut", true, 40, -0.89, 1, 0.6, 0.6, 0, 0},
      {"near zero vertical speed at 70 m/s: not cut", true, 70, 0.5, 1, 0.6, 0.6, 0.6, 0.6},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    hv.navmode[NAVMODE_HOLDALT] = r.hold;
    Fly(hv, r.airspeed, 1000, r.vy);
    Th(th_main).level = r.main;
    Th(th_hover[0]).level = r.rear;
    Th(th_hover[1]).level = r.front;
    Th(th_hover[0]).max0 = Th(th_hover[1]).max0 = 0;
    TracedStep(hv);
    EXPECT_NEAR(Th(th_hover[0]).level, r.expect_rear, 1e-12);
    EXPECT_NEAR(Th(th_hover[1]).level, r.expect_front, 1e-12);
    // Their maximum thrust is set in every step of the hold, and stays afterwards.
    EXPECT_EQ(Th(th_hover[0]).max0, r.hold ? 100000 : 0);
    EXPECT_EQ(Th(th_hover[1]).max0, r.hold ? 100000 : 0);
  }
}

TEST_F(Propulsion, LiftThrustersCoupledToALowMainLevelGetTheNegativeValuePassedOn) {
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 100, 1000, -3);
  Th(th_main).level = 0.02;
  Th(th_hover[0]).level = Th(th_hover[1]).level = 0.5;
  TracedStep(hv);
  EXPECT_TRUE(CallsInOrder(trace().Texts(), {"SetThrusterMax0(th2, 100000)", "SetThrusterMax0(th3, 100000)",
                                             "SetThrusterLevel(th2, " + host::Num(0.02 - 0.05) + ")",
                                             "SetThrusterLevel(th3, " + host::Num(0.02 - 0.05) + ")"}));
  EXPECT_EQ(Th(th_hover[0]).level, 0) << "the host keeps levels within 0..1";
}

TEST_F(Propulsion, SlowHoverWithoutForeAndAftInputSwivelsTheNozzleDown) {
  struct Row {
    const char *what;
    double altitude, airspeed, back, forward;
    double expect;
  } rows[] = {
      {"slow hover above 2.67 m", 2.68, 0.4, 0, 0, 1}, {"at exactly 2.67 m: no", 2.67, 0.4, 0, 0, 0.3},
      {"at exactly 0.5 m/s: no", 10, 0.5, 0, 0, 0.3},  {"rearward input: no", 10, 0.4, 0.2, 0, 0.3},
      {"forward input: no", 10, 0.4, 0, 0.2, 0.3},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    nozzle_angle = nozzle_deflection = 0.3;
    Fly(hv, r.airspeed, r.altitude, -3);
    hv.SetGroupLevel(THGROUP_ATT_BACK, r.back);
    hv.SetGroupLevel(THGROUP_ATT_FORWARD, r.forward);
    TracedStep(hv);
    EXPECT_EQ(nozzle_angle, r.expect);
  }
}

TEST_F(Propulsion, LiftFanRotorTurnsWithTheEngineWindmillsAboveTenAndWrapsToZero) {
  struct Row {
    const char *what;
    double engine, level, airspeed, before, after;
  } rows[] = {
      {"engine at 0.2: 0.15 x level + 0.035", 1, 0.2, 50, 0.1, 0.165},
      {"past 1 wraps to 0, not to 0.04", 1, 0.1, 50, 0.99, 0},
      {"stopped at 10 m/s: phase kept", 0, 0, 10, 0.3, 0.3},
      {"windmilling at 20 m/s", 0, 0, 20, 0.3, 0.335},
      {"windmilling capped at 44 m/s", 0, 0, 60, 0.3, 0.359},
      {"windmilling past 1 wraps", 0, 0, 60, 0.95, 0},
  };
  host::HostVessel &hv = Flyer();
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    eng_status = r.engine;
    Fly(hv, r.airspeed, 1000, -3);
    Th(th_main).level = r.level;
    liftfan_rot = r.before;
    TracedStep(hv);
    EXPECT_NEAR(liftfan_rot, r.after, 1e-12);
    EXPECT_NEAR(hv.AnimationState(Ship(hv).anim_liftfan), r.after, 1e-12);
  }
}

}  // namespace
