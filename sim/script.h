// The flight script: timed pilot inputs and expectations, one per line,
// "<time> <command> <arguments>". The commands are in one table
// (ScriptCommands), each with the routine that reads it; docs/scenarios.md
// describes them. A ';' outside double quotes starts a comment. Times are
// simulation seconds. A column, or the target of `set`, may be qualified
// with a vessel name ("Tarvex2.alt"); otherwise it is the vessel in focus.
#pragma once

#include <string>
#include <vector>

#include "host/scenario_text.h"

namespace sim {

// Inputs and outputs first, expectations from Expect on.
enum class Command { Key, Set, Navmode, TimeAcc, Camera, Cockpit, Hud, Save, HudFrame, Expect, ExpectHud, ExpectSound };

enum class Compare { Eq, Ne, Lt, Le, Gt, Ge };

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

// Reads every line; problems carry the file and line number, and a line
// earlier in time than a line above it is a warning. The events come back
// sorted by time, lines of the same time in file order. False when a
// problem other than a warning was found.
bool ParseScript(const std::vector<host::ScenarioScriptLine> &lines, const std::string &file,
                 std::vector<ScriptEvent> &events, std::vector<host::ScenarioProblem> &problems);

// Whether `actual` passes the comparison.
bool Holds(Compare op, double actual, double value, double tolerance);
const char *CompareText(Compare op);

}  // namespace sim
