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

TEST_F(PhysicsTest, FreeFallFollowsStandardGravity) {
  HostVessel &hv = Vessel(false, 1000);
  host::PlaceBody(hv);
  Fly(hv, 2.0);
  // No drag coefficients were set: a vacuum fall, within the integration error.
  EXPECT_NEAR(hv.horizon_airspeed.y, -2 * host::kStandardGravity, 1e-6);
  EXPECT_NEAR(hv.altitude, 1000 - 0.5 * host::kStandardGravity * 4, 0.2);
  EXPECT_FALSE(hv.ground_contact);
  EXPECT_NEAR(hv.airspeed, 2 * host::kStandardGravity, 1e-6);
}

TEST_F(PhysicsTest, LandedVesselRestsOnItsTouchdownPointsForMinutes) {
  HostVessel &hv = Vessel(true);
  host::PlaceBody(hv);
  EXPECT_TRUE(hv.ground_contact);
  double start = hv.altitude;
  EXPECT_NEAR(start, 2.0, 0.05);
  for (int i = 0; i < 60 * 120; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    ASSERT_NEAR(hv.altitude, start, 0.01) << "step " << i;
    ASSERT_TRUE(hv.ground_contact) << "step " << i;
    ASSERT_LT(hv.airspeed, 0.01) << "step " << i;
  }
}

TEST_F(PhysicsTest, LandedPlacementTakesThePitchFromTheTouchdownPlane) {
  HostVessel &hv = Vessel(true);
  hv.touchdown[0] = _V(0, -1, 3);  // nose point 1 m higher than the mains: nose down
  hv.heading = PI / 2;
  host::PlaceBody(hv);
  EXPECT_NEAR(hv.pitch, -std::atan2(1.0, 5.0), 1e-9);
  EXPECT_NEAR(hv.heading, PI / 2, 1e-9);
  EXPECT_NEAR(hv.bank, 0, 1e-12);
}

TEST_F(PhysicsTest, ThrustUsesPropellantAndStopsWhenTheTankIsEmpty) {
  HostVessel &hv = Vessel(false, 5000);
  host::Thruster &up = AddThruster(hv, _V(0, 0, 0), _V(0, 3, 0), 300000, 1000);  // direction not normalised
  up.level = 1;
  host::PlaceBody(hv);
  Fly(hv, 1.0);
  // 300 kN along +y on 15 t less 1 s of 300 kg/s: the thrust is not tripled.
  EXPECT_NEAR(hv.propellants[0]->mass, 5000 - 300, 1e-6);
  EXPECT_GT(hv.horizon_airspeed.y, 300000 / 15000.0 - host::kStandardGravity);
  EXPECT_LT(hv.horizon_airspeed.y, 300000 / 14700.0 - host::kStandardGravity + 0.01);
  hv.propellants[0]->mass = 0;
  double vy = hv.horizon_airspeed.y;
  Fly(hv, 1.0);
  EXPECT_NEAR(hv.horizon_airspeed.y, vy - host::kStandardGravity, 1e-6) << "an empty tank gives no thrust";
  EXPECT_EQ(hv.propellants[0]->mass, 0);
}

TEST_F(PhysicsTest, ThrusterWithoutPropellantGivesNoThrust) {
  HostVessel &hv = Vessel(false, 5000);
  host::Thruster &t = AddThruster(hv, _V(0, 0, 0), _V(0, 1, 0), 1e6);
  t.prop = nullptr;
  t.level = 1;
  host::PlaceBody(hv);
  Fly(hv, 1.0);
  EXPECT_NEAR(hv.horizon_airspeed.y, -host::kStandardGravity, 1e-6);
}

TEST_F(PhysicsTest, OffCentreThrustAndForcesTurnTheVessel) {
  struct Row {
    VECTOR3 pos, dir;
    double dpitch_sign, dbank_sign, dheading_sign;
    const char *what;
  } rows[] = {
      {_V(0, 0, 5), _V(0, 1, 0), +1, 0, 0, "upward thrust at the nose pitches up"},
      {_V(0, 0, -5), _V(0, 1, 0), -1, 0, 0, "upward thrust at the tail pitches down"},
      {_V(5, 0, 0), _V(0, 1, 0), 0, -1, 0, "upward thrust at the right wing banks left"},
      {_V(0, 0, 5), _V(1, 0, 0), 0, 0, +1, "rightward thrust at the nose turns right"},
  };
  for (const Row &r : rows) {
    host::ResetWorld();
    HostVessel &hv = Vessel(false, 5000);
    hv.heading = 1.0;
    AddThruster(hv, r.pos, r.dir, 20000).level = 1;
    host::PlaceBody(hv);
    double p0 = hv.pitch, b0 = hv.bank, h0 = hv.heading;
    Fly(hv, 0.5);
    auto sign = [](double d) { return std::fabs(d) < 1e-3 ? 0 : (d > 0 ? 1 : -1); };
    EXPECT_EQ(sign(hv.pitch - p0), r.dpitch_sign) << r.what;
    EXPECT_EQ(sign(hv.bank - b0), r.dbank_sign) << r.what;
    EXPECT_EQ(sign(hv.heading - h0), r.dheading_sign) << r.what;
  }
}

