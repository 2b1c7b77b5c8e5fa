// Evaluation of a vessel's animations in the stand-in host: where a point
// carried by a mesh group ends up at the animations' current states. The
// module only declares animations; tests and the flight host use this to see
// the geometry the declarations produce.
//
// The model: a mesh is stored as it looks with every animation at its initial
// state (the value given to CreateAnimation). A component's progress over its
// state interval runs from 0 before the interval to 1 after it; at a state s
// the component moves its groups by its transform scaled by progress(s) minus
// progress(initial state), so a rudder created at 0.5 turns one way below 0.5
// and the other way above it. A
// component moves, besides its own groups, the groups of its descendants, so
// a child's pivot and axis ride on its parent. A point is moved by every
// component that lists its group and by their ancestors, each once: within a
// parent chain the child's motion first, then the parent's; separate chains in
// the order their animations were created, and within one animation in the
// order of their state intervals (a leg tilted before it swings is swung
// tilted).
#pragma once

#include <vector>

#include "host/world.h"

namespace host {

// How far a component has come over its state interval at `state`, 0..1. A
// NaN state counts as the interval's start.
double IntervalProgress(const AnimComponent &c, double state);

// The share of a component's transform applied to the mesh as stored, -1..1:
// progress at the animation's current state minus progress at its initial
// state.
double ComponentMotion(const HostVessel &hv, const AnimComponent &c);

// The components that move group `grp` of mesh `mesh`, in the order their
// motions are applied to a point of the group.
std::vector<const AnimComponent *> ComponentsMoving(const HostVessel &hv, UINT mesh, UINT grp);

// Where point `p` (in the vessel frame, on the mesh as stored) carried
// by group `grp` of mesh `mesh` ends up at the vessel's current states.
VECTOR3 AnimatedPoint(const HostVessel &hv, UINT mesh, UINT grp, const VECTOR3 &p);

// The group's reference point: the pivot of the first rotation that lists the
// group (the origin when only translations move it), moved to where the
// animations have carried it.
VECTOR3 GroupReferencePoint(const HostVessel &hv, UINT mesh, UINT grp);

}  // namespace host
