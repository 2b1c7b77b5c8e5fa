// The flight host's physics, on host vessel records set up by hand (no
// module): atmosphere, thrust and propellant, ground springs, drag, the
// host's modes, host lines, and bad numbers.
#include "host/physics.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "host/harness.h"
#include "host/host_lines.h"
#include "tests/support/fixture.h"

namespace {

using host::HostVessel;
const double g = host::kStandardGravity;

// A 10 t vessel with a 5 t tank and three touchdown points 2 m below.
HostVessel &Vessel(bool landed, double alt = 1000, double airspeed = 0) {
  host::ResetWorld();
  HostVessel &hv = host::AddVessel("V");
  hv.empty_mass = 10000, hv.pmi = _V(10, 10, 5), hv.size = 8;
  hv.touchdown[0] = _V(0, -2, 3), hv.touchdown[1] = _V(-1.5, -2, -2), hv.touchdown[2] = _V(1.5, -2, -2);
  hv.touchdown_set = true;
  hv.propellants.push_back(std::make_unique<host::Propellant>());
  hv.propellants[0]->maxmass = hv.propellants[0]->mass = 5000;
  hv.ground_contact = landed, hv.altitude = alt, hv.airspeed = airspeed;
  return hv;
}

host::Thruster &AddThruster(HostVessel &hv, VECTOR3 pos, VECTOR3 dir, double max0) {
  hv.thrusters.push_back(std::make_unique<host::Thruster>());
  host::Thruster &t = *hv.thrusters.back();
  t.index = (int)hv.thrusters.size() - 1, t.pos = pos, t.dir = dir, t.max0 = max0, t.isp0 = 1000;
  t.prop = hv.propellants[0].get();
  return t;
}

void Fly(HostVessel &hv, double seconds, double dt = 1.0 / 60) {
  for (double t = 0; t < seconds - 1e-9; t += dt) host::PhysicsStep(hv, dt);
}

TEST(Physics, StandardAtmosphereFallsWithHeight) {
  const struct {
    double alt, density, temperature, sound;
    const char *what;
  } rows[] = {{0, 1.225, 288.15, 340.29, "sea level"},
              {-50, 1.225, 288.15, 340.29, "below: as at sea level"},
              {5000, 0.7364, 255.65, 320.53, "5 km"},
              {11000, 0.3639, 216.65, 295.07, "tropopause"},
              {20000, 0.0880, 216.65, 295.07, "20 km: same temperature"}};
  for (const auto &r : rows) {
    host::Atmosphere a = host::StandardAtmosphere(r.alt);
    EXPECT_NEAR(a.density, r.density, 0.002) << r.what;
    EXPECT_NEAR(a.temperature, r.temperature, 0.01) << r.what;
    EXPECT_NEAR(a.speed_of_sound, r.sound, 0.05) << r.what;
  }
}

TEST(Physics, FallThrustPropellantAndAddedForces) {
  HostVessel &hv = Vessel(false, 5000);
  host::Thruster &up = AddThruster(hv, _V(0, 0, 0), _V(0, 3, 0), 300000);  // direction not normalised
  host::Thruster &dry = AddThruster(hv, _V(0, 0, 0), _V(0, 1, 0), 1e6);
  dry.prop = nullptr, dry.level = 1;  // a thruster without propellant gives no thrust
  host::PlaceBody(hv);
  Fly(hv, 2.0);
  EXPECT_NEAR(hv.horizon_airspeed.y, -2 * g, 1e-6) << "a vacuum fall: no drag coefficients";
  EXPECT_NEAR(hv.altitude, 5000 - 0.5 * g * 4, 0.2);
  up.level = 1;
  Fly(hv, 1.0);
  // 300 kN along +y on 15 t less 1 s of 300 kg/s: the thrust is not tripled.
  EXPECT_NEAR(hv.propellants[0]->mass, 5000 - 300, 1e-6);
  EXPECT_NEAR(hv.horizon_airspeed.y + 2 * g, 300000 / 14850.0 - g, 0.01);
  hv.propellants[0]->mass = 0;
  double vy = hv.horizon_airspeed.y;
  hv.forces.push_back(host::Force{_V(0, 0, 10000 * 60.0), _V(0, 0, 0)});  // 1 m/s in one 1/60 s step on 10 t
  host::PhysicsStep(hv, 1.0 / 60);
  hv.forces.clear();  // the host drops them before the next step
  Fly(hv, 1.0 - 1.0 / 60);
  EXPECT_NEAR(hv.horizon_airspeed.y, vy - g, 1e-6) << "an empty tank gives no thrust";
  EXPECT_NEAR(hv.ship_airspeed.z, 1.0, 1e-9) << "an added force acts for its step only";
}

TEST(Physics, GroundSpringsHoldTwoCentimetresDeepWithoutBounceAndTheWheelsRoll) {
  HostVessel &hv = Vessel(true);
  host::PlaceBody(hv);
  EXPECT_NEAR(hv.altitude, 2.0 - 0.02, 1e-9) << "placed resting on its springs";
  for (int i = 0; i < 60 * 120; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    ASSERT_NEAR(hv.altitude, 1.98, 5e-4) << "step " << i;
    ASSERT_TRUE(hv.ground_contact) << "step " << i;
  }
  hv.body.pos.y = 2.98, hv.body.vel = _V(0, 0, 0);  // dropped from 1 m: critically damped
  double highest = 0;
  for (int i = 0; i < 600; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    if (hv.body.vel.y > 0) highest = std::max(highest, hv.altitude);
  }
  EXPECT_LT(highest, 1.98 + 1e-3);
  HostVessel &roll = Vessel(true);
  host::PlaceBody(roll);
  roll.body.vel = _V(0, 0, 20);
  Fly(roll, 2.0);
  EXPECT_NEAR(roll.airspeed, 20 - 0.025 * g * 2, 0.05) << "rolling friction of 0.025 of the load";
  HostVessel &reverse = Vessel(true);
  host::PlaceBody(reverse);
  reverse.body.vel = _V(0, 0, -20);
  Fly(reverse, 2.0);
  EXPECT_NEAR(reverse.airspeed, 20 - 0.025 * g * 2, 0.05) << "the same rolling backwards";
  HostVessel &back = Vessel(false, 3);
  back.bank = PI;  // upside down: the touchdown points are above the centre of gravity
  host::PlaceBody(back);
  Fly(back, 5.0);
  EXPECT_GT(back.altitude, -0.1) << "on its back it rests on the ground";
  EXPECT_LT(back.airspeed, 0.1);
}

TEST(Physics, DragIsReadThroughItsAddressAndStopsTheAirflowWithoutReversingIt) {
  double brake = 0;
  auto run = [&](double level) {
    HostVessel &hv = Vessel(false, 3000, 100);
    hv.drag_elements.push_back(host::DragElement{&brake, 20, _V(0, 0, 0)});
    host::PlaceBody(hv);
    brake = level;  // changed after set-up: the host reads the variable, not a copy
    Fly(hv, 1.0);
    return hv.ship_airspeed.z;
  };
  EXPECT_NEAR(run(0), 100, 1e-9);
  EXPECT_LT(run(1), 96);
  HostVessel &hv = Vessel(false, 3000, 200);
  hv.cw[0] = hv.cw[1] = hv.cw[2] = hv.cw[3] = 999, hv.cross_sections = _V(5, 5, 15);
  host::PlaceBody(hv);
  for (int i = 0; i < 10; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    ASSERT_GE(hv.ship_airspeed.z, 0) << "huge drag stops the airflow without reversing it, step " << i;
  }
}

TEST(Physics, HostModesKillRotationLevelTheHorizonAndHoldAltitude) {
  HostVessel &hv = Vessel(false, 5000);
  hv.bank = 0.1;
  host::PlaceBody(hv);
  hv.body.omega = _V(0.1, 0, 0);
  hv.navmode[NAVMODE_KILLROT] = true;
  host::PhysicsStep(hv, 0.01);
  EXPECT_NEAR(hv.body.omega.x, 0.1 - 2 * 0.1 * 0.01, 1e-6) << "rotation killed at twice its rate";
  hv.body.omega = _V(1, 0, 0);
  host::PhysicsStep(hv, 0.01);
  EXPECT_NEAR(hv.body.omega.x, 1 - 0.6 * 0.01, 1e-6) << "at most 0.6 rad/s2";
  hv.navmode[NAVMODE_KILLROT] = false, hv.navmode[NAVMODE_HLEVEL] = true;
  hv.body.omega = _V(0, 0, 0);
  host::PhysicsStep(hv, 0.01);
  EXPECT_NEAR(std::fabs(hv.body.omega.z), 2 * std::sin(0.1) * 0.01, 1e-6) << "rolling back at twice the bank";

  HostVessel &h2 = Vessel(false, 100);
  host::Thruster &a = AddThruster(h2, _V(0, 0, -3), _V(0, 1, 0), 200000);
  host::Thruster &b = AddThruster(h2, _V(0, 0, 3), _V(0, 1, 0), 200000);
  AddThruster(h2, _V(0, 0, -3), _V(0, 0, 1), 1000);  // a forward thruster lifts nothing
  h2.groups.push_back(std::make_unique<host::ThrusterGroup>());
  h2.groups.back()->type = THGROUP_HOVER, h2.groups.back()->members = {&a, &b};
  host::PlaceBody(h2);
  h2.navmode[NAVMODE_HOLDALT] = true;
  host::HostControllers(h2, 1.0 / 60);
  EXPECT_NEAR(a.level, 15000 * g / 400000, 1e-9) << "the hover thrusters carry the weight";
  h2.navmode[NAVMODE_HOLDALT] = false;
  host::HostControllers(h2, 1.0 / 60);
  EXPECT_FALSE(h2.body.hold_armed);
}

TEST(Physics, HostLinesAreVesselKeyFreeAndMalformedVectorsAreRefused) {
  HostVessel &hv = Vessel(false);
  host::PlaceBody(hv);
  const std::vector<std::string> lines = host::HostLines(hv);
  for (auto &line : lines)
    for (const char *k : {"GEAR", "ENG STAT", "NAVMODE", "ENG TURN", "REHEAT", "LIGHTS", "SPOT", "CAMERA", "TRIM"})
      EXPECT_NE(strncasecmp(line.c_str() + line.find_first_not_of(' '), k, std::strlen(k)), 0) << line;
  HostVessel &fresh = Vessel(false);
  for (const char *l : {"POS 1 2", "VEL 1 2 x", "ANGVEL 1 2 3 4", "POS nan 0 0", "VEL 1e999 0 0"})
    EXPECT_FALSE(host::ParseHostLine(fresh, l)) << l;
  EXPECT_ALL(!fresh.body.has_pos, !fresh.body.has_vel, !fresh.body.has_omega);
  for (auto &line : lines) EXPECT_TRUE(host::ParseHostLine(fresh, line.c_str())) << line;
  EXPECT_TRUE(host::ParseHostLine(fresh, "ANGVEL 0.01 -0.02 0.03"));
  EXPECT_EQ(fresh.body.omega.y, -0.02);
}

TEST(Physics, NotANumberOrAnImpossibleValueLeavesTheBodyFiniteAboveTheGround) {
  const double nan = std::nan("");
  double drag_var = nan, pushing = -1e300;
  const struct {
    const char *what;
    std::function<void(HostVessel &)> spoil;
  } rows[] = {
      {"thrust direction", [&](HostVessel &hv) { hv.thrusters[0]->dir = _V(nan, 1, 0); }},
      {"maximum thrust", [&](HostVessel &hv) { hv.thrusters[0]->max0 = nan; }},
      {"added force",
       [&](HostVessel &hv) {
         hv.forces.push_back(host::Force{_V(nan, 0, 0), _V(0, nan, 0)});
       }},
      {"drag coefficients", [&](HostVessel &hv) { hv.cw[0] = hv.cw[2] = nan; }},
      {"drag element variable",
       [&](HostVessel &hv) {
         hv.drag_elements.push_back({&drag_var, 5, _V(0, 0, 0)});
       }},
      {"drag element factor",
       [&](HostVessel &hv) {
         hv.drag_elements.push_back({&drag_var, nan, _V(0, 0, 0)});
       }},
      {"drag element variable -1e300: refused, it would push",
       [&](HostVessel &hv) {
         hv.drag_elements.push_back({&pushing, 1, _V(0, 0, 0)});
       }},
      {"size and inertia", [&](HostVessel &hv) { hv.size = nan, hv.pmi = _V(nan, nan, nan); }},
      {"touchdown point", [&](HostVessel &hv) { hv.touchdown[0] = _V(nan, nan, nan); }},
      {"a million metres below the ground", [&](HostVessel &hv) { hv.body.pos.y = -1e6; }},
      {"airspeed 1e308", [&](HostVessel &hv) { hv.body.vel = _V(0, -1e308, 1e308); }},
      {"turn rate 1e4", [&](HostVessel &hv) { hv.body.omega = _V(1e4, 0, 1e4); }},
      {"thrust 1e308, inertia 1e-300",
       [&](HostVessel &hv) { hv.thrusters[0]->max0 = 1e308, hv.pmi = _V(1e-300, 1e-300, 1e-300); }},
  };
  for (const auto &r : rows) {
    HostVessel &hv = Vessel(false, 20, 50);
    hv.cross_sections = _V(5, 5, 15);
    AddThruster(hv, _V(0, 0, 1), _V(0, 1, 0), 100000).level = 1;
    host::PlaceBody(hv);
    r.spoil(hv);
    Fly(hv, 3.0);
    for (double x : {hv.body.pos.x, hv.body.pos.y, hv.body.pos.z, hv.body.vel.x, hv.body.vel.y, hv.body.vel.z,
                     hv.body.omega.x, hv.body.omega.y, hv.body.omega.z, hv.altitude, hv.pitch, hv.propellants[0]->mass})
      EXPECT_TRUE(std::isfinite(x)) << r.what;
    EXPECT_GT(hv.altitude, -5) << r.what;
    EXPECT_LT(host::Length(hv.body.pos), 1e5 * 3 + 100) << r.what << ": no step goes further than the speed cap allows";
  }
}

// A body that starts in the ground, or is pressed deeper than any landing
// presses its springs, is put on the ground and never thrown up.
TEST(Physics, ABodyInTheGroundIsPutOnItWithoutBeingThrownUp) {
  const struct {
    const char *what;
    bool landed;
    double alt, later;  // later: a depth forced on the body after placing (0: none)
  } rows[] = {
      {"flying at ALT -2.58, points 2 m below", false, -2.58, 0},
      {"flying at ALT 0 (a block without STATUS)", false, 0, 0},
      {"flying at ALT 1.5, points half a metre in the ground", false, 1.5, 0},
      {"landed", true, 0, 0},
      {"pushed 1 m into the ground after placing", true, 0, 1.0},
  };
  for (const auto &r : rows) {
    HostVessel &hv = Vessel(r.landed, r.alt, 0);
    host::PlaceBody(hv);
    EXPECT_NEAR(hv.altitude, 1.98, 1e-9) << r.what << ": placed resting on its springs";
    if (r.later > 0) hv.body.pos.y = 2 - r.later, hv.body.vel = _V(0, 0, 0);
    double highest = 0;
    for (int i = 0; i < 600; ++i) host::PhysicsStep(hv, 1.0 / 60), highest = std::max(highest, hv.altitude);
    EXPECT_LT(highest, 1.99) << r.what << ": never thrown up";
  }
}

}  // namespace
