// The vessel's animations: the declarations against the table in
// tests/data/animations.txt, and the per-vessel parts as the host evaluates
// them.
#include <cmath>

#include "host/animation_eval.h"
#include "module/handles.h"
#include "tests/support/fixture.h"

namespace {

// Transforms hold their angles in single precision: a few tenths of a
// micrometre over the vessel's size.
::testing::AssertionResult Near(const VECTOR3 &actual, const VECTOR3 &expected, double tol = 2e-6) {
  if (std::fabs(actual.x - expected.x) <= tol && std::fabs(actual.y - expected.y) <= tol &&
      std::fabs(actual.z - expected.z) <= tol)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "at " << host::Vec(actual) << ", expected " << host::Vec(expected);
}

// Points carried by groups of the exterior mesh (0).
const UINT kNoseWheel = 125, kLeftMain = 14;
const VECTOR3 kNoseHub = _V(0, -2.124649, 3.099004);
const VECTOR3 kNoseRim = _V(0, -2.124649, 3.099004 + 0.29);  // front of the nose tyre
const VECTOR3 kLeftContact = _V(-1.285973, -2.137747, -2.175774);

// A component's transform in the data file's words, without its angle.
std::string Transform(const MGROUP_TRANSFORM &t) {
  std::string s = " mesh " + std::to_string(t.mesh) + " groups";
  for (UINT i = 0; i < t.ngrp; ++i) s += " " + std::to_string(t.grp[i]);
  if (t.Type() == MGROUP_TRANSFORM::TRANSLATE)
    return s + " translate " + host::Vec(static_cast<const MGROUP_TRANSLATE &>(t).shift);
  const MGROUP_ROTATE &r = static_cast<const MGROUP_ROTATE &>(t);
  return s + " rotate " + host::Vec(r.ref) + " " + host::Vec(r.axis);
}

class Animations : public tarvex_test::ModuleTest {
 protected:
  void Set(host::HostVessel &hv, UINT anim, double state) { hv.vessel->SetAnimation(anim, state); }
  static VECTOR3 At(const host::HostVessel &hv, UINT grp, const VECTOR3 &p, UINT mesh = 0) {
    return host::AnimatedPoint(hv, mesh, grp, p);
  }
};

TEST_F(Animations, DeclarationsFollowTheTable) {
  host::HostVessel &hv = NewVessel("A", false);
  const auto calls = trace().Filter(std::vector<std::string>{"CreateAnimation", "AddAnimationComponent"});
  size_t call = 0, comp = 0;
  for (std::string line : tarvex_test::DataLines("animations.txt")) {
    ASSERT_LT(call, calls.size()) << "missing: " << line;
    std::string actual = calls[call++];
    if (line.rfind("AddAnimationComponent", 0) == 0) {
      ASSERT_LT(comp, hv.components.size());
      const MGROUP_TRANSFORM &t = *hv.components[comp++]->trans;
      actual += Transform(t);
      if (t.Type() == MGROUP_TRANSFORM::ROTATE) {
        const size_t cut = line.rfind(' ');
        EXPECT_EQ(static_cast<const MGROUP_ROTATE &>(t).angle, static_cast<float>(std::stod(line.substr(cut)) * RAD))
            << line;
        line.erase(cut);
      }
    }
    EXPECT_EQ(actual, line);
  }
  EXPECT_EQ(call, calls.size()) << "calls beyond the table";
  ShuttlePB &v = Ship(hv);
  const UINT ids[] = {v.anim_status_dial, v.anim_nosewheel_steer, v.anim_wheel,    v.anim_nose_strut, v.anim_main_strut,
                      v.anim_gear,        v.anim_rudder,          v.anim_elevator, v.anim_laileron,   v.anim_raileron,
                      v.anim_lbrake,      v.anim_rbrake,          v.anim_canopy,   v.anim_liftfan,    v.anim_cover,
                      v.anim_nozzle_ind,  v.anim_fandoors,        v.anim_status_a, v.anim_status_b,   v.anim_status_c,
                      v.anim_status_d,    v.anim_status_e,        v.anim_status_f};
  for (UINT i = 0; i < 23; ++i) EXPECT_EQ(ids[i], i) << "identifier created as animation " << i;
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
