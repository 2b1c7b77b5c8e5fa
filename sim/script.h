// The flight script: timed pilot inputs and expectations, one per line,
// "<time> <command> <arguments>". The commands are in one table
// (ScriptCommands), each with the routine that reads it; docs/scenarios.md
// describes them. A ';' outside double quotes starts a comment. Times are
// simulation seconds. A column, or the target of `set`, may be qualified
// with a vessel name ("Tarvex2.alt"); otherwise it is the vessel in focus.
// The lines that react to the flight rather than to the clock (`when`,
// `stop when`, `expect always`, `<from>..<to> expect`, `set ... over`) are
// read in sim/conditions.h.
#pragma once

#include <string>
#include <vector>

#include "host/scenario_text.h"

namespace sim {

// Inputs and outputs first, expectations from Expect on.
enum class Command { Key, Set, Navmode, TimeAcc, Camera, Cockpit, Hud, Save, HudFrame, Expect, ExpectHud, ExpectSound };

enum class Compare { Eq, Ne, Lt, Le, Gt, Ge };

// When a line acts: at its time, once its condition held (`when`), ending
// the run (`stop when`), or checked every step of the run or of an interval.
enum class Timing { At, When, Stop, Always, During };

// One comparison of a condition, as `expect` writes it.
struct Comparison {
  std::string vessel, name;  // qualifier (empty: the vessel in focus) and column
  int column = -1;
  Compare op = Compare::Eq;
  double value = 0, tolerance = 0;
};

// What a `set` line moves.
enum class SetTarget { Main, Hover, Elevator, Aileron, Rudder, Trim, Forward, Back, Brake };

struct ScriptEvent {
  double time = 0;
  std::string file;
  int line = 0;
  std::string source;  // the line as written
  Command command = Command::Key;
  std::string vessel;  // qualifier; empty for the vessel in focus
  std::string name;    // key name, set target, column, HUD text or file
  unsigned key = 0;    // key code
  SetTarget target = SetTarget::Main;
  bool shift = false, ctrl = false, alt = false;
  int mode = 0;     // navmode number, cockpit or HUD mode, sound slot
  bool on = false;  // navmode on, camera internal, sound playing
  int column = -1;
  Compare op = Compare::Eq;
  double value = 0, tolerance = 0;
  Timing timing = Timing::At;
  std::vector<Comparison> condition;  // `when`, `stop when`: every one must hold
  double after = 0;                   // `when ... after N`: seconds from the first step it held
  double until = 0;                   // `<from>..<to> expect`: the end; `time` is the start
  double over = 0;                    // `set ... over N`: seconds the ramp takes; 0 sets at once
  std::string Where() const { return file + ":" + std::to_string(line); }
};

// A command as the lists and the reference show it.
struct ScriptCommand {
  const char *name;       // "key", "expect hud"
  const char *arguments;  // what follows it
  const char *meaning;
};
const std::vector<ScriptCommand> &ScriptCommands();

// The controls `set` moves: name, target, lowest level (-1 or 0; the
// highest is 1) and how the vessel and the host act on it.
struct SetControl {
  const char *name;
  SetTarget target;
  double lowest;
  const char *meaning;
};
const std::vector<SetControl> &SetTargets();

// Reads one script line; on failure says what was expected in `error`.
bool ParseScriptLine(const std::string &text, ScriptEvent &ev, std::string &error);
// The same for a line of the timed kinds only (no conditions, intervals, ramps).
bool ParseTimedLine(const std::string &text, ScriptEvent &ev, std::string &error);

// Reads every line; problems carry the file and line number, and a timed
// line earlier than a timed line above it is a warning. The events come back
// sorted by time, lines of the same time in file order. False when a
// problem other than a warning was found.
bool ParseScript(const std::vector<host::ScenarioScriptLine> &lines, const std::string &file,
                 std::vector<ScriptEvent> &events, std::vector<host::ScenarioProblem> &problems);

// A step within this many seconds of a script time is at that time.
const double kAtTimeTolerance = 1e-9;

// A number as a script writes it: the whole word, finite.
bool ScriptNumber(const std::string &s, double &out);

// Whether `actual` passes the comparison.
bool Holds(Compare op, double actual, double value, double tolerance);
const char *CompareText(Compare op);

}  // namespace sim
