// The flight step as a whole: its blocks in their binding order, later blocks
// overwriting earlier settings and the engine-off exit.
#include <cmath>

#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class FlightStep : public tarvex_test::FlightTest {};

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

}  // namespace
