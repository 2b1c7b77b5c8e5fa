// Thrust direction and nozzle brake, the envelope warning's order, and the
// lift thrusters coupled to a low main level, seen through the stand-in
// host's calls.
#include "tests/flight/flight_fixture.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class Propulsion : public tarvex_test::FlightTest {};

TEST_F(Propulsion, ThrustDirectionFollowsDeflectionAndNozzleBrakeActsOnlyAirborneFromOne) {
  host::HostVessel &hv = Flyer();
  // deflection, on the ground, brake; the direction is (0, 2 x deflection, 1), not normalised
  for (const auto &r : {std::vector<double>{0, 0, 0}, {0.5, 0, 0}, {0.999, 0, 0}, {1, 0, 1}, {1.2, 0, 1}, {1, 1, 0}}) {
    SCOPED_TRACE(r[0] + 10 * r[1]);
    nozzle_angle = nozzle_deflection = r[0];
    Fly(hv, 50, 1000, -3);
    hv.ground_contact = r[1];
    TracedStep(hv);
    EXPECT_TRUE(CallsEqual(Calls("SetThrusterDir"), {"SetThrusterDir(th0, (0, " + host::Num(2 * r[0]) + ", 1))"}));
    EXPECT_EQ(trace().Contains("AddForce((0, 0, -170000), (0, 0, 0))"), r[2]);
  }
}

TEST_F(Propulsion, WarningRaisesTheDragBeforeCuttingTheEngineAndNoRegimeFollows) {
  host::HostVessel &hv = Flyer();
  Th(th_main).level = 1;
  Fly(hv, 700, 1000, -3);
  TracedStep(hv);
  EXPECT_TRUE(CallsEqual(Calls(std::vector<std::string>{"SetCW", "SetThrusterMax0"}),
                         {"SetCW(999, 999, 999, 999)", "SetThrusterMax0(th0, 0)"}));
}

TEST_F(Propulsion, LiftThrustersCoupledToALowMainLevelGetTheNegativeValuePassedOn) {
  host::HostVessel &hv = Flyer();
  hv.navmode[NAVMODE_HOLDALT] = true;
  Fly(hv, 100, 1000, -3);
  Th(th_main).level = 0.02;
  Th(th_hover[0]).level = Th(th_hover[1]).level = 0.5;
  TracedStep(hv);
  const std::string low = host::Num(0.02 - 0.05);
  EXPECT_TRUE(
      CallsInOrder(trace().Texts(), {"SetThrusterMax0(th2, 100000)", "SetThrusterMax0(th3, 100000)",
                                     "SetThrusterLevel(th2, " + low + ")", "SetThrusterLevel(th3, " + low + ")"}));
  EXPECT_EQ(Th(th_hover[0]).level, 0) << "the host keeps levels within 0..1";
}

}  // namespace
