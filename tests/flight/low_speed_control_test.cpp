// Low-speed attitude control: force pairs by airspeed band, ground steering
// window, time-acceleration limit.
#include <cmath>

#include "tests/flight/flight_fixture.h"

namespace {

class LowSpeedControl : public tarvex_test::FlightTest {
 protected:
  void SetLevels(host::HostVessel &hv, double rudder, double aileron, double elevator) {
    hv.ctrl_level[AIRCTRL_RUDDER] = rudder;
    hv.ctrl_level[AIRCTRL_AILERON] = aileron;
    hv.ctrl_level[AIRCTRL_ELEVATOR] = elevator;
  }
};

// One force as (F, r), flattened.
using ForceRow = std::vector<double>;

std::vector<ForceRow> Forces(const host::HostVessel &hv) {
  std::vector<ForceRow> out;
  for (const host::Force &f : hv.forces) out.push_back({f.F.x, f.F.y, f.F.z, f.r.x, f.r.y, f.r.z});
  return out;
}

void ExpectForces(const std::vector<ForceRow> &actual, const std::vector<ForceRow> &expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < actual.size(); ++i)
    for (size_t k = 0; k < 6; ++k)
      EXPECT_NEAR(actual[i][k], expected[i][k], 1e-6 * (1 + std::abs(expected[i][k])))
          << "force " << i << " item " << k;
}

// The three pairs at airspeed v with lever arm d (rudder 0.3, aileron 0.5, elevator 0.2).
std::vector<ForceRow> ThreePairs(double v, double d) {
  double yaw = 0.3 * 1e5 * v, roll = 0.5 * 1e5 * v, pitch = 0.2 * 1e5 * v;
  return {{yaw, 0, 0, 0, 0, d},   {-yaw, 0, 0, 0, 0, -d},  {0, roll, 0, -d, 0, 0},
          {0, -roll, 0, d, 0, 0}, {0, 0, pitch, 0, -d, 0}, {0, 0, -pitch, 0, d, 0}};
}

TEST_F(LowSpeedControl, ForcePairsByAirspeedBand) {
  struct Row {
    const char *what;
    double v;
    std::vector<ForceRow> forces;
  } rows[] = {
      {"v = 5: only the yaw pair, arm 0.1", 5, {{150000, 0, 0, 0, 0, 0.1}, {-150000, 0, 0, 0, 0, -0.1}}},
      {"v = 5.5: all three pairs, arm 0.05", 5.5, ThreePairs(5.5, 0.05)},
      {"v = 20: 600000, 1000000 and 400000 N at 0.05", 20, ThreePairs(20, 0.05)},
      {"v = 32.9: still arm 0.05", 32.9, ThreePairs(32.9, 0.05)},
      {"v = 33: arm 0.01", 33, ThreePairs(33, 0.01)},
      {"v = 155: still applied", 155, ThreePairs(155, 0.01)},
      {"v = 156: nothing", 156, {}},
  };
  host::HostVessel &hv = Flyer();
  SetLevels(hv, 0.3, 0.5, 0.2);
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    // Lift regime below 155 m/s would warn at 155 and above; keep the nozzle aft.
    Fly(hv, r.v, 1000, -3);
    host::Step(hv);
    ExpectForces(Forces(hv), r.forces);
  }
}

TEST_F(LowSpeedControl, TimeAccelerationAboveTenStopsBothRoutines) {
  host::HostVessel &hv = Flyer();
  SetLevels(hv, 0.3, 0.5, 0.2);
  Fly(hv, 20, 1000, -3);
  struct Row {
    const char *what;
    double warp;
    size_t forces;
  } rows[] = {{"exactly 10: applied", 10, 6}, {"10.5: nothing", 10.5, 0}, {"100: nothing", 100, 0}};
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    host::world().time_acceleration = r.warp;
    hv.forces.clear();
    Ship(hv).ApplyLowSpeedControl();
    EXPECT_EQ(hv.forces.size(), r.forces);
    hv.forces.clear();
    Ship(hv).ApplyGroundSteering();
    EXPECT_EQ(hv.forces.size(), r.forces / 3);
  }
  // Within the step the cap comes first, so the forces act at any warp.
  host::world().time_acceleration = 100;
  host::Step(hv);
  EXPECT_EQ(hv.forces.size(), 6u);
}

TEST_F(LowSpeedControl, GroundSteeringWindowAndExclusiveUse) {
  struct Row {
    const char *what;
    bool ground;
    double airspeed, gear;
    bool steering;
  } rows[] = {
      {"taxiing at 20 m/s, gear down", true, 20, 0, true},
      {"at exactly 0.6 m/s: no", true, 0.6, 0, false},
      {"at 0.61 m/s", true, 0.61, 0, true},
      {"at 89.9 m/s", true, 89.9, 0, true},
      {"at exactly 90 m/s: no", true, 90, 0, false},
      {"gear at 0.049", true, 20, 0.049, true},
      {"gear at exactly 0.05: no", true, 20, 0.05, false},
  };
  host::HostVessel &hv = Flyer();
  SetLevels(hv, 0.3, 0.5, 0.2);
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    Fly(hv, r.airspeed, 0, -3);
    hv.ground_contact = r.ground;
    gear_pos = r.gear;
    host::Step(hv);
    // The same pair whatever the speed; on the ground no airborne pairs.
    if (r.steering)
      ExpectForces(Forces(hv), {{300000, 0, 0, 0, 0, 3.33}, {-300000, 0, 0, 0, 0, -3.33}});
    else
      EXPECT_TRUE(hv.forces.empty());
  }
}

}  // namespace
