// The vessel's animations: what the constructor declares, in which order,
// and the geometry the declarations give once the host evaluates them.
#include <cmath>

#include "host/animation_eval.h"
#include "module/handles.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;

namespace {

const double kDeg = 3.141592653589793 / 180;

// Rotations about lines parallel to the frame axes through `c`, right-handed.
VECTOR3 RotX(const VECTOR3 &p, const VECTOR3 &c, double deg) {
  const double a = deg * kDeg, y = p.y - c.y, z = p.z - c.z;
  return _V(p.x, c.y + y * std::cos(a) - z * std::sin(a), c.z + y * std::sin(a) + z * std::cos(a));
}
VECTOR3 RotY(const VECTOR3 &p, const VECTOR3 &c, double deg) {
  const double a = deg * kDeg, x = p.x - c.x, z = p.z - c.z;
  return _V(c.x + z * std::sin(a) + x * std::cos(a), p.y, c.z + z * std::cos(a) - x * std::sin(a));
}
VECTOR3 RotZ(const VECTOR3 &p, const VECTOR3 &c, double deg) {
  const double a = deg * kDeg, x = p.x - c.x, y = p.y - c.y;
  return _V(c.x + x * std::cos(a) - y * std::sin(a), c.y + x * std::sin(a) + y * std::cos(a), p.z);
}
VECTOR3 Plus(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x + b.x, a.y + b.y, a.z + b.z); }

