// The flight script: timed pilot inputs and expectations, one per line:
//   <time> key <NAME> [shift|ctrl|alt]
//   <time> set <main|hover|elevator|aileron|rudder|trim|forward|back|brake> <level>
//   <time> navmode <HOLDALT|HLEVEL|KILLROT> <on|off>
//   <time> timeacc <x>
//   <time> camera <internal|external>
//   <time> cockpit <virtual|panel|generic>
//   <time> hud <surface|orbit|docking>
//   <time> save <file>
//   <time> hudframe <file.svg>
//   <time> expect <column> <op> <value> [tolerance]
//   <time> expect hud "<text>"
//   <time> expect sound <slot> <playing|stopped>
// A ';' outside double quotes starts a comment. Times are simulation seconds. A column, or the target of `set`, may be
// qualified with a vessel name ("Tarvex2.alt"); otherwise it is the vessel in
// focus.
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

// Reads one script line; on failure says what was expected in `error`.
bool ParseScriptLine(const std::string &text, ScriptEvent &ev, std::string &error);

// Reads every line; problems carry the file and line number. The events come
// back sorted by time, lines of the same time in file order.
bool ParseScript(const std::vector<host::ScenarioScriptLine> &lines, const std::string &file,
                 std::vector<ScriptEvent> &events, std::vector<host::ScenarioProblem> &problems);

// A key by its name ("E", "G", "0", "COMMA", "F1", "OAPI_KEY_E"...); 0 if unknown.
unsigned KeyCode(const std::string &name);
// The name of a key code, as KeyCode reads it; "" if it has none.
const char *KeyNameOf(unsigned code);

// Whether `actual` passes the comparison.
bool Holds(Compare op, double actual, double value, double tolerance);
const char *CompareText(Compare op);

}  // namespace sim
