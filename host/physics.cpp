#include "host/physics.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "host/module_call.h"

namespace host {

namespace {

// Ground contact: a stiff damped spring at each touchdown point, scaled with
// the mass so that the vessel settles 2 cm into the ground whatever it weighs
// (the same natural frequency, about 3.5 Hz, critically damped).
const double kStaticSink = 0.02;                                       // m
const double kGroundStiffness = kStandardGravity / (3 * kStaticSink);  // N/m per point and kg
const double kGroundDamping = 15.0;                                    // N s/m per point and kg
const double kRollingFriction = 0.025;                                 // of the normal load
const double kSideFriction = 0.8;
const double kBrakeFriction = 0.8;  // the most a braked wheel can hold
const double kRollSlip = 0.1;       // m/s over which rolling friction builds up
const double kSideSlip = 0.2;       // m/s over which side friction builds up
const double kMaxSubstep = 0.01;    // s

// Nav-mode controllers: rates in 1/s, angular accelerations capped.
const double kKillRotGain = 2.0;
const double kLevelGain = 1.0;
const double kMaxNavAccel = 0.6;  // rad/s^2

// The flight state stays possible whatever the module or the scenario set:
// speeds, turn rates and distances are capped, and a body that ends up
// deeper below the ground than any landing presses its springs is put back
// on it (the springs would otherwise throw it up with energy nobody gave it).
const double kMaxSpeed = 1e5;        // m/s
const double kMaxRate = 100;         // rad/s about each axis
const double kMaxDistance = 1e12;    // m, across and above the ground
const double kMaxPenetration = 0.5;  // m below the ground at the deepest point

const VECTOR3 kDefaultTouchdown[3] = {{{{0, -1, 1}}}, {{{-1, -1, -1}}}, {{{1, -1, -1}}}};

// ToWorld and ToVessel, inlined into the sub-step (the exported ones are
// called through the library's symbol table).
inline VECTOR3 Rot(const RigidBody &b, const VECTOR3 &v) {
  const double *m = b.rot;
  return V3(m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
            m[6] * v.x + m[7] * v.y + m[8] * v.z);
}
inline VECTOR3 Unrot(const RigidBody &b, const VECTOR3 &v) {
  const double *m = b.rot;
  return V3(m[0] * v.x + m[3] * v.y + m[6] * v.z, m[1] * v.x + m[4] * v.y + m[7] * v.z,
            m[2] * v.x + m[5] * v.y + m[8] * v.z);
}

double Clamp(double x, double lo, double hi) { return x < lo ? lo : (x > hi ? hi : x); }
double Finite(double x) { return std::isfinite(x) ? x : 0; }
VECTOR3 Finite(const VECTOR3 &v) { return V3(Finite(v.x), Finite(v.y), Finite(v.z)); }

VECTOR3 Normalised(const VECTOR3 &v) {
  double l = Length(v);
  return l > 0 ? v * (1 / l) : V3(0, 0, 0);
}

}  // namespace

const VECTOR3 &Thruster::UnitDir() const {
  if (!unit_known_ || std::memcmp(&unit_of_, &dir, sizeof dir) != 0) {
    unit_of_ = dir;
    unit_dir_ = Normalised(Finite(dir));
    unit_known_ = true;
  }
  return unit_dir_;
}

namespace {

const VECTOR3 *Touchdown(const HostVessel &hv) { return hv.touchdown_set ? hv.touchdown : kDefaultTouchdown; }

// Rotation matrix from its three columns: the vessel's x, y and z axes in
// the world frame.
void SetColumns(RigidBody &b, const VECTOR3 &x, const VECTOR3 &y, const VECTOR3 &z) {
  double m[9] = {x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z};
  std::copy(m, m + 9, b.rot);
}

VECTOR3 Column(const RigidBody &b, int c) { return V3(b.rot[c], b.rot[3 + c], b.rot[6 + c]); }

// Keeps the rotation orthonormal against rounding (Gram-Schmidt on z, then y).
void Orthonormalise(RigidBody &b) {
  VECTOR3 z = Normalised(Column(b, 2));
  VECTOR3 y = Column(b, 1);
  y = Normalised(y - z * Dot(y, z));
  VECTOR3 x = Cross(y, z);
  SetColumns(b, x, y, z);
}

VECTOR3 Inertia(const HostVessel &hv, double mass) {
  VECTOR3 p = hv.pmi;
  return V3((p.x > 0 ? p.x : 1) * mass, (p.y > 0 ? p.y : 1) * mass, (p.z > 0 ? p.z : 1) * mass);
}

struct Loads {
  VECTOR3 force_world{};  // N
  VECTOR3 torque{};       // N m, vessel frame
  void Add(const VECTOR3 &f, const VECTOR3 &at, const RigidBody &b) {
    VECTOR3 f_vessel = Finite(f);  // a force the module made not-a-number does not poison the others
    force_world = force_world + Rot(b, f_vessel);
    torque = torque + Cross(Finite(at), f_vessel);
  }
};

// Lift, drag and moment of one airfoil. The lift acts across the airflow in
// the airfoil's plane (y-z for vertical lift, x-z for sideways lift).
void AirfoilLoads(const Airfoil &a, const VECTOR3 &v, double speed, const Atmosphere &atm, const RigidBody &b,
                  Loads &out) {
  if (!a.cf || speed < 0.1) return;
  double q = 0.5 * atm.density * speed * speed;
  double across = a.align == LIFT_VERTICAL ? v.y : v.x;
  double plane = std::sqrt(across * across + v.z * v.z);
  if (plane < 1e-9) return;
  double aoa = std::atan2(-across, v.z);
  double mach = atm.speed_of_sound > 0 ? speed / atm.speed_of_sound : 0;
  double re = atm.density * speed * a.c / 1.8e-5;
  double cl = 0, cm = 0, cd = 0;
  {
    const ModuleCall in;
    a.cf(aoa, mach, re, &cl, &cm, &cd);
  }
  cl = Finite(cl), cm = Finite(cm), cd = Finite(cd);
  // Unit vector across the flow in the airfoil's plane, positive for positive lift.
  double ua = across / plane, uz = v.z / plane;
  VECTOR3 lift_dir = a.align == LIFT_VERTICAL ? V3(0, uz, -ua) : V3(uz, 0, -ua);
  VECTOR3 drag_dir = v * (-1 / speed);
  VECTOR3 f = lift_dir * (q * a.S * cl) + drag_dir * (q * a.S * cd);
  out.Add(f, a.ref, b);
  double moment = q * a.S * a.c * cm;  // positive: nose up (vertical) or nose right (sideways)
  if (a.align == LIFT_VERTICAL)
    out.torque.x -= moment;
  else
    out.torque.y += moment;
}

// A control surface's extra lift, across its hinge axis, from its level.
void ControlSurfaceLoads(const HostVessel &hv, const ControlSurface &c, double q, const RigidBody &b, Loads &out) {
  double level = (unsigned)c.type < 6 ? hv.ctrl_level[c.type] : 0;
  double lift = Finite(level * c.dCl * q * c.area);
  if (lift == 0) return;
  int axis = c.axis;
  if (axis == AIRCTRL_AXIS_AUTO) axis = c.type == AIRCTRL_RUDDER ? AIRCTRL_AXIS_YPOS : AIRCTRL_AXIS_XPOS;
  VECTOR3 f{};
  switch (axis) {
    case AIRCTRL_AXIS_XPOS:
      f = V3(0, -lift, 0);
      break;  // elevator up at the tail: nose up
    case AIRCTRL_AXIS_XNEG:
      f = V3(0, lift, 0);
      break;
    case AIRCTRL_AXIS_YPOS:
      f = V3(-lift, 0, 0);
      break;  // rudder right at the tail: nose right
    case AIRCTRL_AXIS_YNEG:
      f = V3(lift, 0, 0);
      break;
    default:
      return;
  }
  out.Add(f, c.ref, b);
}

// The host's nav modes as torque: kill rotation damps every rate, horizon
// level brings pitch and bank to zero.
VECTOR3 NavTorque(const HostVessel &hv, const VECTOR3 &inertia) {
  const RigidBody &b = hv.body;
  VECTOR3 want{};  // angular acceleration, vessel frame
  bool any = false;
  if (hv.navmode[NAVMODE_HLEVEL]) {
    VECTOR3 up = Unrot(b, V3(0, 1, 0));  // the world's up seen from the vessel
    VECTOR3 rate = V3(kLevelGain * up.z, b.omega.y * 0.5, -kLevelGain * up.x);
    want = (rate - b.omega) * kKillRotGain;
    any = true;
  } else if (hv.navmode[NAVMODE_KILLROT]) {
    want = b.omega * -kKillRotGain;
    any = true;
  }
  if (!any) return V3(0, 0, 0);
  want = V3(Clamp(want.x, -kMaxNavAccel, kMaxNavAccel), Clamp(want.y, -kMaxNavAccel, kMaxNavAccel),
            Clamp(want.z, -kMaxNavAccel, kMaxNavAccel));
  return V3(want.x * inertia.x, want.y * inertia.y, want.z * inertia.z);
}

void GroundLoads(const HostVessel &hv, const RigidBody &b, double mass, Loads &out, bool &contact) {
  const VECTOR3 *td = Touchdown(hv);
  VECTOR3 nose = Rot(b, V3(0, 0, 1));
  VECTOR3 ahead = Normalised(V3(nose.x, 0, nose.z));
  if (Length(ahead) == 0) ahead = V3(0, 0, 1);
  VECTOR3 side = V3(ahead.z, 0, -ahead.x);  // to the right of `ahead`
  // The three touchdown points, and the centre of gravity, so that a vessel
  // on its back or its side rests on the ground instead of sinking through.
  const VECTOR3 points[4] = {Finite(td[0]), Finite(td[1]), Finite(td[2]), V3(0, 0, 0)};
  for (int i = 0; i < 4; ++i) {
    VECTOR3 r = Rot(b, points[i]);
    double depth = -(b.pos.y + r.y);
    if (depth <= 0) continue;
    contact = true;
    VECTOR3 vp = b.vel + Rot(b, Cross(b.omega, points[i]));
    double n = std::max(0.0, mass * (kGroundStiffness * depth - kGroundDamping * vp.y));
    double v_ahead = Dot(vp, ahead), v_side = Dot(vp, side);
    double hold = kRollingFriction * n;
    if (i == 1 || i == 2) {  // main wheels carry the brakes: left is point 2, right point 3
      double brake = hv.wheelbrake[i - 1] * hv.max_wheelbrake_force;
      hold += std::min(brake, kBrakeFriction * n);
    }
    double f_ahead = -hold * Clamp(v_ahead / kRollSlip, -1, 1);
    double f_side = -kSideFriction * n * Clamp(v_side / kSideSlip, -1, 1);
    VECTOR3 f = V3(0, n, 0) + ahead * f_ahead + side * f_side;
    out.force_world = out.force_world + f;
    out.torque = out.torque + Unrot(b, Cross(r, f));
  }
}

// Deepest point below the ground of the touchdown points and the centre of
// gravity (0 when none is below).
double Penetration(const HostVessel &hv, const RigidBody &b) {
  const VECTOR3 *td = Touchdown(hv);
  const VECTOR3 points[4] = {Finite(td[0]), Finite(td[1]), Finite(td[2]), V3(0, 0, 0)};
  double deepest = 0;
  for (const VECTOR3 &p : points) deepest = std::max(deepest, -(b.pos.y + ToWorld(b, p).y));
  return deepest;
}

// Puts a body pressed deeper than `deepest` back on the ground, no longer
// sinking; the springs then hold it as they hold a landed vessel.
void OutOfTheGround(const HostVessel &hv, RigidBody &b, double deepest) {
  const double depth = Penetration(hv, b);
  if (depth > deepest) {
    b.pos.y += depth - kStaticSink;
    b.vel.y = std::max(b.vel.y, 0.0);
  }
}

// `v` no faster than `most` (a velocity too large to measure: at rest).
VECTOR3 SpeedCapped(const VECTOR3 &v, double most) {
  const double big = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
  if (!std::isfinite(big)) return V3(0, 0, 0);
  if (big <= most / 2) return v;  // well under the cap whatever the direction
  const VECTOR3 u = v * (1 / big);
  const double speed = Length(u) * big;
  // A hair under the cap, so that the speed the host reports reads back
  // within it.
  return speed > most ? u * (most * (1 - 1e-12) / Length(u)) : v;
}

void KeepPossible(HostVessel &hv, const RigidBody &before) {
  RigidBody &b = hv.body;
  bool finite = true;
  for (double x : {b.pos.x, b.pos.y, b.pos.z, b.vel.x, b.vel.y, b.vel.z, b.omega.x, b.omega.y, b.omega.z})
    finite &= std::isfinite(x);
  for (double x : b.rot) finite &= std::isfinite(x);
  if (!finite) {  // what no force should do: the step is undone and the body stopped
    b = before;
    b.vel = V3(0, 0, 0), b.omega = V3(0, 0, 0);
  }
  b.vel = SpeedCapped(b.vel, kMaxSpeed);
  b.omega = V3(Clamp(b.omega.x, -kMaxRate, kMaxRate), Clamp(b.omega.y, -kMaxRate, kMaxRate),
               Clamp(b.omega.z, -kMaxRate, kMaxRate));
  b.pos = V3(Clamp(b.pos.x, -kMaxDistance, kMaxDistance), std::min(b.pos.y, kMaxDistance),
             Clamp(b.pos.z, -kMaxDistance, kMaxDistance));
  OutOfTheGround(hv, b, kMaxPenetration);
}

void Substep(HostVessel &hv, double dt) {
  RigidBody &b = hv.body;
  // Pressed too deep (the module moved its touchdown points, say), the
  // springs would throw the body up: it is put on the ground first.
  OutOfTheGround(hv, b, kMaxPenetration);
  const RigidBody before = b;
  double mass = VesselMass(hv);
  VECTOR3 inertia = Inertia(hv, mass);
  Atmosphere atm = StandardAtmosphere(b.pos.y);
  VECTOR3 v = Unrot(b, b.vel);  // no wind: the airspeed is the velocity
  double speed = Length(v);
  double q = 0.5 * atm.density * speed * speed;
  Loads loads;

  // Thrusters: level x maximum thrust along the normalised direction, none
  // from an empty or missing tank; the flow is thrust over ISP.
  for (auto &t : hv.thrusters) {
    if (!t->prop || t->prop->mass <= 0 || !(t->level > 0) || !(t->max0 > 0)) continue;
    const VECTOR3 &dir = t->UnitDir();
    double thrust = t->level * t->max0;
    loads.Add(dir * thrust, Finite(t->pos), b);
    if (t->isp0 > 0) {
      double eff = t->prop->efficiency > 0 ? t->prop->efficiency : 1;
      t->prop->mass = std::max(0.0, t->prop->mass - thrust / (t->isp0 * eff) * dt);
    }
  }
  // Each airfoil sees the airflow at its reference point, turning included,
  // which damps pitching and yawing.
  for (auto &a : hv.airfoils) {
    VECTOR3 local = v + Cross(b.omega, a.ref);
    AirfoilLoads(a, local, Length(local), atm, b, loads);
  }
  for (auto &c : hv.ctrl_surfaces) ControlSurfaceLoads(hv, c, q, b, loads);
  if (speed > 1e-9) {
    VECTOR3 drag_dir = v * (-1 / speed);
    for (auto &d : hv.drag_elements) {
      double k = d.drag ? *d.drag : 0;
      // A drag factor that is not finite or is negative (it would push) is
      // refused: it counts as none, and is said once per vessel.
      if (!(k >= 0 && k <= std::numeric_limits<double>::max())) {
        if (!b.drag_refused)
          std::fprintf(stderr, "host: vessel %s: drag factor %g refused (not finite or negative); it counts as 0\n",
                       hv.name.c_str(), k);
        b.drag_refused = true;
        continue;
      }
      if (k != 0) loads.Add(drag_dir * std::min(q * k * d.factor, mass / dt * speed), d.ref, b);
    }
    // Body drag along each vessel axis from its coefficient and cross section.
    double half_rho_v = 0.5 * atm.density * speed;
    double cwz = v.z >= 0 ? hv.cw[0] : hv.cw[1];
    VECTOR3 f = V3(-half_rho_v * v.x * hv.cw[2] * hv.cross_sections.x,
                   -half_rho_v * v.y * hv.cw[3] * hv.cross_sections.y, -half_rho_v * v.z * cwz * hv.cross_sections.z);
    // Drag slows the airflow along an axis at most to rest within the
    // sub-step, never beyond (a coefficient of 999 would otherwise reverse it).
    double cap = mass / dt;
    f = V3(Clamp(f.x, -cap * std::fabs(v.x), cap * std::fabs(v.x)),
           Clamp(f.y, -cap * std::fabs(v.y), cap * std::fabs(v.y)),
           Clamp(f.z, -cap * std::fabs(v.z), cap * std::fabs(v.z)));
    loads.Add(Finite(f), V3(0, 0, 0), b);
  }
  // Rotational drag, growing with the air density and the airspeed.
  double size = std::max(Finite(hv.size), 1.0);
  double size3 = size * size * size;
  double rot_k = 1.5 * atm.density * (speed + 20) * size3;
  loads.torque =
      loads.torque - V3(hv.rot_drag.x * b.omega.x, hv.rot_drag.y * b.omega.y, hv.rot_drag.z * b.omega.z) * rot_k;
  // Forces the module added for this step.
  for (auto &f : hv.forces) loads.Add(Finite(f.F), Finite(f.r), b);
  loads.torque = loads.torque + NavTorque(hv, inertia);
  bool contact = false;
  GroundLoads(hv, b, mass, loads, contact);
  loads.force_world.y -= mass * kStandardGravity;

  // Semi-implicit Euler: velocities first, then positions with them; the
  // speed is capped before the body moves, so no step goes further than
  // kMaxSpeed allows, and the height stays below kMaxDistance.
  b.vel = b.vel + Finite(loads.force_world) * (dt / mass);
  b.vel = SpeedCapped(b.vel, kMaxSpeed);
  b.pos = b.pos + b.vel * dt;
  VECTOR3 w = b.omega;
  VECTOR3 iw = V3(inertia.x * w.x, inertia.y * w.y, inertia.z * w.z);
  VECTOR3 tq = Finite(loads.torque) - Cross(w, iw);
  b.omega = w + V3(tq.x / inertia.x, tq.y / inertia.y, tq.z / inertia.z) * dt;
  // Turn the body by omega * dt about the vessel axis (Rodrigues).
  double angle = Length(b.omega) * dt;
  if (angle > 0) {
    VECTOR3 k = b.omega * (1 / Length(b.omega));
    double c = std::cos(angle), s = std::sin(angle);
    VECTOR3 cols[3];
    for (int i = 0; i < 3; ++i) {
      VECTOR3 e = V3(i == 0, i == 1, i == 2);  // vessel axis i, turned within the vessel frame
      VECTOR3 e2 = e * c + Cross(k, e) * s + k * (Dot(k, e) * (1 - c));
      cols[i] = Rot(b, e2);
    }
    SetColumns(b, cols[0], cols[1], cols[2]);
    Orthonormalise(b);
  }
  KeepPossible(hv, before);
}

}  // namespace

VECTOR3 ToWorld(const RigidBody &b, const VECTOR3 &v) { return Rot(b, v); }

VECTOR3 ToVessel(const RigidBody &b, const VECTOR3 &v) { return Unrot(b, v); }

Atmosphere StandardAtmosphere(double altitude) {
  const double R = 287.053, gamma = 1.4, g = kStandardGravity;
  Atmosphere a;
  double h = std::max(altitude, 0.0);
  if (h <= 11000) {  // troposphere: the temperature falls 6.5 K per km
    a.temperature = 288.15 - 0.0065 * h;
    a.pressure = 101325 * std::pow(a.temperature / 288.15, g / (R * 0.0065));
  } else {  // above: isothermal, the pressure falls exponentially
    a.temperature = 216.65;
    a.pressure = 22632.1 * std::exp(-g * (h - 11000) / (R * a.temperature));
  }
  a.density = a.pressure / (R * a.temperature);
  a.speed_of_sound = std::sqrt(gamma * R * a.temperature);
  return a;
}

double VesselMass(const HostVessel &hv) {
  double m = Finite(hv.empty_mass);
  for (auto &p : hv.propellants) m += Finite(p->mass);
  return m < 1 ? 1 : m;
}

bool TouchesGround(const HostVessel &hv) {
  const VECTOR3 *td = Touchdown(hv);
  for (int i = 0; i < 3; ++i)
    if (hv.body.pos.y + Rot(hv.body, Finite(td[i])).y <= 0) return true;
  return false;
}

void PlaceBody(HostVessel &hv) {
  RigidBody &b = hv.body;
  double hdg = Finite(hv.heading);
  VECTOR3 north_ahead = V3(std::sin(hdg), 0, std::cos(hdg));
  VECTOR3 pos = b.has_pos ? Finite(b.pos) : V3(0, 0, 0);
  if (hv.ground_contact) {
    // Resting on the touchdown points: the plane through them is the ground.
    const VECTOR3 *td = Touchdown(hv);
    VECTOR3 up = Normalised(Cross(td[2] - td[0], td[1] - td[0]));
    if (Length(up) == 0) up = V3(0, 1, 0);
    if (Dot(up, td[0]) > 0) up = up * -1;
    double height = -Dot(up, td[0]);
    VECTOR3 fwd = Normalised(V3(0, 0, 1) - up * up.z);
    VECTOR3 right = Cross(up, fwd);
    // World = A * vessel, with A taking right, up, fwd to east-of-heading, up, heading.
    VECTOR3 w_up = V3(0, 1, 0), w_fwd = north_ahead, w_right = Cross(w_up, w_fwd);
    RigidBody tmp;
    for (int i = 0; i < 3; ++i) {
      VECTOR3 e = V3(i == 0, i == 1, i == 2);
      VECTOR3 col = w_right * Dot(right, e) + w_up * Dot(up, e) + w_fwd * Dot(fwd, e);
      tmp.rot[i] = col.x, tmp.rot[3 + i] = col.y, tmp.rot[6 + i] = col.z;
    }
    std::copy(tmp.rot, tmp.rot + 9, b.rot);
    pos.y = std::max(height, 0.0) - kStaticSink;  // resting on its springs
    b.vel = b.has_vel ? Finite(b.vel) : V3(0, 0, 0);
  } else {
    double p = Finite(hv.pitch), bank = Finite(hv.bank);
    VECTOR3 nose = V3(std::cos(p) * std::sin(hdg), std::sin(p), std::cos(p) * std::cos(hdg));
    VECTOR3 right0 = V3(std::cos(hdg), 0, -std::sin(hdg));
    VECTOR3 up0 = Cross(nose, right0);
    VECTOR3 right = right0 * std::cos(bank) - up0 * std::sin(bank);
    VECTOR3 up = up0 * std::cos(bank) + right0 * std::sin(bank);
    SetColumns(b, right, up, nose);
    pos.y = Finite(hv.altitude);
    b.vel = b.has_vel ? Finite(b.vel) : nose * Finite(hv.airspeed);
  }
  b.pos = pos;
  if (!b.has_omega) b.omega = V3(0, 0, 0);
  b.omega = Finite(b.omega);
  Orthonormalise(b);
  // A body placed by its height alone that starts in the ground deeper than
  // its springs hold it at rest (its whole weight on one point, as on its
  // back) starts on it: a spring pressed further would throw it up. A body
  // whose motion is given (a saved flight) goes on as it was.
  OutOfTheGround(hv, b, b.has_vel ? kMaxPenetration : 3 * kStaticSink + 1e-3);
  KeepPossible(hv, b);
  b.active = true;
  UpdateReportedState(hv);
}

void PhysicsStep(HostVessel &hv, double dt) {
  if (!hv.body.active) PlaceBody(hv);
  if (!(dt > 0) || !std::isfinite(dt)) return;
  int n = (int)std::ceil(dt / kMaxSubstep);
  if (n < 1) n = 1;
  double h = dt / n;
  for (int i = 0; i < n; ++i) Substep(hv, h);
  UpdateReportedState(hv);
}

void UpdateReportedState(HostVessel &hv) {
  const RigidBody &b = hv.body;
  hv.altitude = b.pos.y;
  hv.horizon_airspeed = b.vel;
  hv.ship_airspeed = Unrot(b, b.vel);
  hv.airspeed = Length(b.vel);
  hv.aoa = std::atan2(-hv.ship_airspeed.y, hv.ship_airspeed.z);
  VECTOR3 nose = Column(b, 2), up = Column(b, 1), right = Column(b, 0);
  hv.pitch = std::asin(Clamp(nose.y, -1, 1));
  hv.bank = std::atan2(-right.y, up.y);  // positive with the right wing down
  double hdg = std::atan2(nose.x, nose.z);
  hv.heading = hdg < 0 ? hdg + 2 * PI : hdg;
  hv.ground_contact = TouchesGround(hv);
}

void HostControllers(HostVessel &hv, double) {
  RigidBody &b = hv.body;
  // Altitude hold: the hover thrusters keep the altitude the hold was engaged at.
  if (hv.navmode[NAVMODE_HOLDALT]) {
    if (!b.hold_armed) b.hold_altitude = b.pos.y, b.hold_armed = true;
    ThrusterGroup *g = hv.Group(THGROUP_HOVER);
    if (g && !g->members.empty()) {
      // What the hover thrusters could lift, and what the other thrusters lift now.
      double lift = 0, other = 0;
      for (auto &t : hv.thrusters) {
        double up = std::max(0.0, t->max0) * Rot(b, t->UnitDir()).y;
        if (std::find(g->members.begin(), g->members.end(), t.get()) != g->members.end())
          lift += std::max(0.0, up);
        else if (t->prop && t->prop->mass > 0)
          other += t->level * up;
      }
      if (lift > 0) {
        double mass = VesselMass(hv);
        double want = mass * (kStandardGravity + 0.5 * (b.hold_altitude - b.pos.y) - 1.0 * b.vel.y) - other;
        hv.SetGroupLevel(THGROUP_HOVER, want / lift);
      }
    }
  } else {
    b.hold_armed = false;
  }
  // The pilot's translation inputs act in the linear attitude mode only.
  bool linear = hv.attitude_mode == 2;
  hv.SetGroupLevel(THGROUP_ATT_FORWARD, linear ? b.pilot_linear[0] : 0);
  hv.SetGroupLevel(THGROUP_ATT_BACK, linear ? b.pilot_linear[1] : 0);
}

}  // namespace host
