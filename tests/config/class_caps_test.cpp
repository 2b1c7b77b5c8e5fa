// Class set-up: the fifteen steps in their order with their values, the
// flight-model and airspeed branches, the touchdown points, the thruster
// groups, and the records the host keeps by address.
#include <cmath>
#include <cstring>

#include "config/airfoils.h"
#include "module/handles.h"
#include "tests/support/fixture.h"

using host::Num;
using tarvex_test::CallsEqual;

namespace {

class ClassCaps : public tarvex_test::ModuleTest {
 protected:
  // A constructed vessel whose class set-up alone is run, with the trace of
  // the construction dropped.
  host::HostVessel &SetUpOnly(const std::string &name = "T", int fmodel = 1, double airspeed = 0) {
    host::HostVessel &hv = host::AddVessel(name, "Tarvex", fmodel);
    EXPECT_TRUE(host::CreateVessel(api_, hv));
    vessels_.push_back(&hv);
    hv.airspeed = airspeed;
    trace().Clear();
    host::Callbacks(hv)->clbkSetClassCaps(nullptr);
    return hv;
  }
  static std::vector<int> Members(const host::HostVessel &hv, THGROUP_TYPE type) {
    std::vector<int> out;
    if (host::ThrusterGroup *g = hv.Group(type))
      for (host::Thruster *t : g->members) out.push_back(t->index);
    return out;
  }
};

std::string Rad(double deg) { return Num(deg * RAD); }

TEST_F(ClassCaps, CallsEveryStepInOrderWithItsValues) {
  host::HostVessel &hv = SetUpOnly();
  ShuttlePB &v = Ship(hv);
  const std::string a = std::to_string(v.anim_elevator), r = std::to_string(v.anim_rudder),
                    ra = std::to_string(v.anim_raileron), la = std::to_string(v.anim_laileron);
  const std::string eng = ", ph0, 320000, 0, 101400)";
  struct Step {
    const char *what;
    std::vector<std::string> calls;
  };
  const Step steps[] = {
      {"1 physical parameters",
       {"SetSize(8)", "SetEmptyMass(14000)", "SetCW(0.3, 0.3, 0.6, 0.9)", "SetWingAspect(1.7)",
        "SetWingEffectiveness(3.1)", "SetCrossSections((5, 5, 15))", "SetRotDrag((3.5, 3.5, 3.5))", "GetFlightModel()",
        "SetPitchMomentScale(0.0001)", "SetBankMomentScale(0.0001)", "SetPMI((15.5, 22.1, 7.7))", "SetTrimScale(0.5)",
        "SetMaxWheelbrakeForce(300000)"}},
      {"2 cockpit view 0 (lights on: the lit cockpit variant)",
       {"InsertMesh(Pelgar\\TarvexB-Cpit_n, 1, (0, 0.2, 4.5))", "SetMeshVisibilityMode(1, 4)",
        "InsertMesh(Pelgar\\TarvexB-status, 2, (0.01, 0.1, 5.4))", "SetMeshVisibilityMode(2, 4)",
        "InsertMesh(Pelgar\\TarvexB-invisible, 3, (0, 0.65, 5))", "SetMeshVisibilityMode(3, 4)",
        "SetCameraOffset((0, 0.75, 3.1))",
        "SetCameraRotationRange(" + Rad(50) + ", " + Rad(50) + ", " + Rad(30) + ", " + Rad(30) + ")",
        "oapiVCRegisterMFD(0, {1, 28})", "oapiVCRegisterMFD(1, {1, 29})"}},
      {"3 touchdown points",
       {"SetTouchdownPoints((0, " + Num(-2.13414 - 0.555 * 0.5) + ", 3.10011), (-1.285973, " +
        Num(-2.137747 - 0.555 * 0.5) + ", -2.175774), (1.285973, " + Num(-2.137747 - 0.555 * 0.5) + ", -2.175774))"}},
      {"4 airfoils",
       {"CreateAirfoil(0, (0, 0, -0.5), cf, 20, 270, 2.266)", "CreateAirfoil(1, (0, 0, -4), cf, 20, 50, 1.5)"}},
      {"5 control surfaces",
       {"CreateControlSurface(0, 7, 0.5, (0, 0, -17), 3, " + a + ")",
        "CreateControlSurface(1, 2, 0.5, (0, 2, -15), 1, " + r + ")",
        "CreateControlSurface(2, 4.8, 0.2, (17.8, 0, -17.8), 3, " + ra + ")",
        "CreateControlSurface(2, 4.8, 0.2, (-17.8, 0, -17.8), 4, " + la + ")",
        "CreateControlSurface(4, 7, 0.2, (0, 0, -15), 3, " + a + ")"}},
      {"6 drag elements",
       {"CreateVariableDragElement(&var, 10, (0, 0, 0))", "CreateVariableDragElement(&var, 2, (0, -1, 0))",
        "CreateVariableDragElement(&var, 4.33, (0, -1, 0))", "CreateVariableDragElement(&var, 4.33, (0, -1, 0))"}},
      {"7 propellant", {"CreatePropellantResource(20000, -1, 1)"}},
      {"8 exhaust texture", {"oapiRegisterExhaustTexture(\"TarvexA-Exhaust\")"}},
      {"9 spot light",
       {"AddSpotLight((0, -0.5703472, 7.260373), (0, 0, 1), 1000, 1e-06, 0, 1e-06, " + Rad(25) + ", " + Rad(40) +
        ", (1, 1, 1, 0), (1, 1, 1, 0), (0, 0, 0, 0))"}},
      {"10 engine thrusters and groups",
       {"CreateThruster((0, 0, -0.01), (0, 0, 1), 0" + eng,
        "CreateThruster((0, -0.1580385, -5.802197), (0, 0, 1), 0" + eng,
        "CreateThruster((0, -1, -4.5), (0, 1, 0), 0, ph0, 10000000, 0, 101400)",
        "CreateThruster((0, -1, 4.5), (0, 1, 0), 0, ph0, 10000000, 0, 101400)", "CreateThrusterGroup({th0}, 1, 0)",
        "CreateThrusterGroup({th1}, 1, 64)", "CreateThrusterGroup({th2, th3}, 2, 2)"}},
      {"11 reheat flame", {"AddExhaust(th1, 4, 0.65, (0, -0.1980385, -5.802197), (0, 0, -1), TarvexA-Exhaust)"}},
      {"12 slow-flight exhaust (airspeed 0)",
       {"GetAirspeed()", "AddExhaustStream(th1, (0, -0.1580385, -5.802197), spec)",
        "AddExhaust(th0, 2, 0.65, (0, -0.1580385, -4.602197), (0, 0, -0.5), TarvexA-Exhaust)",
        "AddExhaustStream(th0, (0, -0.2580385, -4.252197), spec)"}},
      {"13 attitude thrusters",
       {"CreateThruster((1, 0, 3), (0, 1, 0), 99000" + eng, "CreateThruster((1, 0, 3), (0, -1, 0), 99000" + eng,
        "CreateThruster((-1, 0, 3), (0, 1, 0), 99000" + eng, "CreateThruster((-1, 0, 3), (0, -1, 0), 99000" + eng,
        "CreateThruster((1, 0, -3), (0, 1, 0), 99000" + eng, "CreateThruster((1, 0, -3), (0, -1, 0), 99000" + eng,
        "CreateThruster((-1, 0, -3), (0, 1, 0), 99000" + eng, "CreateThruster((-1, 0, -3), (0, -1, 0), 99000" + eng,
        "CreateThruster((1, 0, 3), (-1, 0, 0), 25000" + eng, "CreateThruster((-1, 0, 3), (1, 0, 0), 25000" + eng,
        "CreateThruster((1, 0, -3), (-1, 0, 0), 25000" + eng, "CreateThruster((-1, 0, -3), (1, 0, 0), 25000" + eng,
        "CreateThruster((0, 0, -3), (0, 0, 1), 99000" + eng, "CreateThruster((0, 0, 3), (0, 0, -1), 198000" + eng}},
      {"13 attitude groups",
       {"CreateThrusterGroup({th4, th6, th9, th11}, 4, 3)", "CreateThrusterGroup({th5, th7, th8, th10}, 4, 4)",
        "CreateThrusterGroup({th4, th8, th7, th11}, 4, 7)", "CreateThrusterGroup({th5, th9, th6, th10}, 4, 8)",
        "CreateThrusterGroup({th4, th8, th6, th10}, 4, 11)", "CreateThrusterGroup({th5, th9, th7, th11}, 4, 12)",
        "CreateThrusterGroup({th12, th15}, 2, 5)", "CreateThrusterGroup({th13, th14}, 2, 6)",
        "CreateThrusterGroup({th12, th14}, 2, 10)", "CreateThrusterGroup({th13, th15}, 2, 9)",
        "CreateThrusterGroup({th16}, 1, 13)", "CreateThrusterGroup({th17}, 1, 14)"}},
      {"14 beacons",
       {"AddBeacon(shape 2, pos (-5.473293, -0.1608606, -3.634886), col (0.988, 0.133, 0.133), size 0.2, falloff "
        "0.6, period 0, duration 1, tofs 0.6, active false)",
        "AddBeacon(shape 2, pos (5.473293, -0.1608606, -3.634886), col (0.043, 0.992, 0.161), size 0.2, falloff 0.6, "
        "period 0, duration 1, tofs 0.6, active false)",
        "AddBeacon(shape 2, pos (-5.473293, -0.1608606, -3.935986), col (1, 1, 1), size 0.2, falloff 0.6, period "
        "1.5, duration 0.1, tofs 0.6, active false)",
        "AddBeacon(shape 2, pos (5.473293, -0.1608606, -3.935986), col (1, 1, 1), size 0.2, falloff 0.6, period 1.5, "
        "duration 0.1, tofs 0.6, active false)",
        "AddBeacon(shape 2, pos (2.296807, 2.450954, -6.458804), col (1, 1, 1), size 0.2, falloff 0.6, period 1.5, "
        "duration 0.1, tofs 0.3, active false)",
        "AddBeacon(shape 2, pos (-2.265976, 2.450954, -6.458804), col (1, 1, 1), size 0.2, falloff 0.6, period 1.5, "
        "duration 0.1, tofs 0.3, active false)",
        "AddBeacon(shape 2, pos (0, 1.097898, 2.585833), col (0.788, 0.333, 0.133), size 0.2, falloff 0.6, period "
        "1.5, duration 0.2, tofs 0.6, active false)",
        "AddBeacon(shape 2, pos (0, -1.051985, 2.48949), col (0.788, 0.333, 0.133), size 0.2, falloff 0.6, period "
        "1.5, duration 0.2, tofs 0.3, active false)",
        "AddBeacon(shape 2, pos (0, -0.5703472, 7.260373), col (1, 1, 1), size 0.2, falloff 0.6, period 0, duration "
        "1, tofs 0.3, active false)"}},
      {"15 exterior mesh", {"AddMesh(Pelgar\\TarvexB, null)"}},
  };
  const std::vector<std::string> actual = trace().Texts();
  size_t at = 0;
  for (const Step &s : steps) {
    const size_t end = std::min(actual.size(), at + s.calls.size());
    EXPECT_TRUE(CallsEqual(std::vector<std::string>(actual.begin() + at, actual.begin() + end), s.calls))
        << "step " << s.what;
    at = end;
  }
  EXPECT_EQ(at, actual.size()) << "calls after the exterior mesh";
}

TEST_F(ClassCaps, MomentScalesOnlyWithARealisticFlightModel) {
  struct Row {
    int fmodel;
    bool scaled;
  };
  const Row rows[] = {{0, false}, {1, true}, {2, true}, {-1, false}};
  for (const Row &r : rows) {
    host::HostVessel &hv = SetUpOnly("fm" + std::to_string(r.fmodel), r.fmodel);
    EXPECT_EQ(trace().Count("SetPitchMomentScale"), r.scaled ? 1u : 0u) << "flight model " << r.fmodel;
    EXPECT_EQ(trace().Count("SetBankMomentScale"), r.scaled ? 1u : 0u) << "flight model " << r.fmodel;
    EXPECT_EQ(hv.pitch_moment_scale, r.scaled ? 1e-4 : 0.0) << "flight model " << r.fmodel;
    EXPECT_EQ(hv.bank_moment_scale, r.scaled ? 1e-4 : 0.0) << "flight model " << r.fmodel;
  }
}

TEST_F(ClassCaps, SlowFlightExhaustDependsOnTheAirspeedAtSetUp) {
  struct Row {
    const char *what;
    double airspeed;
    bool slow;
  };
  const Row rows[] = {
      {"exactly 70 m/s is not slow", 70.0, false},
      {"no number is not slow", std::nan(""), false},
      {"69.9 m/s is slow", 69.9, true},
      {"standing still", 0.0, true},
      {"fast flight", 250.0, false},
      {"infinite airspeed", INFINITY, false},
  };
  for (const Row &r : rows) {
    host::HostVessel &hv = SetUpOnly(r.what, 1, r.airspeed);
    EXPECT_EQ(trace().Count("GetAirspeed"), 1u) << r.what;
    ASSERT_EQ(hv.streams.size(), r.slow ? 2u : 0u) << r.what;
    ASSERT_EQ(hv.exhausts.size(), r.slow ? 2u : 1u) << r.what;
    EXPECT_EQ(hv.exhausts[0].th, hv.thrusters[1].get()) << r.what << ": the reheat flame always exists";
    EXPECT_EQ(hv.exhausts[0].lscale, 4.0) << r.what;
    if (r.slow) {
      EXPECT_EQ(hv.exhausts[1].th, hv.thrusters[0].get()) << r.what << ": main-engine flame";
      EXPECT_EQ(hv.exhausts[1].dir.z, -0.5) << r.what << ": the main flame's direction is not of unit length";
      EXPECT_EQ(hv.streams[0].th, hv.thrusters[1].get()) << r.what;
      EXPECT_EQ(hv.streams[1].th, hv.thrusters[0].get()) << r.what;
    }
  }
}

TEST_F(ClassCaps, BothStreamsShareOneParticleSpec) {
  host::HostVessel &hv = SetUpOnly();
  ASSERT_EQ(hv.streams.size(), 2u);
  ASSERT_TRUE(hv.streams[0].has_spec && hv.streams[1].has_spec);
  EXPECT_EQ(std::memcmp(&hv.streams[0].spec, &hv.streams[1].spec, sizeof(PARTICLESTREAMSPEC)), 0);
  const PARTICLESTREAMSPEC &p = hv.streams[0].spec;
  EXPECT_EQ(std::vector<double>({p.srcsize, p.srcrate, p.v0, p.srcspread, p.lifetime, p.growthrate, p.atmslowdown,
                                 p.lmin, p.lmax, p.amin, p.amax}),
            std::vector<double>({0.4, 565.0, 11.0, 0.019, 0.14, 3.11, 1.0, 0.0, 2.0, 1.0, 1.0}));
  EXPECT_EQ(p.flags, 0u);
  EXPECT_EQ(p.ltype, PARTICLESTREAMSPEC::DIFFUSE);
  EXPECT_EQ(p.levelmap, PARTICLESTREAMSPEC::LVL_PSQRT);
  EXPECT_EQ(p.atmsmap, PARTICLESTREAMSPEC::ATM_PLOG);
  EXPECT_EQ(p.tex, nullptr);
}

TEST_F(ClassCaps, TouchdownPointsFollowTheStrutExtension) {
  struct Row {
    double strut, nose, mains;
  };
  const Row rows[] = {{0.5, -2.41164, -2.415247}, {0.0, -2.13414, -2.137747}, {1.0, -2.68914, -2.692747}};
  for (const Row &r : rows) {
    strut_ext = r.strut;
    host::HostVessel &hv = SetUpOnly("strut" + std::to_string(r.strut));
    ASSERT_TRUE(hv.touchdown_set);
    EXPECT_NEAR(hv.touchdown[0].y, r.nose, 1e-12) << "nose at strut_ext " << r.strut;
    EXPECT_NEAR(hv.touchdown[1].y, r.mains, 1e-12) << "left main at strut_ext " << r.strut;
    EXPECT_NEAR(hv.touchdown[2].y, r.mains, 1e-12) << "right main at strut_ext " << r.strut;
    EXPECT_EQ(hv.touchdown[0].z, 3.10011);
    EXPECT_EQ(hv.touchdown[1].x, -1.285973);
    EXPECT_EQ(hv.touchdown[2].x, 1.285973);
    EXPECT_EQ(hv.touchdown[1].z, -2.175774);
  }
}

TEST_F(ClassCaps, ThrusterGroupsHaveTheirMembers) {
  host::HostVessel &hv = SetUpOnly();
  ASSERT_EQ(hv.thrusters.size(), 18u);
  ASSERT_EQ(hv.groups.size(), 15u);
  struct Row {
    THGROUP_TYPE type;
    std::vector<int> members;  // host thruster indices: 0-3 engines, 4-17 attitude 0-13
  };
  const Row rows[] = {
      {THGROUP_MAIN, {0}},
      {THGROUP_USER, {1}},
      {THGROUP_HOVER, {2, 3}},
      {THGROUP_ATT_PITCHUP, {4, 6, 9, 11}},
      {THGROUP_ATT_PITCHDOWN, {5, 7, 8, 10}},
      {THGROUP_ATT_BANKLEFT, {4, 8, 7, 11}},
      {THGROUP_ATT_BANKRIGHT, {5, 9, 6, 10}},
      {THGROUP_ATT_UP, {4, 8, 6, 10}},
      {THGROUP_ATT_DOWN, {5, 9, 7, 11}},
      {THGROUP_ATT_YAWLEFT, {12, 15}},
      {THGROUP_ATT_YAWRIGHT, {13, 14}},
      {THGROUP_ATT_LEFT, {12, 14}},
      {THGROUP_ATT_RIGHT, {13, 15}},
      {THGROUP_ATT_FORWARD, {16}},
      {THGROUP_ATT_BACK, {17}},
  };
  for (const Row &r : rows) EXPECT_EQ(Members(hv, r.type), r.members) << "group type " << (int)r.type;

  // The kept handles are the engines, which start without thrust; the
  // backward thruster has twice the forward one's thrust.
  EXPECT_EQ(th_main, hv.thrusters[0].get());
  EXPECT_EQ(th_reheat, hv.thrusters[1].get());
  EXPECT_EQ(th_hover[0], hv.thrusters[2].get());
  EXPECT_EQ(th_hover[1], hv.thrusters[3].get());
  EXPECT_EQ(hv.thrusters[2]->pos.z, -4.5) << "th_hover[0] is the rear lift thruster";
  for (int i = 0; i < 4; ++i) EXPECT_EQ(hv.thrusters[i]->max0, 0.0) << "engine thruster " << i;
  EXPECT_EQ(hv.thrusters[17]->max0, 2 * hv.thrusters[16]->max0);
  for (auto &t : hv.thrusters) EXPECT_EQ(t->prop, hv.propellants[0].get()) << "thruster " << t->index;
  EXPECT_EQ(hv.FuelMass(), 20000.0) << "an initial mass of -1 fills the tank";
  EXPECT_EQ(spot_light, hv.lights[0].get());
  EXPECT_FALSE(spot_light->IsActive());
}

TEST_F(ClassCaps, AirfoilsAndControlSurfacesUseTheRoutinesAndAnimations) {
  host::HostVessel &hv = SetUpOnly();
  ASSERT_EQ(hv.airfoils.size(), 2u);
  EXPECT_EQ(hv.airfoils[0].cf, &VLiftCoeff);
  EXPECT_EQ(hv.airfoils[1].cf, &HLiftCoeff);
  EXPECT_EQ(hv.airfoils[0].A, 2.266) << "the wing's aspect ratio is the one its drag routine uses";
  EXPECT_EQ(hv.airfoils[1].A, 1.5);
  ShuttlePB &v = Ship(hv);
  ASSERT_EQ(hv.ctrl_surfaces.size(), 5u);
  const UINT anims[5] = {v.anim_elevator, v.anim_rudder, v.anim_raileron, v.anim_laileron, v.anim_elevator};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(hv.ctrl_surfaces[i].anim, anims[i]) << "control surface " << i;
}

TEST_F(ClassCaps, HostReadsDragFactorsAndBeaconsThroughTheModulesAddresses) {
  host::HostVessel &hv = SetUpOnly();
  ASSERT_EQ(hv.drag_elements.size(), 4u);
  const double *vars[4] = {&airbrake_pos, &gear_ext, &canopy_pos, &fandoor_pos};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(hv.drag_elements[i].drag, vars[i]) << "drag element " << i;
  gear_ext = 0.75;
  airbrake_pos = 0.25;
  EXPECT_EQ(*hv.drag_elements[1].drag * hv.drag_elements[1].factor, 1.5) << "the gear factor as the host reads it";
  EXPECT_EQ(*hv.drag_elements[0].drag * hv.drag_elements[0].factor, 2.5) << "the speed brake as the host reads it";

  ASSERT_EQ(hv.beacons.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(hv.beacons[i], beacon_records[i]) << "beacon " << i;
  beacon_landing.active = true;
  EXPECT_TRUE(hv.beacons[8]->active) << "switching a record in place is what the host sees";
  EXPECT_EQ(hv.beacons[8]->pos->z, 7.260373);
}

TEST_F(ClassCaps, ALaterVesselsSetUpReplacesTheSharedHandlesButNotTheAddresses) {
  camera_view = 1;
  host::HostVessel &a = SetUpOnly("A");
  EXPECT_EQ(camera_view, 0.0) << "every vessel starts in cockpit view 0";
  const VECTOR3 *pos = beacon_nav_red.pos;
  beacon_nav_red.active = true;
  host::HostVessel &b = SetUpOnly("B");
  EXPECT_EQ(th_main, b.thrusters[0].get());
  EXPECT_NE(th_main, a.thrusters[0].get());
  EXPECT_EQ(spot_light, b.lights[0].get());
  EXPECT_EQ(beacon_nav_red.pos, pos) << "beacon vectors stay at their addresses";
  EXPECT_EQ(a.beacons[0], b.beacons[0]) << "both vessels show the one shared record";
  EXPECT_FALSE(a.beacons[0]->active) << "the later set-up refills the shared records unlit";
  EXPECT_EQ(a.drag_elements[2].drag, b.drag_elements[2].drag);
}

TEST_F(ClassCaps, MeshesEndUpInTheirSlots) {
  host::HostVessel &hv = SetUpOnly();
  ASSERT_EQ(hv.meshes.size(), 4u);
  const char *names[4] = {"Pelgar\\TarvexB", "Pelgar\\TarvexB-Cpit_n", "Pelgar\\TarvexB-status",
                          "Pelgar\\TarvexB-invisible"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(hv.meshes[i].present) << "slot " << i;
    EXPECT_EQ(static_cast<host::Mesh *>(hv.meshes[i].mesh)->name, names[i]) << "slot " << i;
  }
  EXPECT_FALSE(hv.meshes[0].has_ofs) << "the exterior has no offset";
}

}  // namespace