// Transforms hold their angles in single precision: a few tenths of a
// micrometre over the vessel's size.
::testing::AssertionResult Near(const VECTOR3 &actual, const VECTOR3 &expected, double tol = 2e-6) {
  if (std::fabs(actual.x - expected.x) <= tol && std::fabs(actual.y - expected.y) <= tol &&
      std::fabs(actual.z - expected.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << host::Vec(actual) << ", expected " << host::Vec(expected);
}

// Points carried by groups of the exterior mesh (0).
const UINT kNoseLeg = 6, kNoseWheel = 125, kLeftMain = 14, kLeftWheel = 126, kRightWheel = 127, kLeftDoor = 173;
const VECTOR3 kNoseHub = _V(0, -2.124649, 3.099004);
const VECTOR3 kNoseRim = _V(0, -2.124649, 3.099004 + 0.29);  // front of the nose tyre
const VECTOR3 kNoseStrutPoint = _V(0.1, -1.5, 3.2);
const VECTOR3 kSteerPivot = _V(0, -0.8829094, 3.099459);
const VECTOR3 kLeftContact = _V(-1.285973, -2.137747, -2.175774);
const VECTOR3 kRightContact = _V(1.285973, -2.137747, -2.175774);
const VECTOR3 kLeftHinge = _V(-1.15901, -0.4520788, -2.172986);
const VECTOR3 kRightHinge = _V(1.15901, -0.4520788, -2.172986);
const VECTOR3 kNoseHinge = _V(0, -0.9227885, 3.099234);

class Animations : public tarvex_test::ModuleTest {
 protected:
  void Set(host::HostVessel &hv, UINT anim, double state) { hv.vessel->SetAnimation(anim, state); }
  static VECTOR3 At(const host::HostVessel &hv, UINT grp, const VECTOR3 &p, UINT mesh = 0) {
    return host::AnimatedPoint(hv, mesh, grp, p);
  }
};

TEST_F(Animations, ConstructorCreatesAnimationsAndAddsComponentsInOrder) {
  host::HostVessel &hv = NewVessel("A", false);
  std::vector<std::string> expected;
  auto create = [&](const char *state) { expected.push_back(std::string("CreateAnimation(") + state + ")"); };
  int comp = 0;
  auto add = [&](int anim, const char *s0, const char *s1, int parent = 0) {
    expected.push_back("AddAnimationComponent(" + std::to_string(anim) + ", " + s0 + ", " + s1 + ", comp" +
                       std::to_string(++comp) + ", " + (parent ? "comp" + std::to_string(parent) : "null") + ")");
  };
  create("0"), add(0, "0", "1");                                  // status dial
  create("0.5"), create("0"), create("0.5"), create("0.5");       // steering, wheels, nose and main struts
  add(4, "0", "1"), add(1, "0", "1"), add(3, "0", "1", 3);        // main struts; steering; nose strut on it
  add(2, "0", "1", 4), add(2, "0", "1", 2), add(2, "0", "1", 2);  // nose wheel on its strut, main wheels
  create("0"), add(5, "0", "0.5"), add(5, "0.2", "0.5"), add(5, "0.2", "0.5");         // gear: nose leg, main legs
  add(5, "0.5", "1"), add(5, "0.5", "1"), add(5, "0.5", "1");                          // doors
  add(5, "0", "0.2"), add(5, "0", "0.2"), add(5, "0.2", "0.5"), add(5, "0.2", "0.5");  // tilts, links
  create("0.5"), add(6, "0", "1"), add(6, "0", "1");                                   // rudders
  create("0.5"), add(7, "0", "1"), create("0.5"), add(8, "0", "1"), create("0.5"), add(9, "0", "1");
  create("0"), add(10, "0", "1"), create("0"), add(11, "0", "1");                     // brakes
  create("0"), add(12, "0", "1"), create("0"), add(13, "0", "1");                     // canopy, lift fan
  create("0"), add(14, "0", "1"), add(14, "0", "1"), create("0"), add(15, "0", "1");  // covers, nozzle pointer
  create("0");                                                                        // fan doors
  add(16, "0", "0.5"), add(16, "0", "0.5"), add(16, "0", "1"), add(16, "0", "0.5"), add(16, "0", "0.5");
  for (int a = 17; a <= 22; ++a) create("0"), add(a, "0", "1");  // status indications
  EXPECT_TRUE(
      CallsEqual(trace().Filter(std::vector<std::string>{"CreateAnimation", "AddAnimationComponent"}), expected));
  EXPECT_EQ(trace().Count("CreateAnimation") + trace().Count("AddAnimationComponent"), 63u);

  // Each identifier holds the result of its own creation.
  ShuttlePB &v = Ship(hv);
  const UINT ids[] = {v.anim_status_dial, v.anim_nosewheel_steer, v.anim_wheel,    v.anim_nose_strut, v.anim_main_strut,
                      v.anim_gear,        v.anim_rudder,          v.anim_elevator, v.anim_laileron,   v.anim_raileron,
                      v.anim_lbrake,      v.anim_rbrake,          v.anim_canopy,   v.anim_liftfan,    v.anim_cover,
                      v.anim_nozzle_ind,  v.anim_fandoors,        v.anim_status_a, v.anim_status_b,   v.anim_status_c,
                      v.anim_status_d,    v.anim_status_e,        v.anim_status_f};
  for (UINT i = 0; i < 23; ++i) EXPECT_EQ(ids[i], i) << "identifier created as animation " << i;
}

TEST_F(Animations, EveryComponentMovesItsGroupsAsDeclared) {
  host::HostVessel &hv = NewVessel("A", false);
  ShuttlePB &v = Ship(hv);
  struct Row {
    UINT anim;
    UINT mesh;
    std::vector<UINT> groups;
    char kind;          // 'r' rotate, 't' translate
    VECTOR3 ref, axis;  // for a translation, ref is the shift
    double deg;
    int parent;
  };
  const VECTOR3 o = _V(0, 0, 0), X = _V(1, 0, 0), Y = _V(0, 1, 0), Z = _V(0, 0, 1);
  const Row rows[40] = {
      {v.anim_status_dial, 2, {39, 40}, 'r', _V(-0.0007841311, -0.5231625, -0.01118099), Z, 180, 0},
      {v.anim_main_strut, 0, {14, 15, 16, 18, 20, 21}, 't', _V(0, -0.4, 0), o, 0, 0},
      {v.anim_nosewheel_steer, 0, {6, 7, 8, 9}, 'r', kSteerPivot, Y, 70, 0},
      {v.anim_nose_strut, 0, {6, 7, 8, 9}, 't', _V(0, -0.5, 0), o, 0, 3},
      {v.anim_wheel, 0, {125}, 'r', kNoseHub, X, 360, 4},
      {v.anim_wheel, 0, {126}, 'r', _V(0, -2.019984, -2.173306), X, 360, 2},
      {v.anim_wheel, 0, {127}, 'r', _V(0, -2.019984, -2.173306), X, 360, 2},
      {v.anim_gear, 0, {6, 7, 8, 9, 10, 11, 12, 13, 125}, 'r', kNoseHinge, X, -115, 0},
      {v.anim_gear, 0, {14, 15, 16, 126}, 'r', kLeftHinge, X, -99, 0},
      {v.anim_gear, 0, {18, 20, 21, 127}, 'r', kRightHinge, X, -99, 0},
      {v.anim_gear, 0, {5}, 'r', _V(0.2282761, -0.870366, 3.679197), Z, -93, 0},
      {v.anim_gear, 0, {173, 174}, 'r', _V(-1.199155, -0.3544314, -1.368714), Z, 99, 0},
      {v.anim_gear, 0, {175, 176}, 'r', _V(1.199155, -0.3544314, -1.368714), Z, -99, 0},
      {v.anim_gear, 0, {14, 15, 16, 17, 126}, 'r', kLeftHinge, Z, 15, 0},
      {v.anim_gear, 0, {18, 19, 20, 21, 127}, 'r', kRightHinge, Z, -15, 0},
      {v.anim_gear, 0, {17}, 'r', _V(-1.15901, -0.4969712, -1.226534), X, 50, 0},
      {v.anim_gear, 0, {19}, 'r', _V(1.15901, -0.4969712, -1.226534), X, 50, 0},
      {v.anim_rudder, 0, {118, 119}, 'r', _V(-1.514455, 0.487969, -6.5), _V(-0.4, 1, -0.3), -20, 0},
      {v.anim_rudder, 0, {121, 122}, 'r', _V(1.514455, 0.487969, -6.5), _V(0.4, 1, -0.3), -20, 0},
      {v.anim_elevator, 0, {133, 145}, 'r', _V(0, -0.06493155, -6.711857), X, 27, 0},
      {v.anim_laileron, 0, {140}, 'r', _V(-3.166646, -0.104697, -4.633918), _V(1, 0, -0.1), -33, 0},
      {v.anim_raileron, 0, {158}, 'r', _V(3.166646, -0.104697, -4.633918), _V(1, 0, 0.1), 33, 0},
      {v.anim_lbrake, 0, {141}, 'r', _V(-2.43472, -0.1016045, -4.427609), _V(1, 0, -0.1), 55, 0},
      {v.anim_rbrake, 0, {159}, 'r', _V(2.43472, -0.1016045, -4.427609), _V(1, 0, 0.1), 55, 0},
      {v.anim_canopy, 0, {2, 90, 217}, 'r', _V(0, 0.3164778, 5.247279), X, 40, 0},
      {v.anim_liftfan,
       0,
       {177, 178, 179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193},
       'r',
       _V(0, 0, 1.563214),
       Y,
       -360,
       0},
      {v.anim_cover, 0, {32, 130}, 'r', _V(0, 0.6463552, -4.58964), X, -35, 0},
      {v.anim_cover, 0, {31, 85}, 'r', _V(0, 0.5, -5.1), X, -80, 0},
      {v.anim_nozzle_ind, 2, {37, 38}, 'r', _V(-0.03648937, -0.3617395, 0.0190969), Z, -90, 0},
      {v.anim_fandoors, 0, {164}, 'r', _V(0, 0.847259, 0), Z, 80, 0},
      {v.anim_fandoors, 0, {165}, 'r', _V(0, 0.847259, 0), Z, -80, 0},
      {v.anim_fandoors, 0, {96, 166, 167, 168, 169, 170}, 'r', _V(0, 0.7931479, 0.957247), X, -60, 0},
      {v.anim_fandoors, 0, {171}, 'r', _V(-0.525374, -0.894828, 0), Z, -90, 0},
      {v.anim_fandoors, 0, {172}, 'r', _V(0.525374, -0.894828, 0), Z, 90, 0},
      {v.anim_status_a, 2, {22, 23, 29, 30, 33, 34}, 't', _V(0, 0, 0.15), o, 0, 0},
      {v.anim_status_b, 2, {24, 27}, 't', _V(0, 0, -0.01), o, 0, 0},
      {v.anim_status_c, 2, {5, 6, 7}, 't', _V(0, 0, 0.05), o, 0, 0},
      {v.anim_status_d, 2, {8, 9, 10, 11}, 't', _V(0, 0, 0.05), o, 0, 0},
      {v.anim_status_e, 2, {2, 3, 4}, 't', _V(0, 0, 0.05), o, 0, 0},
      {v.anim_status_f, 2, {41, 42, 43, 44, 45, 46, 47}, 't', _V(0, 0, 0.015), o, 0, 0},
  };
  ASSERT_EQ(hv.components.size(), 40u);
  for (int i = 0; i < 40; ++i) {
    const Row &r = rows[i];
    const host::AnimComponent &c = *hv.components[i];
    const std::string what = "component " + std::to_string(i + 1);
    EXPECT_EQ(c.anim, r.anim) << what;
    ASSERT_NE(c.trans, nullptr) << what;
    EXPECT_EQ(c.trans->mesh, r.mesh) << what;
    EXPECT_EQ(std::vector<UINT>(c.trans->grp, c.trans->grp + c.trans->ngrp), r.groups) << what;
    EXPECT_EQ(c.parent ? c.parent->index : 0, r.parent) << what;
    if (r.kind == 'r') {
      ASSERT_EQ(c.trans->Type(), MGROUP_TRANSFORM::ROTATE) << what;
      auto *rot = static_cast<const MGROUP_ROTATE *>(c.trans);
      EXPECT_TRUE(Near(rot->ref, r.ref, 0)) << what << " pivot";
      EXPECT_TRUE(Near(rot->axis, r.axis, 0)) << what << " axis, handed over as listed";
      EXPECT_EQ(rot->angle, static_cast<float>(r.deg * RAD)) << what << " angle";
    } else {
      ASSERT_EQ(c.trans->Type(), MGROUP_TRANSFORM::TRANSLATE) << what;
      EXPECT_TRUE(Near(static_cast<const MGROUP_TRANSLATE *>(c.trans)->shift, r.ref, 0)) << what << " shift";
    }
  }
  EXPECT_EQ(hv.components[4]->trans, v.nosewheel_rot) << "the nose-wheel roll is the vessel's own transform";
}

TEST_F(Animations, StartStates) {
  host::HostVessel &hv = NewVessel("A", false);
  ShuttlePB &v = Ship(hv);
  const UINT centred[] = {v.anim_nosewheel_steer, v.anim_nose_strut, v.anim_main_strut, v.anim_rudder,
                          v.anim_elevator,        v.anim_laileron,   v.anim_raileron};
  for (UINT id = 0; id < hv.animations.size(); ++id) {
    const bool half = std::find(std::begin(centred), std::end(centred), id) != std::end(centred);
    EXPECT_EQ(hv.animations[id].initial, half ? 0.5 : 0.0) << "animation " << id;
  }
}

TEST_F(Animations, GearRetractionTiltsTheMainLegsBeforeSwingingThem) {
  host::HostVessel &hv = NewVessel("A", false);
  const UINT gear = Ship(hv).anim_gear;
  const VECTOR3 left_tilted = RotZ(kLeftContact, kLeftHinge, 15);
  const VECTOR3 right_tilted = RotZ(kRightContact, kRightHinge, -15);
  const VECTOR3 door = _V(-1.5, -0.6, -1.4);

  Set(hv, gear, 0.1);
  EXPECT_TRUE(Near(At(hv, kLeftWheel, kLeftContact), RotZ(kLeftContact, kLeftHinge, 7.5))) << "half tilted at 0.1";

  Set(hv, gear, 0.2);
  EXPECT_TRUE(Near(At(hv, kLeftWheel, kLeftContact), left_tilted)) << "left leg fully tilted, not swung, at 0.2";
  EXPECT_TRUE(Near(At(hv, kRightWheel, kRightContact), right_tilted)) << "right leg fully tilted the other way";
  EXPECT_TRUE(Near(At(hv, kLeftMain, kLeftContact), left_tilted)) << "the leg carries its wheel";
  EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseHub), RotX(kNoseHub, kNoseHinge, -115 * 0.4))) << "nose leg 40% swung";
  EXPECT_TRUE(Near(At(hv, kLeftDoor, door), door)) << "doors still open at 0.2";

  Set(hv, gear, 0.5);
  EXPECT_TRUE(Near(At(hv, kLeftWheel, kLeftContact), RotX(left_tilted, kLeftHinge, -99))) << "left leg up at 0.5";
  EXPECT_TRUE(Near(At(hv, kRightWheel, kRightContact), RotX(right_tilted, kRightHinge, -99))) << "right leg up";
  EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseHub), RotX(kNoseHub, kNoseHinge, -115))) << "nose leg up at 0.5";
  EXPECT_TRUE(Near(At(hv, kLeftDoor, door), door)) << "doors still open at 0.5";
  const VECTOR3 link = _V(-1.15901, -0.8, -1.3);
  EXPECT_TRUE(Near(At(hv, 17, link), RotX(RotZ(link, kLeftHinge, 15), _V(0, -0.4969712, -1.226534), 50)))
      << "the left link is tilted with the leg, then turned on its own hinge";

  Set(hv, gear, 0.75);
  EXPECT_TRUE(Near(At(hv, kLeftDoor, door), RotZ(door, _V(-1.199155, -0.3544314, -1.368714), 49.5)))
      << "doors half closed at 0.75";
  Set(hv, gear, 1.0);
  EXPECT_TRUE(Near(At(hv, kLeftDoor, door), RotZ(door, _V(-1.199155, -0.3544314, -1.368714), 99)));
  EXPECT_TRUE(Near(At(hv, 5, _V(0.3, -0.9, 3.7)), RotZ(_V(0.3, -0.9, 3.7), _V(0.2282761, -0.870366, 3.679197), -93)))
      << "nose-gear door closed at 1";
  EXPECT_TRUE(Near(At(hv, kLeftWheel, kLeftContact), RotX(left_tilted, kLeftHinge, -99))) << "legs stay up";
}

