// The flight host's physics: a rigid body over flat ground with standard
// gravity and a standard atmosphere, flown by what the module set up and
// commanded (thrusters, airfoils, control surfaces, drag elements, the forces
// it adds for one step, touchdown points, brakes, nav modes). It is opt-in:
// the recording-only world of the unit tests never calls it, and the flight
// state it computes goes into the same HostVessel fields tests set by hand.
//
// Frames: the vessel frame has x right, y up, z forward; the world frame is
// the local horizon, x east, y up (height above the ground), z north. Every
// step gives the same result for the same inputs (no threads, no clocks).
#pragma once

#include <cmath>

#include "host/world.h"

namespace host {

const double kStandardGravity = 9.80665;  // m/s^2

// --- Small vector helpers -------------------------------------------------------
inline VECTOR3 V3(double x, double y, double z) { return _V(x, y, z); }
inline VECTOR3 operator+(const VECTOR3 &a, const VECTOR3 &b) { return V3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline VECTOR3 operator-(const VECTOR3 &a, const VECTOR3 &b) { return V3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline VECTOR3 operator*(const VECTOR3 &a, double s) { return V3(a.x * s, a.y * s, a.z * s); }
inline double Dot(const VECTOR3 &a, const VECTOR3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline VECTOR3 Cross(const VECTOR3 &a, const VECTOR3 &b) {
  return V3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline double Length(const VECTOR3 &a) { return std::sqrt(Dot(a, a)); }

// Vessel frame to world frame and back, with the body's rotation.
VECTOR3 ToWorld(const RigidBody &b, const VECTOR3 &v);
VECTOR3 ToVessel(const RigidBody &b, const VECTOR3 &v);

// The standard atmosphere at a height above the ground (sea level there).
struct Atmosphere {
  double density = 0;         // kg/m^3
  double pressure = 0;        // Pa
  double temperature = 0;     // K
  double speed_of_sound = 0;  // m/s
};
Atmosphere StandardAtmosphere(double altitude);

// Empty mass plus every propellant resource (at least 1 kg, so an empty set-up
// still flies as a point mass).
double VesselMass(const HostVessel &hv);

// Puts the body where the vessel's flight state and host lines say: on the
// ground resting on its touchdown points for the status Landed, else at ALT
// with PITCH, BANK and HEADING and the airspeed along the nose, with POS, VEL
// and ANGVEL taken when the scenario gave them. Then refreshes the reported
// state.
void PlaceBody(HostVessel &hv);

// Advances the body by `dt` seconds of simulation time (in sub-steps of at
// most 10 ms) with the thruster levels, surfaces and forces as they stand,
// uses the propellant, and refreshes the reported state.
void PhysicsStep(HostVessel &hv, double dt);

// Recomputes what the host reports (altitude, airspeed, pitch, bank, heading,
// angle of attack, the airspeed vectors in both frames, ground contact) from
// the body.
void UpdateReportedState(HostVessel &hv);

// The host's own controllers between steps: the altitude hold sets the hover
// thrusters toward the altitude it was engaged at, and the pilot's forward
// and back translation inputs reach their thruster groups only in the linear
// attitude mode. The module's flight step runs after this and may override.
void HostControllers(HostVessel &hv, double dt);

// Whether any touchdown point touches the ground, with the body as it stands.
bool TouchesGround(const HostVessel &hv);

}  // namespace host
