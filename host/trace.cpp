#include "host/trace.h"

#include <charconv>
#include <cmath>

#include "host/module_call.h"

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
  if (module_call_hooks().outside && !InModuleCall()) module_call_hooks().outside(name);
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
  // The shortest digits that read back as the same double, as "%g" would
  // place them ("1e-06", "0.0001", "-2.41164"), except that values from 1 up
  // to 1e17 read better in plain digits ("440000", not "4.4e+05").
  char buf[40];
  const double a = std::fabs(v);
  const auto form = a >= 1 && a < 1e17 ? std::chars_format::fixed : std::chars_format::general;
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v, form).ptr);
}

std::string Vec(const VECTOR3 &v) { return "(" + Num(v.x) + ", " + Num(v.y) + ", " + Num(v.z) + ")"; }

std::string Str(const char *s) { return s ? "\"" + std::string(s) + "\"" : std::string("null"); }

std::string Bool(bool b) { return b ? "true" : "false"; }

}  // namespace host