TEST_F(Animations, SteeringCarriesTheNoseStrutAndWheel) {
  host::HostVessel &hv = NewVessel("A", false);
  ShuttlePB &v = Ship(hv);
  struct Row {
    double steer;
    double deg;  // leg turn from the stored mesh
  };
  const Row rows[] = {{0.5, 0}, {1.0, 35}, {0.0, -35}, {0.75, 17.5}};
  for (const Row &r : rows) {
    Set(hv, v.anim_nosewheel_steer, r.steer);
    EXPECT_TRUE(Near(At(hv, kNoseLeg, kNoseStrutPoint), RotY(kNoseStrutPoint, kSteerPivot, r.deg)))
        << "strut at steering " << r.steer;
    EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseRim), RotY(kNoseRim, kSteerPivot, r.deg)))
        << "wheel at steering " << r.steer;
  }
}

TEST_F(Animations, NoseStrutCarriesTheWheelAndItsAxle) {
  host::HostVessel &hv = NewVessel("A", false);
  ShuttlePB &v = Ship(hv);
  const VECTOR3 down = _V(0, -0.25, 0);  // nose strut from 0.5 to 1: half of its 0.5 m travel
  Set(hv, v.anim_nose_strut, 1.0);
  EXPECT_TRUE(Near(At(hv, kNoseLeg, kNoseStrutPoint), Plus(kNoseStrutPoint, down)));
  EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseHub), Plus(kNoseHub, down)));

  // A quarter turn of the wheel rolls the tyre's front to its bottom about
  // the lowered axle, not about the axle's stored place.
  Set(hv, v.anim_wheel, 0.25);
  const VECTOR3 hub = Plus(kNoseHub, down);
  EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseRim), Plus(hub, _V(0, -0.29, 0))));

  // Steering turns the whole chain.
  Set(hv, v.anim_nosewheel_steer, 1.0);
  EXPECT_TRUE(Near(At(hv, kNoseWheel, kNoseRim), RotY(Plus(hub, _V(0, -0.29, 0)), kSteerPivot, 35)));
  EXPECT_TRUE(Near(host::GroupReferencePoint(hv, 0, kNoseWheel), RotY(hub, kSteerPivot, 35)))
      << "the wheel's pivot rides on the strut and the leg";

  // The main wheels ride on the main struts the same way.
  Set(hv, v.anim_main_strut, 0.0);
  const VECTOR3 axle = _V(0, -2.019984, -2.173306);
  EXPECT_TRUE(Near(host::GroupReferencePoint(hv, 0, kLeftWheel), Plus(axle, _V(0, 0.2, 0))));
  EXPECT_TRUE(Near(At(hv, kRightWheel, Plus(axle, _V(1.2, 0, 0.3))), Plus(axle, _V(1.2, 0.2 - 0.3, 0))));
}