TEST_F(PhysicsTest, AddedForcesActForTheStepTheyAreGivenFor) {
  HostVessel &hv = Vessel(false, 5000);
  host::PlaceBody(hv);
  hv.forces.push_back(host::Force{_V(0, 0, 15000 * 60.0), _V(0, 0, 0)});  // 1 m/s in one 1/60 s step
  host::PhysicsStep(hv, 1.0 / 60);
  EXPECT_NEAR(hv.ship_airspeed.z, 1.0, 1e-9);
  hv.forces.clear();  // the host drops them before the next step
  host::PhysicsStep(hv, 1.0 / 60);
  EXPECT_NEAR(hv.ship_airspeed.z, 1.0, 1e-9);
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

TEST_F(PhysicsTest, WheelBrakesStopARollingVesselSooner) {
  auto roll = [&](double brake) {
    host::ResetWorld();
    HostVessel &hv = Vessel(true);
    hv.max_wheelbrake_force = 3e5;
    hv.wheelbrake[0] = hv.wheelbrake[1] = brake;
    host::PlaceBody(hv);
    hv.body.vel = _V(0, 0, 20);
    Fly(hv, 8.0);
    return hv.airspeed;
  };
  double free = roll(0), braked = roll(1);
  EXPECT_GT(free, 15) << "rolling friction alone";
  EXPECT_LT(braked, 1) << "braked";
}

TEST_F(PhysicsTest, SideFrictionHoldsTheVesselAgainstSideways) {
  HostVessel &hv = Vessel(true);
  host::PlaceBody(hv);
  hv.body.vel = _V(1, 0, 0);  // sliding to the right of the nose
  Fly(hv, 2.0);
  EXPECT_LT(hv.airspeed, 0.05);
}

void ConstantLift(double, double, double, double *cl, double *cm, double *cd) { *cl = 0.5, *cm = 0, *cd = 0.05; }

TEST_F(PhysicsTest, AirfoilLiftsAcrossTheAirflow) {
  HostVessel &hv = Vessel(false, 2000);
  hv.airspeed = 100;
  hv.airfoils.push_back(host::Airfoil{LIFT_VERTICAL, _V(0, 0, 0), &ConstantLift, 5, 40, 6});
  host::PlaceBody(hv);
  host::PhysicsStep(hv, 0.01);
  double rho = host::StandardAtmosphere(2000).density;
  double q = 0.5 * rho * 100 * 100;
  double lift_accel = q * 40 * 0.5 / 15000, drag_accel = q * 40 * 0.05 / 15000;
  EXPECT_NEAR(hv.horizon_airspeed.y, (lift_accel - host::kStandardGravity) * 0.01, 1e-3);
  EXPECT_NEAR(hv.ship_airspeed.z, 100 - drag_accel * 0.01, 1e-3);
}

TEST_F(PhysicsTest, AltitudeHoldSetsTheHoverThrustersToCarryTheWeight) {
  HostVessel &hv = Vessel(false, 100);
  host::Thruster &a = AddThruster(hv, _V(0, 0, -3), _V(0, 1, 0), 200000);
  host::Thruster &b = AddThruster(hv, _V(0, 0, 3), _V(0, 1, 0), 200000);
  auto g = std::make_unique<host::ThrusterGroup>();
  g->type = THGROUP_HOVER;
  g->members = {&a, &b};
  hv.groups.push_back(std::move(g));
  host::PlaceBody(hv);
  hv.navmode[NAVMODE_HOLDALT] = true;
  host::HostControllers(hv, 1.0 / 60);
  EXPECT_NEAR(a.level, 15000 * host::kStandardGravity / 400000, 1e-9);
  for (int i = 0; i < 60 * 20; ++i) {
    host::PhysicsStep(hv, 1.0 / 60);
    host::HostControllers(hv, 1.0 / 60);
  }
  EXPECT_NEAR(hv.altitude, 100, 0.5);
  hv.navmode[NAVMODE_HOLDALT] = false;
  host::HostControllers(hv, 1.0 / 60);
  EXPECT_FALSE(hv.body.hold_armed);
}

TEST_F(PhysicsTest, PilotTranslationReachesItsThrustersOnlyInLinearMode) {
  HostVessel &hv = Vessel(false);
  host::Thruster &fwd = AddThruster(hv, _V(0, 0, -3), _V(0, 0, 1), 1000);
  auto g = std::make_unique<host::ThrusterGroup>();
  g->type = THGROUP_ATT_FORWARD;
  g->members = {&fwd};
  hv.groups.push_back(std::move(g));
  hv.body.pilot_linear[0] = 0.7;
  hv.attitude_mode = 0;
  host::HostControllers(hv, 0);
  EXPECT_EQ(fwd.level, 0) << "attitude control off";
  hv.attitude_mode = 2;
  host::HostControllers(hv, 0);
  EXPECT_EQ(fwd.level, 0.7) << "linear mode";
}

TEST_F(PhysicsTest, SameInputsGiveBitIdenticalFlights) {
  auto fly = [&]() {
    host::ResetWorld();
    HostVessel &hv = Vessel(false, 50);
    hv.airspeed = 30;
    hv.pitch = 0.2, hv.bank = -0.1;
    hv.cw[0] = hv.cw[1] = 0.3, hv.cw[2] = 0.6, hv.cw[3] = 0.9;
    hv.cross_sections = _V(5, 5, 15);
    hv.rot_drag = _V(3.5, 3.5, 3.5);
    AddThruster(hv, _V(0.3, 0, 4), _V(0, 1, 0.2), 120000).level = 0.8;
    host::PlaceBody(hv);
    Fly(hv, 20.0);
    return hv.body;
  };
  host::RigidBody a = fly(), b = fly();
  EXPECT_EQ(0, std::memcmp(&a.pos, &b.pos, sizeof a.pos));
  EXPECT_EQ(0, std::memcmp(&a.vel, &b.vel, sizeof a.vel));
  EXPECT_EQ(0, std::memcmp(&a.omega, &b.omega, sizeof a.omega));
  EXPECT_EQ(0, std::memcmp(a.rot, b.rot, sizeof a.rot));
}

TEST_F(PhysicsTest, SavedHostLinesPlaceTheBodyWhereItWas) {
  HostVessel &hv = Vessel(false, 700);
  hv.airspeed = 80, hv.pitch = 0.1, hv.bank = 0.2, hv.heading = 2.0;
  host::PlaceBody(hv);
  hv.body.omega = _V(0.01, -0.02, 0.03);
  Fly(hv, 3.0);
  std::vector<std::string> lines = host::HostLines(hv);
  const host::RigidBody saved = hv.body;  // the record goes with the world
  host::ResetWorld();
  HostVessel &copy = Vessel(false, 0);
  for (auto &l : lines) EXPECT_TRUE(host::ParseHostLine(copy, l.c_str())) << l;
  host::PlaceBody(copy);
  const double *r1 = saved.rot, *r2 = copy.body.rot;
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(r1[i], r2[i], 1e-9) << "rotation element " << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(saved.pos.data[i], copy.body.pos.data[i]) << "position " << i;
    EXPECT_EQ(saved.vel.data[i], copy.body.vel.data[i]) << "velocity " << i;
    EXPECT_EQ(saved.omega.data[i], copy.body.omega.data[i]) << "rates " << i;
  }
}

TEST_F(PhysicsTest, HostLineKeysNeverBeginWithAVesselKey) {
  HostVessel &hv = Vessel(false);
  host::PlaceBody(hv);
  const char *vessel_keys[] = {"GEAR", "ENG STAT", "NAVMODE", "ENG TURN", "REHEAT", "LIGHTS", "SPOT", "CAMERA", "TRIM"};
  for (auto &line : host::HostLines(hv)) {
    std::string key = line.substr(line.find_first_not_of(' '));
    for (const char *k : vessel_keys) EXPECT_NE(strncasecmp(key.c_str(), k, std::strlen(k)), 0) << line << " vs " << k;
  }
}

TEST_F(PhysicsTest, MalformedVectorLinesAreRefused) {
  HostVessel &hv = Vessel(false);
  const char *bad[] = {"POS 1 2", "VEL 1 2 x", "ANGVEL 1 2 3 4", "POS nan 0 0", "VEL 1e999 0 0"};
  for (const char *l : bad) {
    EXPECT_FALSE(host::ParseHostLine(hv, l)) << l;
  }
  EXPECT_FALSE(hv.body.has_pos);
  EXPECT_FALSE(hv.body.has_vel);
  EXPECT_FALSE(hv.body.has_omega);
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
