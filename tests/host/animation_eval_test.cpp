// The stand-in host's animation evaluation, on transforms made here.
#include "host/animation_eval.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/harness.h"

namespace {

class AnimationEval : public ::testing::Test {
 protected:
  void SetUp() override { host::ResetWorld(); }
  void TearDown() override { host::ResetWorld(); }
};

TEST_F(AnimationEval, ProgressOverTheStateInterval) {
  host::AnimComponent c;
  c.state0 = 0.2, c.state1 = 0.6;
  struct Row {
    double state, progress;
    const char *what;
  };
  const Row rows[] = {{0.0, 0, "before the interval"}, {0.2, 0, "at its start"}, {0.4, 0.5, "halfway"},
                      {0.6, 1, "at its end"},          {0.9, 1, "after it"},     {-3, 0, "far below"},
                      {std::nan(""), 0, "no number"}};
  for (const Row &r : rows) EXPECT_NEAR(host::IntervalProgress(c, r.state), r.progress, 1e-15) << r.what;
  c.state0 = c.state1 = 0.5;
  EXPECT_EQ(host::IntervalProgress(c, 0.49), 0.0) << "an empty interval jumps at its state";
  EXPECT_EQ(host::IntervalProgress(c, 0.5), 1.0);
}

TEST_F(AnimationEval, MotionIsMeasuredFromTheInitialStateAndChildrenRideOnParents) {
  host::HostVessel &hv = host::AddVessel("X", "Other");
  VESSEL3 v(&hv, 1);
  UINT grp_arm[] = {1}, grp_hand[] = {2};
  MGROUP_ROTATE arm(0, grp_arm, 1, _V(0, 0, 0), _V(0, 0, 2), float(PI / 2));  // axis not of unit length
  MGROUP_TRANSLATE hand(0, grp_hand, 1, _V(1, 0, 0));
  const UINT a = v.CreateAnimation(0.5), b = v.CreateAnimation(0);
  ANIMATIONCOMPONENT_HANDLE parent = v.AddAnimationComponent(a, 0, 1, &arm);
  v.AddAnimationComponent(b, 0, 1, &hand, parent);

  const VECTOR3 p = _V(1, 0, 0);
  auto at = [&](UINT grp) { return host::AnimatedPoint(hv, 0, grp, p); };
  EXPECT_NEAR(at(1).x, 1, 1e-7) << "at the initial state the mesh is as stored";
  v.SetAnimation(a, 1);
  EXPECT_NEAR(at(1).y, std::sin(PI / 4), 1e-7) << "0.5 to 1 turns half the angle";
  v.SetAnimation(a, 0);
  EXPECT_NEAR(at(1).y, -std::sin(PI / 4), 1e-7) << "0.5 to 0 turns the other way";
  EXPECT_NEAR(at(3).x, 1, 0) << "a group no component lists stays put";

  // The hand slides along the arm, then turns with it.
  v.SetAnimation(a, 1);
  v.SetAnimation(b, 1);
  const VECTOR3 q = at(2);
  EXPECT_NEAR(q.x, 2 * std::cos(PI / 4), 1e-6);
  EXPECT_NEAR(q.y, 2 * std::sin(PI / 4), 1e-6);
  auto order = host::ComponentsMoving(hv, 0, 2);
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0]->index, 2) << "the child's own motion comes first";
  EXPECT_EQ(order[1]->index, 1);
}

}  // namespace