TEST_F(Animations, FanDoorsSmallDoorsEndHalfwayMainDoorRunsTheWholeRange) {
  host::HostVessel &hv = NewVessel("A", false);
  const UINT doors = Ship(hv).anim_fandoors;
  const VECTOR3 upper = _V(0.4, 0.85, 0.2), lower = _V(-0.9, -0.9, 0.1), main_door = _V(0, 0.8, 1.6);
  const double states[] = {0, 0.25, 0.5, 0.75, 1.0};
  for (double s : states) {
    Set(hv, doors, s);
    const double small = std::min(s / 0.5, 1.0);
    EXPECT_TRUE(Near(At(hv, 164, upper), RotZ(upper, _V(0, 0.847259, 0), 80 * small))) << "upper door at " << s;
    EXPECT_TRUE(Near(At(hv, 165, upper), RotZ(upper, _V(0, 0.847259, 0), -80 * small))) << "other upper at " << s;
    EXPECT_TRUE(Near(At(hv, 171, lower), RotZ(lower, _V(-0.525374, -0.894828, 0), -90 * small)))
        << "lower door at " << s;
    EXPECT_TRUE(Near(At(hv, 96, main_door), RotX(main_door, _V(0, 0.7931479, 0.957247), -60 * s)))
        << "main door at " << s;
  }
}

