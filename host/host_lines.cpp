#include "host/host_lines.h"

#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

// The value after `key` (matched without regard to case, followed by white
// space), or null.
const char *Value(const char *line, const char *key) {
  size_t n = std::strlen(key);
  if (strncasecmp(line, key, n) != 0) return nullptr;
  if (line[n] != ' ' && line[n] != '\t') return nullptr;
  return line + n;
}

bool Blank(const char *text) {
  while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
  return !*text;
}

// A real; without `rest`, nothing but white space may follow it.
bool Real(const char *text, double &out, const char **rest = nullptr) {
  char *end;
  double v = std::strtod(text, &end);
  // A value too small for a double's full precision (1e-310, a saved
  // 3.5e-323) reads as the nearest double; only an overflow is refused.
  if (end == text || !std::isfinite(v)) return false;
  if (!rest && !Blank(end)) return false;
  out = v;
  if (rest) *rest = end;
  return true;
}

// Angles are degrees in the file, radians in the host.
const double kRadPerDeg = PI / 180;

std::string Trimmed(const char *text) {
  while (*text == ' ' || *text == '\t') ++text;
  std::string s = text;
  while (!s.empty() && std::isspace((unsigned char)s.back())) s.pop_back();
  return s;
}

// Three reals, nothing else but white space after them.
bool Vector(const char *text, VECTOR3 &out) {
  double d[3];
  for (double &x : d)
    if (!Real(text, x, &text)) return false;
  if (!Blank(text)) return false;
  out = _V(d[0], d[1], d[2]);
  return true;
}

}  // namespace

std::vector<std::string> HostLines(const HostVessel &hv) {
  std::vector<std::string> out;
  out.push_back(std::string("  STATUS ") + (hv.ground_contact ? "Landed" : "Flying"));
  if (!hv.ground_contact) {  // a landed vessel rests on its gear: these would not be used
    out.push_back("  ALT " + Num(hv.altitude));
    out.push_back("  AIRSPEED " + Num(hv.airspeed));
    out.push_back("  PITCH " + Num(hv.pitch / kRadPerDeg));
    out.push_back("  BANK " + Num(hv.bank / kRadPerDeg));
  }
  out.push_back("  HEADING " + Num(hv.heading / kRadPerDeg));
  if (!hv.propellants.empty()) out.push_back("  FUEL " + Num(hv.propellants[0]->mass));
  if (hv.body.active) {  // the flight host's physics state, so a saved flight flies on
    const RigidBody &b = hv.body;
    out.push_back("  POS " + Num(b.pos.x) + " " + Num(b.pos.y) + " " + Num(b.pos.z));
    out.push_back("  VEL " + Num(b.vel.x) + " " + Num(b.vel.y) + " " + Num(b.vel.z));
    out.push_back("  ANGVEL " + Num(b.omega.x) + " " + Num(b.omega.y) + " " + Num(b.omega.z));
  }
  return out;
}

