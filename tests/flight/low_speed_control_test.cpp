// Low-speed attitude control: force pairs by airspeed band, ground steering
// window, time-acceleration limit.
#include <cmath>

#include "tests/flight/flight_fixture.h"

namespace {

// Forces as (F, r), flattened.
using Forces = std::vector<std::vector<double>>;

class LowSpeedControl : public tarvex_test::FlightTest {
 protected:
  host::HostVessel &Controlled() {
    host::HostVessel &hv = Flyer();
    hv.ctrl_level[AIRCTRL_RUDDER] = 0.3;
    hv.ctrl_level[AIRCTRL_AILERON] = 0.5;
    hv.ctrl_level[AIRCTRL_ELEVATOR] = 0.2;
    return hv;
  }
  static void ExpectForces(const host::HostVessel &hv, const Forces &expected, const std::string &what) {
    ASSERT_EQ(hv.forces.size(), expected.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i) {
      const host::Force &f = hv.forces[i];
      const double got[] = {f.F.x, f.F.y, f.F.z, f.r.x, f.r.y, f.r.z};
      for (size_t k = 0; k < 6; ++k)
        EXPECT_NEAR(got[k], expected[i][k], 1e-6 * (1 + std::abs(expected[i][k]))) << what << ": force " << i;
    }
  }
};

TEST_F(LowSpeedControl, ForcePairsByAirspeedBand) {
  host::HostVessel &hv = Controlled();
  // airspeed, lever arm (0: no force); at 5 m/s and below only the yaw pair acts
  for (const auto &r :
       {std::vector<double>{5, 0.1}, {5.5, 0.05}, {20, 0.05}, {32.9, 0.05}, {33, 0.01}, {155, 0.01}, {156, 0}}) {
    const double v = r[0], d = r[1], yaw = 0.3 * 1e5 * v, roll = 0.5 * 1e5 * v, pitch = 0.2 * 1e5 * v;
    Forces expected = {{yaw, 0, 0, 0, 0, d},   {-yaw, 0, 0, 0, 0, -d},  {0, roll, 0, -d, 0, 0},
                       {0, -roll, 0, d, 0, 0}, {0, 0, pitch, 0, -d, 0}, {0, 0, -pitch, 0, d, 0}};
    expected.resize(d == 0 ? 0 : v <= 5 ? 2 : 6);
    Fly(hv, v, 1000, -3);
    host::Step(hv);
    ExpectForces(hv, expected, "v = " + std::to_string(v));
  }
}

TEST_F(LowSpeedControl, TimeAccelerationAboveTenStopsBothRoutines) {
  host::HostVessel &hv = Controlled();
  Fly(hv, 20, 1000, -3);
  for (double warp : {10.0, 10.5, 100.0}) {
    host::world().time_acceleration = warp;
    hv.forces.clear();
    Ship(hv).ApplyLowSpeedControl();
    EXPECT_EQ(hv.forces.size(), warp > 10 ? 0u : 6u) << warp;
    hv.forces.clear();
    Ship(hv).ApplyGroundSteering();
    EXPECT_EQ(hv.forces.size(), warp > 10 ? 0u : 2u) << warp;
  }
  host::Step(hv);  // within the step the cap comes first, so the forces act at any warp
  EXPECT_EQ(hv.forces.size(), 6u);
}

TEST_F(LowSpeedControl, GroundSteeringWindowAndExclusiveUse) {
  host::HostVessel &hv = Controlled();
  // airspeed, gear_pos, steering; the same pair whatever the speed, no airborne pairs
  for (const auto &r : {std::vector<double>{20, 0, 1},
                        {0.6, 0, 0},
                        {0.61, 0, 1},
                        {89.9, 0, 1},
                        {90, 0, 0},
                        {20, 0.049, 1},
                        {20, 0.05, 0}}) {
    Roll(hv, r[0]);
    gear_pos = r[1];
    host::Step(hv);
    ExpectForces(hv, r[2] ? Forces{{300000, 0, 0, 0, 0, 3.33}, {-300000, 0, 0, 0, 0, -3.33}} : Forces{},
                 std::to_string(r[0]) + " m/s, gear " + std::to_string(r[1]));
  }
}

}  // namespace