TEST_F(Animations, SurfacesTurnBothWaysFromTheirCentreAndIndicatorsSlideOnTheStatusMesh) {
  host::HostVessel &hv = NewVessel("A", false);
  ShuttlePB &v = Ship(hv);
  // A point on the rudder's hinge line stays put whatever the axis' length.
  const VECTOR3 hinge = _V(-1.514455 - 0.8, 0.487969 + 2, -6.5 - 0.6);
  const VECTOR3 tip = _V(-1.2, 1.0, -7.2);
  for (double s : {0.0, 1.0}) {
    Set(hv, v.anim_rudder, s);
    EXPECT_TRUE(Near(At(hv, 118, hinge), hinge)) << "rudder hinge at " << s;
    EXPECT_FALSE(Near(At(hv, 118, tip), tip)) << "rudder moves at " << s;
  }
  Set(hv, v.anim_elevator, 1.0);
  const VECTOR3 tail = _V(2, -0.06493155, -7.5);
  EXPECT_TRUE(Near(At(hv, 133, tail), RotX(tail, _V(0, -0.06493155, -6.711857), 13.5))) << "elevator at 1";
  Set(hv, v.anim_elevator, 0.0);
  EXPECT_TRUE(Near(At(hv, 145, tail), RotX(tail, _V(0, -0.06493155, -6.711857), -13.5))) << "elevator at 0";

  Set(hv, v.anim_status_a, 1.0);
  const VECTOR3 lamp = _V(0.01, 0.1, 0.2);
  EXPECT_TRUE(Near(At(hv, 22, lamp, 2), Plus(lamp, _V(0, 0, 0.15)))) << "indication slides on the status mesh";
  EXPECT_TRUE(Near(At(hv, 22, lamp, 0), lamp)) << "group 22 of the exterior is another part";
  Set(hv, v.anim_status_dial, 0.5);
  const VECTOR3 pointer = _V(-0.0007841311, -0.4231625, -0.01118099);
  EXPECT_TRUE(Near(At(hv, 39, pointer, 2), _V(-0.1007841311, -0.5231625, -0.01118099)))
      << "dial a quarter turned at 0.5";
}

