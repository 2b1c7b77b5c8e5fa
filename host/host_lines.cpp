#include "host/host_lines.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

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

bool Real(const char *text, double &out) {
  char *end;
  errno = 0;
  double v = std::strtod(text, &end);
  if (end == text || errno == ERANGE || !std::isfinite(v)) return false;
  out = v;
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
  if ((v = Value(line, "FUEL")) && Real(v, d)) {
    if (hv.propellants.empty() || d < 0) return false;
    hv.propellants[0]->mass = std::fmin(d, hv.propellants[0]->maxmass);
    return true;
  }
  return false;
}

}  // namespace host
