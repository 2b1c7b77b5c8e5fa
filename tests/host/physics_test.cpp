// The flight host's physics, on host vessel records set up by hand (no
// module): gravity, atmosphere, thrust and propellant, forces for one step,
// drag read through its address, ground contact, brakes, the altitude hold
// and determinism.
#include "host/physics.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "host/harness.h"
#include "host/host_lines.h"

namespace {

using host::HostVessel;

class PhysicsTest : public ::testing::Test {
 protected:
  void SetUp() override { host::ResetWorld(); }

  // A 10 t vessel with a 5 t tank and the usual three touchdown points.
  HostVessel &Vessel(bool landed, double alt = 1000) {
    HostVessel &hv = host::AddVessel("V" + std::to_string(host::world().vessels.size()));
    hv.empty_mass = 10000;
    hv.pmi = _V(10, 10, 5);
    hv.size = 8;
    hv.touchdown[0] = _V(0, -2, 3);
    hv.touchdown[1] = _V(-1.5, -2, -2);
    hv.touchdown[2] = _V(1.5, -2, -2);
    hv.touchdown_set = true;
    auto p = std::make_unique<host::Propellant>();
    p->maxmass = 5000, p->mass = 5000;
    hv.propellants.push_back(std::move(p));
    hv.ground_contact = landed;
    hv.altitude = alt;
    return hv;
  }

  host::Thruster &AddThruster(HostVessel &hv, VECTOR3 pos, VECTOR3 dir, double max0, double isp = 1000) {
    auto t = std::make_unique<host::Thruster>();
    t->index = (int)hv.thrusters.size();
    t->pos = pos, t->dir = dir, t->max0 = max0, t->isp0 = isp;
    t->prop = hv.propellants[0].get();
    hv.thrusters.push_back(std::move(t));
    return *hv.thrusters.back();
  }

