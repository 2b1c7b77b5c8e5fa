// The flight's timeline for the report: what the script did (keys with
// their names, controls, nav modes, time acceleration, camera, cockpit and
// HUD changes, saves, HUD frames) and what the vessel did (sound slots
// started, looped and stopped, the flight-envelope warning on and off).
#pragma once

#include <string>
#include <vector>

#include "sim/script.h"

namespace sim {

struct FlightEvent {
  double t = 0;
  std::string kind;  // "key", "control", "navmode", "timeacc", "camera", "cockpit", "hud", "save", "sound", "warning"
  std::string text;
};

// The event of a script input at time `t`; false for an expectation (they
// have a table of their own).
bool InputEvent(const ScriptEvent &ev, double t, FlightEvent &out);

// Follows one vessel's sound slots from step to step and tells when a slot
// starts (once or looping), turns to looping, or stops.
class SlotWatch {
 public:
  // `who` prefixes the texts (the vessel's name when there are several).
  explicit SlotWatch(std::string who = "") : who_(std::move(who)) {}
  void Observe(double t, int slot, bool playing, bool loop, const char *wave, std::vector<FlightEvent> &out);

 private:
  std::string who_;
  bool playing_[61] = {}, loop_[61] = {};
};

// The flight-envelope warning (the module drives the drag to 999 and cuts
// the engine) as it comes and goes.
class WarningWatch {
 public:
  explicit WarningWatch(std::string who = "") : who_(std::move(who)) {}
  void Observe(double t, double drag_cw_z, std::vector<FlightEvent> &out);

 private:
  std::string who_;
  bool on_ = false;
};

}  // namespace sim
