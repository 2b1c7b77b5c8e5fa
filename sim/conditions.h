// The script's lines that react to the flight rather than to the clock:
//   when <condition> [after <seconds>]: <a timed line without its time>
//   stop when <condition> [after <seconds>]
//   expect always <column> <op> <value> [tolerance]
//   <from>..<to> expect <column> <op> <value> [tolerance]
//   <time> set <control> <level> over <seconds>      (also after `when ...:`)
// A condition is one or more comparisons `<column> <op> <value> [tolerance]`
// joined by `and`, each compared as `expect` compares. They are looked at
// at every step, on the state the step reached, with the timed expectations.
#pragma once

#include <string>
#include <vector>

#include "sim/script.h"

namespace sim {

// Reads `text` when it is one of the forms above (true), with `ok` telling
// whether it is well formed and `error` what was expected if not; false for
// any other line, which is then a timed one.
bool ParseReactiveLine(const std::string &text, ScriptEvent &ev, std::string &error, bool &ok);

// The kinds of these lines as the lists and the reference show them.
const std::vector<ScriptCommand> &ReactingLines();

// The telemetry of the vessels now.
class ColumnValues {
 public:
  // A column of a vessel (empty name: the vessel in focus).
  virtual double Value(const std::string &vessel, int column) = 0;

 protected:
  ~ColumnValues() = default;
};

bool ConditionHolds(const std::vector<Comparison> &condition, ColumnValues &values);

// A `when` or `stop when` line through the run.
struct Trigger {
  ScriptEvent line;
  double held = -1;   // when its condition first held; -1 while it has not
  double fired = -1;  // when it fired; -1 while it has not
};

// A check over time (`expect always`, `<from>..<to> expect`) through the run.
struct SpanCheck {
  ScriptEvent line;
  long steps = 0, failed = 0;
  double first_failed = 0, value_then = 0;  // the first failing step and the value there
  double last = -1;                         // the last step checked; -1 before the first
  // "passed", "FAILED" or "not reached", and the actual values for the report.
  const char *Verdict() const { return steps == 0 ? "not reached" : failed ? "FAILED" : "passed"; }
  std::string Actual() const;
};

// Follows the reacting lines of a script through a run.
class Reactions {
 public:
  // Takes the lines whose timing is not `At`; false for any other.
  bool Add(const ScriptEvent &ev);
  bool Empty() const { return triggers_.empty() && spans_.empty(); }

  // At each step, after its timed expectations: the checks over time that
  // cover `t` take it, and the `when` lines due now are handed out in
  // `fired` in file order. True when a `stop when` fired: the run ends.
  bool Observe(double t, ColumnValues &values, std::vector<const Trigger *> &fired);

  const std::vector<Trigger> &Triggers() const { return triggers_; }
  const std::vector<SpanCheck> &Spans() const { return spans_; }

 private:
  std::vector<Trigger> triggers_;
  std::vector<SpanCheck> spans_;
};

// What a trigger that never fired waited for, for the warning and the report.
// `end` tells how the run ended ("the run ended at t=61.000 s").
std::string NeverFiredWhy(const Trigger &tr, const std::string &end);

}  // namespace sim