  static void Fly(HostVessel &hv, double seconds, double dt = 1.0 / 60) {
    for (double t = 0; t < seconds - 1e-9; t += dt) host::PhysicsStep(hv, dt);
  }
};

TEST_F(PhysicsTest, StandardAtmosphereFallsWithHeight) {
  struct Row {
    double alt, density, temperature, sound;
    const char *what;
  } rows[] = {
      {0, 1.225, 288.15, 340.29, "sea level"},
      {-50, 1.225, 288.15, 340.29, "below the ground counts as the ground"},
      {5000, 0.7364, 255.65, 320.53, "troposphere, 5 km"},
      {11000, 0.3639, 216.65, 295.07, "tropopause"},
      {20000, 0.0880, 216.65, 295.07, "isothermal layer, 20 km"},
  };
  for (const Row &r : rows) {
    host::Atmosphere a = host::StandardAtmosphere(r.alt);
    EXPECT_NEAR(a.density, r.density, 0.002) << r.what;
    EXPECT_NEAR(a.temperature, r.temperature, 0.01) << r.what;
    EXPECT_NEAR(a.speed_of_sound, r.sound, 0.05) << r.what;
  }
}

TEST_F(PhysicsTest, FallThrustPropellantAndAddedForces) {
  HostVessel &hv = Vessel(false, 5000);
  host::Thruster &up = AddThruster(hv, _V(0, 0, 0), _V(0, 3, 0), 300000, 1000);  // direction not normalised
  host::Thruster &dry = AddThruster(hv, _V(0, 0, 0), _V(0, 1, 0), 1e6);
  dry.prop = nullptr, dry.level = 1;  // a thruster without propellant gives no thrust
  host::PlaceBody(hv);
  Fly(hv, 2.0);
  // No drag coefficients were set: a vacuum fall, within the integration error.
  EXPECT_NEAR(hv.horizon_airspeed.y, -2 * host::kStandardGravity, 1e-6);
  EXPECT_NEAR(hv.altitude, 5000 - 0.5 * host::kStandardGravity * 4, 0.2);
  up.level = 1;
  Fly(hv, 1.0);
  // 300 kN along +y on 15 t less 1 s of 300 kg/s: the thrust is not tripled.
  EXPECT_NEAR(hv.propellants[0]->mass, 5000 - 300, 1e-6);
  EXPECT_NEAR(hv.horizon_airspeed.y + 2 * host::kStandardGravity, 300000 / 14850.0 - host::kStandardGravity, 0.01);
  hv.propellants[0]->mass = 0;
  double vy = hv.horizon_airspeed.y;
  hv.forces.push_back(host::Force{_V(0, 0, 10000 * 60.0), _V(0, 0, 0)});  // 1 m/s in one 1/60 s step on 10 t
  host::PhysicsStep(hv, 1.0 / 60);
  hv.forces.clear();  // the host drops them before the next step
  Fly(hv, 1.0 - 1.0 / 60);
  EXPECT_NEAR(hv.horizon_airspeed.y, vy - host::kStandardGravity, 1e-6) << "an empty tank gives no thrust";
  EXPECT_NEAR(hv.ship_airspeed.z, 1.0, 1e-9) << "an added force acts for its step only";
}

TEST_F(PhysicsTest, LandedVesselSitsTwoCentimetresDeepOnItsSpringsForMinutes) {
  HostVessel &hv = Vessel(true);
  host::PlaceBody(hv);
  EXPECT_TRUE(hv.ground_contact);
  EXPECT_NEAR(hv.altitude, 2.0 - 0.02, 1e-9) << "placed resting on its springs";
  for (int i = 0; i < 60 * 120; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    ASSERT_NEAR(hv.altitude, 1.98, 5e-4) << "step " << i;
    ASSERT_TRUE(hv.ground_contact) << "step " << i;
  }
  // Dropped from 1 m the springs catch it critically damped: no bounce back up.
  hv.body.pos.y = 2.98, hv.body.vel = _V(0, 0, 0);
  double highest_after_contact = 0;
  for (int i = 0; i < 600; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    if (hv.body.vel.y > 0) highest_after_contact = std::max(highest_after_contact, hv.altitude);
  }
  EXPECT_LT(highest_after_contact, 1.98 + 1e-3);
  EXPECT_NEAR(hv.altitude, 1.98, 5e-4);
}

TEST_F(PhysicsTest, WheelBrakesAndSideFrictionStopTheVessel) {
  auto roll = [&](double brake, VECTOR3 vel) {
    host::ResetWorld();
    HostVessel &hv = Vessel(true);
    hv.max_wheelbrake_force = 3e5;
    hv.wheelbrake[0] = hv.wheelbrake[1] = brake;
    host::PlaceBody(hv);
    hv.body.vel = vel;
    Fly(hv, 2.0);
    return hv.airspeed;
  };
  // Rolling friction of 0.025 of the load takes 0.49 m/s in 2 s; the brakes much more.
  EXPECT_NEAR(roll(0, _V(0, 0, 20)), 20 - 0.025 * host::kStandardGravity * 2, 0.05) << "rolling friction alone";
  EXPECT_LT(roll(1, _V(0, 0, 20)), 15) << "braked";
  EXPECT_LT(roll(0, _V(1, 0, 0)), 0.05) << "sliding sideways";
}

void ConstantLift(double, double, double, double *cl, double *cm, double *cd) { *cl = 0.5, *cm = 0, *cd = 0.05; }

TEST_F(PhysicsTest, AirfoilAndControlSurfaceLiftGrowWithTheDynamicPressure) {
  const double rho = 1.0065;  // the standard atmosphere at 2000 m
  const double q = 0.5 * rho * 100 * 100;
  struct Row {
    const char *what;
    bool surface;
    double lift_accel, drag_accel;
  } rows[] = {
      {"airfoil: lift across the airflow, drag along it", false, q * 40 * 0.5 / 15000, q * 40 * 0.05 / 15000},
      {"elevator at level 0.5: dCl 0.8 over 6 m2", true, q * 0.5 * 0.8 * 6 / 15000, 0},
  };
  for (const Row &r : rows) {
    host::ResetWorld();
    HostVessel &hv = Vessel(false, 2000);
    hv.airspeed = 100;
    if (r.surface) {
      hv.ctrl_surfaces.push_back(host::ControlSurface{AIRCTRL_ELEVATOR, 6, 0.8, _V(0, 0, 0), AIRCTRL_AXIS_XPOS, 0});
      hv.ctrl_level[AIRCTRL_ELEVATOR] = 0.5;
    } else {
      hv.airfoils.push_back(host::Airfoil{LIFT_VERTICAL, _V(0, 0, 0), &ConstantLift, 5, 40, 6});
    }
    host::PlaceBody(hv);
    host::PhysicsStep(hv, 0.01);
    EXPECT_NEAR(std::fabs(hv.horizon_airspeed.y + host::kStandardGravity * 0.01), r.lift_accel * 0.01, 1e-4) << r.what;
    EXPECT_NEAR(hv.ship_airspeed.z, 100 - r.drag_accel * 0.01, 1e-4) << r.what;
  }
}

TEST_F(PhysicsTest, HostModesKillRotationLevelTheHorizonHoldAltitudeAndPassTranslation) {
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
  Fly(hv, 10.0);
  EXPECT_NEAR(hv.bank, 0, 0.01) << "levelled";

  host::ResetWorld();
  HostVessel &h2 = Vessel(false, 100);
  host::Thruster &a = AddThruster(h2, _V(0, 0, -3), _V(0, 1, 0), 200000);
  host::Thruster &b = AddThruster(h2, _V(0, 0, 3), _V(0, 1, 0), 200000);
  host::Thruster &fwd = AddThruster(h2, _V(0, 0, -3), _V(0, 0, 1), 1000);
  h2.groups.push_back(std::make_unique<host::ThrusterGroup>());
  h2.groups.back()->type = THGROUP_HOVER, h2.groups.back()->members = {&a, &b};
  h2.groups.push_back(std::make_unique<host::ThrusterGroup>());
  h2.groups.back()->type = THGROUP_ATT_FORWARD, h2.groups.back()->members = {&fwd};
  host::PlaceBody(h2);
  h2.body.pilot_linear[0] = 0.7;
  h2.navmode[NAVMODE_HOLDALT] = true;
  host::HostControllers(h2, 1.0 / 60);
  EXPECT_NEAR(a.level, 15000 * host::kStandardGravity / 400000, 1e-9) << "the hover thrusters carry the weight";
  EXPECT_EQ(fwd.level, 0) << "translation needs the linear attitude mode";
  h2.attitude_mode = 2;
  for (int i = 0; i < 60 * 20; ++i) {
    host::PhysicsStep(h2, 1.0 / 60);
    host::HostControllers(h2, 1.0 / 60);
  }
  EXPECT_NEAR(h2.altitude, 100, 0.5);
  EXPECT_EQ(fwd.level, 0.7) << "linear mode";
  h2.navmode[NAVMODE_HOLDALT] = false;
  host::HostControllers(h2, 1.0 / 60);
  EXPECT_FALSE(h2.body.hold_armed);
}

TEST_F(PhysicsTest, HostLinesAreVesselKeyFreeAndMalformedVectorsAreRefused) {
  HostVessel &hv = Vessel(false);
  host::PlaceBody(hv);
  const char *vessel_keys[] = {"GEAR", "ENG STAT", "NAVMODE", "ENG TURN", "REHEAT", "LIGHTS", "SPOT", "CAMERA", "TRIM"};
  for (auto &line : host::HostLines(hv)) {
    std::string key = line.substr(line.find_first_not_of(' '));
    for (const char *k : vessel_keys) EXPECT_NE(strncasecmp(key.c_str(), k, std::strlen(k)), 0) << line << " vs " << k;
  }
  host::ResetWorld();
  HostVessel &fresh = Vessel(false);
  for (const char *l : {"POS 1 2", "VEL 1 2 x", "ANGVEL 1 2 3 4", "POS nan 0 0", "VEL 1e999 0 0"})
    EXPECT_FALSE(host::ParseHostLine(fresh, l)) << l;
  EXPECT_FALSE(fresh.body.has_pos || fresh.body.has_vel || fresh.body.has_omega);
  for (auto &line : host::HostLines(hv)) EXPECT_TRUE(host::ParseHostLine(fresh, line.c_str())) << line;
  EXPECT_TRUE(host::ParseHostLine(fresh, "ANGVEL 0.01 -0.02 0.03"));
  EXPECT_EQ(fresh.body.omega.y, -0.02);
}

TEST_F(PhysicsTest, DragElementIsReadThroughItsAddressEveryStep) {
  double brake = 0;
  auto run = [&](double level) {
    host::ResetWorld();
    HostVessel &hv = Vessel(false, 3000);
    hv.airspeed = 100;
    hv.drag_elements.push_back(host::DragElement{&brake, 20, _V(0, 0, 0)});
    host::PlaceBody(hv);
    brake = level;  // changed after set-up: the host reads the variable, not a copy
    Fly(hv, 1.0);
    return hv.ship_airspeed.z;
  };
  double free = run(0), braked = run(1);
  EXPECT_NEAR(free, 100, 1e-9);
  EXPECT_LT(braked, 96);
  EXPECT_GT(braked, 0);
}

TEST_F(PhysicsTest, HugeDragStopsTheAirflowWithoutReversingIt) {
  HostVessel &hv = Vessel(false, 3000);
  hv.airspeed = 200;
  hv.cw[0] = hv.cw[1] = hv.cw[2] = hv.cw[3] = 999;
  hv.cross_sections = _V(5, 5, 15);
  host::PlaceBody(hv);
  for (int i = 0; i < 10; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    ASSERT_GE(hv.ship_airspeed.z, 0) << "step " << i;
  }
}

TEST_F(PhysicsTest, NotANumberFromTheModuleLeavesTheBodyFinite) {
  const double nan = std::nan("");
  double drag_var = nan;
  struct Row {
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
         hv.drag_elements.push_back(host::DragElement{&drag_var, 5, _V(0, 0, 0)});
       }},
      {"drag element factor",
       [&](HostVessel &hv) {
         hv.drag_elements.push_back(host::DragElement{&drag_var, nan, _V(0, 0, 0)});
       }},
      {"size and inertia", [&](HostVessel &hv) { hv.size = nan, hv.pmi = _V(nan, nan, nan); }},
      {"touchdown point", [&](HostVessel &hv) { hv.touchdown[0] = _V(nan, nan, nan); }},
      // Finite but impossible: the body stays finite and comes back above the ground.
      {"a million metres below the ground", [&](HostVessel &hv) { hv.body.pos.y = -1e6; }},
      {"airspeed 1e308", [&](HostVessel &hv) { hv.body.vel = _V(0, -1e308, 1e308); }},
      {"turn rate 1e4", [&](HostVessel &hv) { hv.body.omega = _V(1e4, 0, 1e4); }},
      {"thrust 1e308, inertia 1e-300",
       [&](HostVessel &hv) { hv.thrusters[0]->max0 = 1e308, hv.pmi = _V(1e-300, 1e-300, 1e-300); }},
  };
  for (const Row &r : rows) {
    host::ResetWorld();
    HostVessel &hv = Vessel(false, 20);
    hv.airspeed = 50;
    hv.cross_sections = _V(5, 5, 15);
    AddThruster(hv, _V(0, 0, 1), _V(0, 1, 0), 100000).level = 1;
    host::PlaceBody(hv);
    r.spoil(hv);
    Fly(hv, 3.0);
    for (double x : {hv.body.pos.x, hv.body.pos.y, hv.body.pos.z, hv.body.vel.x, hv.body.vel.y, hv.body.vel.z,
                     hv.body.omega.x, hv.body.omega.y, hv.body.omega.z, hv.altitude, hv.pitch, hv.propellants[0]->mass})
      EXPECT_TRUE(std::isfinite(x)) << r.what;
    EXPECT_GT(hv.altitude, -5) << r.what;
  }
}

TEST_F(PhysicsTest, VesselOnItsBackRestsOnTheGroundInsteadOfSinking) {
  HostVessel &hv = Vessel(false, 3);
  hv.bank = PI;  // upside down: the touchdown points are above the centre of gravity
  host::PlaceBody(hv);
  Fly(hv, 5.0);
  EXPECT_GT(hv.altitude, -0.1);
  EXPECT_LT(hv.airspeed, 0.1);
}

}  // namespace