namespace {

// What the host takes as a possible flight state; beyond these limits the
// physics would lose its precision or overflow.
const double kMaxHeight = 1e12;  // m, above the ground and across it
const double kMinHeight = -100;  // m: a vessel resting on its springs sits a little below
const double kMaxSpeed = 1e5;    // m/s
const double kMaxRate = 100;     // rad/s
const double kMaxAngle = 1e6;    // degrees
const char *kKeys[] = {"STATUS", "ALT", "AIRSPEED", "PITCH", "BANK", "HEADING", "POS", "VEL", "ANGVEL", "FUEL"};

bool Within(double x, double lo, double hi) { return x >= lo && x <= hi; }

// Reads a line of the host's into `hv` when it can; `why` says what is wrong
// with a line of the host's that cannot be taken.
bool Read(HostVessel &hv, const char *line, std::string &why) {
  const char *v;
  double d;
  VECTOR3 vec;
  auto real = [&](const char *key, double lo, double hi, const char *what) {
    if (!Real(v, d))
      return why = std::string("expected \"") + key + " <" + what + ">\", found \"" + Trimmed(v) + "\"", false;
    if (!Within(d, lo, hi)) return why = std::string(key) + " " + Num(d) + " is impossible (" + what + ")", false;
    return true;
  };
  auto vector = [&](const char *key, double lo, double hi, double lo_y, double hi_y, const char *what) {
    if (!Vector(v, vec))
      return why = std::string("expected \"") + key + " <x y z>\", found \"" + Trimmed(v) + "\"", false;
    if (!Within(vec.x, lo, hi) || !Within(vec.y, lo_y, hi_y) || !Within(vec.z, lo, hi))
      return why = std::string(key) + " " + Num(vec.x) + " " + Num(vec.y) + " " + Num(vec.z) + " is impossible (" +
                   what + ")",
             false;
    return true;
  };
  if ((v = Value(line, "STATUS"))) {
    while (*v == ' ' || *v == '\t') ++v;
    if (strncasecmp(v, "Landed", 6) == 0 && Blank(v + 6)) return hv.ground_contact = true, true;
    if (strncasecmp(v, "Flying", 6) == 0 && Blank(v + 6)) return hv.ground_contact = false, true;
    return why = "expected \"STATUS Landed|Flying\", found \"" + Trimmed(v) + "\"", false;
  }
  if ((v = Value(line, "ALT")))
    return real("ALT", kMinHeight, kMaxHeight, "metres, -100 to 1e12") && (hv.altitude = d, true);
  if ((v = Value(line, "AIRSPEED"))) return real("AIRSPEED", 0, kMaxSpeed, "m/s, 0 to 1e5") && (hv.airspeed = d, true);
  if ((v = Value(line, "PITCH")))
    return real("PITCH", -kMaxAngle, kMaxAngle, "degrees") && (hv.pitch = d * kRadPerDeg, true);
  if ((v = Value(line, "BANK")))
    return real("BANK", -kMaxAngle, kMaxAngle, "degrees") && (hv.bank = d * kRadPerDeg, true);
  if ((v = Value(line, "HEADING")))
    return real("HEADING", -kMaxAngle, kMaxAngle, "degrees") && (hv.heading = d * kRadPerDeg, true);
  if ((v = Value(line, "POS"))) {
    if (!vector("POS", -kMaxHeight, kMaxHeight, kMinHeight, kMaxHeight, "metres, height -100 to 1e12")) return false;
    return hv.body.pos = vec, hv.body.has_pos = true, true;
  }
  if ((v = Value(line, "VEL"))) {
    if (!vector("VEL", -kMaxSpeed, kMaxSpeed, -kMaxSpeed, kMaxSpeed, "m/s, -1e5 to 1e5")) return false;
    return hv.body.vel = vec, hv.body.has_vel = true, true;
  }
  if ((v = Value(line, "ANGVEL"))) {
    if (!vector("ANGVEL", -kMaxRate, kMaxRate, -kMaxRate, kMaxRate, "rad/s, -100 to 100")) return false;
    return hv.body.omega = vec, hv.body.has_omega = true, true;
  }
  if ((v = Value(line, "FUEL"))) {
    if (!real("FUEL", 0, 1e300, "kg, 0 or more")) return false;
    if (hv.propellants.empty()) return why = "FUEL for a vessel without a propellant resource", false;
    hv.propellants[0]->mass = std::fmin(d, hv.propellants[0]->maxmass);
    if (d > hv.propellants[0]->maxmass)
      why = "FUEL " + Num(d) + " is more than the tank holds: filled to its " + Num(hv.propellants[0]->maxmass) + " kg";
    return true;
  }
  return false;
}

}  // namespace

bool ParseHostLine(HostVessel &hv, const char *line) {
  std::string why;
  HostLineVerdict verdict = CheckHostLine(hv, line, why);
  return verdict == HostLineVerdict::kRead || verdict == HostLineVerdict::kNoted;
}

HostLineVerdict CheckHostLine(HostVessel &hv, const char *line, std::string &why) {
  why.clear();
  if (!line) return HostLineVerdict::kUnknown;
  while (*line == ' ' || *line == '\t') ++line;
  if (Read(hv, line, why)) return why.empty() ? HostLineVerdict::kRead : HostLineVerdict::kNoted;
  if (!why.empty()) return HostLineVerdict::kRefused;
  for (const char *key : kKeys) {
    size_t n = std::strlen(key);
    if (strncasecmp(line, key, n) == 0 && (line[n] == 0 || line[n] == ' ' || line[n] == '\t'))
      return why = std::string("expected a value after ") + key, HostLineVerdict::kRefused;
  }
  return HostLineVerdict::kUnknown;
}

}  // namespace host