TEST_F(Animations, TwoVesselsShareTransformsButNotStatesOrTheNoseWheel) {
  host::HostVessel &a = NewVessel("A", false);
  host::HostVessel &b = NewVessel("B", false);
  ASSERT_EQ(a.components.size(), 40u);
  ASSERT_EQ(b.components.size(), 40u);
  for (int i = 0; i < 40; ++i) {
    if (i == 4)
      EXPECT_NE(a.components[i]->trans, b.components[i]->trans) << "each vessel rolls its own nose wheel";
    else
      EXPECT_EQ(a.components[i]->trans, b.components[i]->trans) << "component " << i + 1 << " is shared";
  }
  EXPECT_EQ(b.components[4]->trans, Ship(b).nosewheel_rot);

  Set(a, Ship(a).anim_gear, 0.5);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseHub), kNoseHub)) << "one vessel's gear does not move the other's";

  Set(b, Ship(b).anim_nose_strut, 1.0);
  Set(b, Ship(b).anim_wheel, 0.25);
  const VECTOR3 before = At(b, kNoseWheel, kNoseRim);
  host::DestroyVessel(api_, a);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseRim), before)) << "B's animations survive A's destruction";
  EXPECT_TRUE(Near(At(b, kLeftMain, kLeftContact), kLeftContact)) << "B's legs stay down";
  NewVessel("C", false);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseRim), before)) << "and a later vessel's construction";
}

}  // namespace
