// Vessel construction and destruction: meshes, animations (against tests/data/animations.txt,
// and as the host evaluates them), and the handles and state shared by all vessels.
#include <cmath>

#include "host/animation_eval.h"
#include "module/handles.h"
#include "module/state.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;

namespace {

// Transforms hold their angles in single precision: a few tenths of a
// micrometre over the vessel's size.
bool Near(const VECTOR3 &a, const VECTOR3 &e) {
  return std::fabs(a.x - e.x) <= 2e-6 && std::fabs(a.y - e.y) <= 2e-6 && std::fabs(a.z - e.z) <= 2e-6;
}

// Points carried by groups of the exterior mesh (0).
const UINT kNoseWheel = 125, kLeftMain = 14;
const VECTOR3 kNoseRim = _V(0, -2.124649, 3.099004 + 0.29);  // front of the nose tyre
const VECTOR3 kLeftContact = _V(-1.285973, -2.137747, -2.175774);

VECTOR3 At(const host::HostVessel &hv, UINT grp, const VECTOR3 &p) { return host::AnimatedPoint(hv, 0, grp, p); }

// A component's transform in the data file's words, without its angle.
std::string Transform(const MGROUP_TRANSFORM &t) {
  std::string s = " mesh " + std::to_string(t.mesh) + " groups";
  for (UINT i = 0; i < t.ngrp; ++i) s += " " + std::to_string(t.grp[i]);
  if (t.Type() == MGROUP_TRANSFORM::TRANSLATE)
    return s + " translate " + host::Vec(static_cast<const MGROUP_TRANSLATE &>(t).shift);
  const MGROUP_ROTATE &r = static_cast<const MGROUP_ROTATE &>(t);
  return s + " rotate " + host::Vec(r.ref) + " " + host::Vec(r.axis);
}

class Vessel : public tarvex_test::ModuleTest {};

TEST_F(Vessel, EachConstructionLoadsTheFiveMeshesThenDeclaresAnimationsAndResetsNothing) {
  host::HostVessel &a = NewVessel("A", false);
  const auto calls = trace().Texts();
  const std::string load = "oapiLoadMeshGlobal(\"Pelgar\\TarvexB";
  ASSERT_GE(calls.size(), 6u);
  EXPECT_TRUE(CallsEqual({calls.begin(), calls.begin() + 6},
                         {load + "\")", load + "-Cpit\")", load + "-Cpit_n\")", load + "-status\")",
                          load + "-invisible\")", "CreateAnimation(0)"}));
  EXPECT_EQ(Ship(a).MyID, -1) << "the sound identifier comes only with post-creation";
  // A later vessel loads them again, keeping each handle as returned; the record goes on as left.
  gear_pos = 1.0, strut_ext = 0.25;
  host::world().failing_meshes.insert("Pelgar\\TarvexB-status");
  trace().Clear();
  NewVessel("B", false);
  EXPECT_EQ(trace().Count("oapiLoadMeshGlobal"), 5u);
  EXPECT_EQ(hmesh_status, nullptr);
  EXPECT_EQ(std::make_pair(gear_pos, strut_ext), std::make_pair(1.0, 0.25));
}

TEST_F(Vessel, DestroyingTheVesselThatMadeTheSharedHandlesClearsThemForTheOthers) {
  host::HostVessel &a = NewVessel("A");
  host::HostVessel &b = NewVessel("B");  // its set-up replaces the shared handles
  ASSERT_EQ(b.thrusters.front().get(), th_main);
  host::DestroyVessel(api_, NewVessel("C", false));
  EXPECT_NE(th_main, nullptr) << "destroying a vessel that does not own them leaves them alone";
  host::DestroyVessel(api_, b);
  EXPECT_EQ(std::vector<void *>({th_main, th_reheat, th_hover[0], th_hover[1], spot_light}),
            std::vector<void *>(5, nullptr));
  // The remaining vessel flies on, handing null handles to the host.
  eng_status = 0, spot_on = 1;
  trace().Clear();
  for (int i = 0; i < 3; ++i) host::Step(a);
  EXPECT_TRUE(trace().Contains("SetThrusterLevel(null, 0)"));
  EXPECT_EQ(trace().Count("LightEmitter::Activate"), 0u);
}

TEST_F(Vessel, AnimationDeclarationsFollowTheTable) {
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
}

TEST_F(Vessel, TwoVesselsShareTransformsButNotStatesOrTheNoseWheel) {
  host::HostVessel &a = NewVessel("A", false);
  host::HostVessel &b = NewVessel("B", false);
  ASSERT_ALL(a.components.size() == 40, b.components.size() == 40);
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(a.components[i]->trans == b.components[i]->trans, i != 4)
        << "component " << i + 1 << (i == 4 ? " is each vessel's own nose wheel" : " is shared");
  EXPECT_EQ(b.components[4]->trans, Ship(b).nosewheel_rot);

  a.vessel->SetAnimation(Ship(a).anim_gear, 0.5);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseRim), kNoseRim)) << "one vessel's gear does not move the other's";

  b.vessel->SetAnimation(Ship(b).anim_nose_strut, 1.0);
  b.vessel->SetAnimation(Ship(b).anim_wheel, 0.25);
  const VECTOR3 before = At(b, kNoseWheel, kNoseRim);
  host::DestroyVessel(api_, a);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseRim), before)) << "B's animations survive A's destruction";
  EXPECT_TRUE(Near(At(b, kLeftMain, kLeftContact), kLeftContact)) << "B's legs stay down";
  NewVessel("C", false);
  EXPECT_TRUE(Near(At(b, kNoseWheel, kNoseRim), before)) << "and a later vessel's construction";
}

}  // namespace
