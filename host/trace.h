// The call trace of the stand-in host: every host function the module calls,
// in order, with its arguments as text. Handles appear under stable names
// (thrusters as th<N> by creation index, meshes by file name, and so on), so
// tests can compare calls as strings.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "module/orbiter_api.h"

namespace host {

struct TraceEntry {
  std::string vessel;  // name of the vessel the call was made on; empty for global functions
  std::string name;    // function name, e.g. "SetThrusterMax0"
  std::string args;    // arguments, comma separated, e.g. "th0, 440000"
  long step = 0;       // host step counter when the call was made
  std::string Text() const { return name + "(" + args + ")"; }
};

class Trace {
 public:
  bool enabled = true;

  void Clear() { entries_.clear(); }
  const std::vector<TraceEntry> &Entries() const { return entries_; }
  // Every call as "Name(args)", in order.
  std::vector<std::string> Texts() const;
  // The calls whose function name is one of `names`, as "Name(args)".
  std::vector<std::string> Filter(const std::vector<std::string> &names) const;
  std::vector<std::string> Filter(const std::string &name) const { return Filter(std::vector<std::string>{name}); }
  size_t Count(const std::string &name) const;
  bool Contains(const std::string &text) const;

  void Add(const char *vessel, const char *name, std::string args);
  long step_counter = 0;

 private:
  std::vector<TraceEntry> entries_;
};

// Argument formatting. Reals are written in the shortest form that reads
// back as the same double ("0.3", "440000", "-2.41164").
std::string Num(double v);
std::string Vec(const VECTOR3 &v);
std::string Str(const char *s);  // quoted, or null
std::string Bool(bool b);

// Joins formatted arguments with ", ".
inline std::string Args() { return std::string(); }
template <typename... Rest>
std::string Args(const std::string &first, const Rest &...rest) {
  std::string out = first;
  ((out += ", ", out += rest), ...);
  return out;
}

}  // namespace host
