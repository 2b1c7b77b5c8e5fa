// Evaluation of a vessel's animations in the stand-in host: where a point
// carried by a mesh group ends up at the animations' current states. The
// module only declares animations; tests and the flight host use this to see
// the geometry the declarations produce.
//
// The model: each component moves its groups by its transform scaled by its
// progress over its state interval (0 before the interval, 1 after it). A
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

// How far a component has moved over its state interval, 0..1, at the current
// state of its animation. A NaN state counts as the interval's start.
double ComponentProgress(const HostVessel &hv, const AnimComponent &c);

// The components that move group `grp` of mesh `mesh`, in the order their
// motions are applied to a point of the group.
std::vector<const AnimComponent *> ComponentsMoving(const HostVessel &hv, UINT mesh, UINT grp);

// Where point `p` (in the vessel frame, with every animation at rest) carried
// by group `grp` of mesh `mesh` ends up at the vessel's current states.
VECTOR3 AnimatedPoint(const HostVessel &hv, UINT mesh, UINT grp, const VECTOR3 &p);

// The group's reference point: the pivot of the first rotation that lists the
// group (the origin when only translations move it), moved to where the
// animations have carried it.
VECTOR3 GroupReferencePoint(const HostVessel &hv, UINT mesh, UINT grp);

}  // namespace host
