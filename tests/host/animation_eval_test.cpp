// The stand-in host's animation evaluation, on transforms made here.
#include "host/animation_eval.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/harness.h"

namespace {

TEST(AnimationEval, ProgressOverTheStateIntervalAndChildrenRideOnParents) {
  host::AnimComponent c;
  c.state0 = 0.2, c.state1 = 0.6;
  const struct {
    double state, progress;
    const char *what;
  } rows[] = {{0.0, 0, "before"}, {0.2, 0, "start"},     {0.4, 0.5, "halfway"}, {0.6, 1, "end"},
              {0.9, 1, "after"},  {-3, 0, "far before"}, {NAN, 0, "no number"}};
  for (auto &r : rows) EXPECT_NEAR(host::IntervalProgress(c, r.state), r.progress, 1e-15) << r.what;
  c.state0 = c.state1 = 0.5;
  EXPECT_EQ(host::IntervalProgress(c, 0.49), 0.0) << "an empty interval jumps at its state";
  EXPECT_EQ(host::IntervalProgress(c, 0.5), 1.0);

  host::ResetWorld();
  host::HostVessel &hv = host::AddVessel("X", "Other");
  VESSEL3 v(&hv, 1);
  UINT grp_arm[] = {1}, grp_hand[] = {2};
  MGROUP_ROTATE arm(0, grp_arm, 1, _V(0, 0, 0), _V(0, 0, 2), float(PI / 2));  // axis not of unit length
  MGROUP_TRANSLATE hand(0, grp_hand, 1, _V(1, 0, 0));
  const UINT a = v.CreateAnimation(0.5), b = v.CreateAnimation(0);
  v.AddAnimationComponent(b, 0, 1, &hand, v.AddAnimationComponent(a, 0, 1, &arm));
  auto at = [&](UINT grp) { return host::AnimatedPoint(hv, 0, grp, _V(1, 0, 0)); };
  EXPECT_NEAR(at(1).x, 1, 1e-7) << "at the initial state the mesh is as stored";
  v.SetAnimation(a, 0);
  EXPECT_NEAR(at(1).y, -std::sin(PI / 4), 1e-7) << "0.5 to 0 turns half the angle back";
  EXPECT_NEAR(at(3).x, 1, 0) << "a group no component lists stays put";
  v.SetAnimation(a, 1), v.SetAnimation(b, 1);  // the hand slides along the arm, then turns with it
  EXPECT_NEAR(at(2).x, 2 * std::cos(PI / 4), 1e-6);
  EXPECT_NEAR(at(2).y, 2 * std::sin(PI / 4), 1e-6);
  auto order = host::ComponentsMoving(hv, 0, 2);
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0]->index, 2) << "the child's own motion comes first";
}

}  // namespace
