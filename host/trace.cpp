#include "host/trace.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace host {

std::vector<std::string> Trace::Texts() const {
  std::vector<std::string> out;
  out.reserve(entries_.size());
  for (const auto &e : entries_) out.push_back(e.Text());
  return out;
}

std::vector<std::string> Trace::Filter(const std::vector<std::string> &names) const {
  std::vector<std::string> out;
  for (const auto &e : entries_)
    for (const auto &n : names)
      if (e.name == n) {
        out.push_back(e.Text());
        break;
      }
  return out;
}

size_t Trace::Count(const std::string &name) const {
  size_t n = 0;
  for (const auto &e : entries_) n += (e.name == name);
  return n;
}

bool Trace::Contains(const std::string &text) const {
  for (const auto &e : entries_)
    if (e.Text() == text) return true;
  return false;
}

void Trace::Add(const char *vessel, const char *name, std::string args) {
  TraceEntry e;
  e.vessel = vessel ? vessel : "";
  e.name = name;
  e.args = std::move(args);
  e.step = step_counter;
  entries_.push_back(std::move(e));
}

std::string Num(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  char buf[40];
  for (int prec = 1; prec <= 17; ++prec) {
    std::snprintf(buf, sizeof buf, "%.*g", prec, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  // Large values read better in plain digits ("440000", not "4.4e+05").
  if (std::strchr(buf, 'e') && std::fabs(v) >= 1 && std::fabs(v) < 1e17) {
    for (int decimals = 0; decimals <= 17; ++decimals) {
      std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
      if (std::strtod(buf, nullptr) == v) break;
    }
  }
  // Two exponent digits on every platform ("1e-06", never "1e-006").
  std::string out = buf;
  const size_t e = out.find('e');
  if (e != std::string::npos) {
    size_t digits = e + 2;  // after the sign
    while (out.size() - digits > 2 && out[digits] == '0') out.erase(digits, 1);
  }
  return out;
}

std::string Vec(const VECTOR3 &v) { return "(" + Num(v.x) + ", " + Num(v.y) + ", " + Num(v.z) + ")"; }

std::string Str(const char *s) { return s ? "\"" + std::string(s) + "\"" : std::string("null"); }

std::string Bool(bool b) { return b ? "true" : "false"; }

}  // namespace host
