#include "host/animation_eval.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace host {

namespace {

VECTOR3 Add(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x + b.x, a.y + b.y, a.z + b.z); }
VECTOR3 Sub(const VECTOR3 &a, const VECTOR3 &b) { return _V(a.x - b.x, a.y - b.y, a.z - b.z); }
VECTOR3 Mul(const VECTOR3 &a, double s) { return _V(a.x * s, a.y * s, a.z * s); }
double Dot(const VECTOR3 &a, const VECTOR3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
VECTOR3 Cross(const VECTOR3 &a, const VECTOR3 &b) {
  return _V(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

bool Lists(const AnimComponent &c, UINT mesh, UINT grp) {
  const MGROUP_TRANSFORM *t = c.trans;
  if (!t || t->mesh != mesh || !t->grp) return false;
  for (UINT i = 0; i < t->ngrp; ++i)
    if (t->grp[i] == grp) return true;
  return false;
}

const AnimComponent *Root(const AnimComponent *c) {
  while (c->parent) c = c->parent;
  return c;
}

int Depth(const AnimComponent *c) {
  int d = 0;
  for (; c->parent; c = c->parent) ++d;
  return d;
}

// Index of the first component of the animation a component belongs to: the
// animation's place in the creation order.
int AnimationOrder(const HostVessel &hv, const AnimComponent *c) {
  if (c->anim < hv.animations.size() && !hv.animations[c->anim].components.empty())
    return hv.animations[c->anim].components.front()->index;
  return c->index;
}

// Rodrigues' rotation of `p` by `angle` about the unit axis `k` through `ref`.
VECTOR3 RotateAbout(const VECTOR3 &p, const VECTOR3 &ref, const VECTOR3 &k, double angle) {
  const VECTOR3 v = Sub(p, ref);
  const double c = std::cos(angle), s = std::sin(angle);
  const VECTOR3 r = Add(Add(Mul(v, c), Mul(Cross(k, v), s)), Mul(k, Dot(k, v) * (1 - c)));
  return Add(ref, r);
}

// The component's own motion at progress `u`, in the rest frame.
VECTOR3 Apply(const MGROUP_TRANSFORM *t, double u, const VECTOR3 &p) {
  if (!t || u == 0) return p;
  switch (t->Type()) {
    case MGROUP_TRANSFORM::ROTATE: {
      auto *r = static_cast<const MGROUP_ROTATE *>(t);
      const double len = std::sqrt(Dot(r->axis, r->axis));
      if (len == 0) return p;  // no axis, no rotation
      return RotateAbout(p, r->ref, Mul(r->axis, 1 / len), r->angle * u);
    }
    case MGROUP_TRANSFORM::TRANSLATE: {
      auto *tr = static_cast<const MGROUP_TRANSLATE *>(t);
      return Add(p, Mul(tr->shift, u));
    }
    default:
      return p;
  }
}

}  // namespace

double IntervalProgress(const AnimComponent &c, double state) {
  if (c.state1 == c.state0) return state >= c.state1 ? 1 : 0;
  const double u = (state - c.state0) / (c.state1 - c.state0);
  if (!(u > 0)) return 0;  // also NaN
  return u > 1 ? 1 : u;
}

double ComponentMotion(const HostVessel &hv, const AnimComponent &c) {
  if (c.anim >= hv.animations.size()) return 0;
  const Animation &a = hv.animations[c.anim];
  return IntervalProgress(c, a.state) - IntervalProgress(c, a.initial);
}

std::vector<const AnimComponent *> ComponentsMoving(const HostVessel &hv, UINT mesh, UINT grp) {
  std::vector<const AnimComponent *> moving;
  for (const auto &c : hv.components) {
    if (!Lists(*c, mesh, grp)) continue;
    for (const AnimComponent *a = c.get(); a; a = a->parent)
      if (std::find(moving.begin(), moving.end(), a) == moving.end()) moving.push_back(a);
  }
  auto key = [&](const AnimComponent *c) {
    const AnimComponent *r = Root(c);
    return std::make_tuple(AnimationOrder(hv, r), r->state0, r->index, -Depth(c), c->index);
  };
  std::sort(moving.begin(), moving.end(),
            [&](const AnimComponent *a, const AnimComponent *b) { return key(a) < key(b); });
  return moving;
}

VECTOR3 AnimatedPoint(const HostVessel &hv, UINT mesh, UINT grp, const VECTOR3 &p) {
  VECTOR3 q = p;
  for (const AnimComponent *c : ComponentsMoving(hv, mesh, grp)) q = Apply(c->trans, ComponentMotion(hv, *c), q);
  return q;
}

VECTOR3 GroupReferencePoint(const HostVessel &hv, UINT mesh, UINT grp) {
  VECTOR3 ref = _V(0, 0, 0);
  for (const auto &c : hv.components)
    if (Lists(*c, mesh, grp) && c->trans->Type() == MGROUP_TRANSFORM::ROTATE) {
      ref = static_cast<const MGROUP_ROTATE *>(c->trans)->ref;
      break;
    }
  return AnimatedPoint(hv, mesh, grp, ref);
}

}  // namespace host
