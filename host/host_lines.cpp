#include "host/host_lines.h"

#include <strings.h>

#include <cerrno>
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

bool Real(const char *text, double &out, const char **rest = nullptr) {
  char *end;
  errno = 0;
  double v = std::strtod(text, &end);
  if (end == text || errno == ERANGE || !std::isfinite(v)) return false;
  out = v;
  if (rest) *rest = end;
  return true;
}

// Three reals, nothing else but white space after them.
bool Vector(const char *text, VECTOR3 &out) {
  double d[3];
  for (double &x : d)
    if (!Real(text, x, &text)) return false;
  while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
  if (*text) return false;
  out = _V(d[0], d[1], d[2]);
  return true;
}

}  // namespace

std::vector<std::string> HostLines(const HostVessel &hv) {
  std::vector<std::string> out;
  out.push_back(std::string("  STATUS ") + (hv.ground_contact ? "Landed" : "Flying"));
  out.push_back("  ALT " + Num(hv.altitude));
  out.push_back("  AIRSPEED " + Num(hv.airspeed));
  out.push_back("  PITCH " + Num(hv.pitch));
  out.push_back("  BANK " + Num(hv.bank));
  out.push_back("  HEADING " + Num(hv.heading));
  if (!hv.propellants.empty()) out.push_back("  FUEL " + Num(hv.propellants[0]->mass));
  if (hv.body.active) {  // the flight host's physics state, so a saved flight flies on
    const RigidBody &b = hv.body;
    out.push_back("  POS " + Num(b.pos.x) + " " + Num(b.pos.y) + " " + Num(b.pos.z));
    out.push_back("  VEL " + Num(b.vel.x) + " " + Num(b.vel.y) + " " + Num(b.vel.z));
    out.push_back("  ANGVEL " + Num(b.omega.x) + " " + Num(b.omega.y) + " " + Num(b.omega.z));
  }
  return out;
}

bool ParseHostLine(HostVessel &hv, const char *line) {
  if (!line) return false;
  while (*line == ' ' || *line == '\t') ++line;
  const char *v;
  double d;
  if ((v = Value(line, "STATUS"))) {
    while (*v == ' ' || *v == '\t') ++v;
    if (strncasecmp(v, "Landed", 6) == 0) return hv.ground_contact = true, true;
    if (strncasecmp(v, "Flying", 6) == 0) return hv.ground_contact = false, true;
    return false;
  }
  if ((v = Value(line, "ALT")) && Real(v, d)) return hv.altitude = d, true;
  if ((v = Value(line, "AIRSPEED")) && Real(v, d)) return hv.airspeed = d, true;
  if ((v = Value(line, "PITCH")) && Real(v, d)) return hv.pitch = d, true;
  if ((v = Value(line, "BANK")) && Real(v, d)) return hv.bank = d, true;
  if ((v = Value(line, "HEADING")) && Real(v, d)) return hv.heading = d, true;
  VECTOR3 vec;
  if ((v = Value(line, "POS")) && Vector(v, vec)) return hv.body.pos = vec, hv.body.has_pos = true, true;
  if ((v = Value(line, "VEL")) && Vector(v, vec)) return hv.body.vel = vec, hv.body.has_vel = true, true;
  if ((v = Value(line, "ANGVEL")) && Vector(v, vec)) return hv.body.omega = vec, hv.body.has_omega = true, true;
  if ((v = Value(line, "FUEL")) && Real(v, d)) {
    if (hv.propellants.empty() || d < 0) return false;
    hv.propellants[0]->mass = std::fmin(d, hv.propellants[0]->maxmass);
    return true;
  }
  return false;
}

}  // namespace host
