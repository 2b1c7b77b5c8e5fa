#include "sim/script.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/scenario_lines.h"
#include "sim/conditions.h"
#include "sim/keys.h"
#include "sim/telemetry.h"
#include "sound/slots.h"

namespace sim {

namespace {

bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

bool Number(const std::string &s, double &out) { return ScriptNumber(s, out); }

// Splits "NAME.rest" into a vessel qualifier and the rest.
void Qualified(const std::string &word, std::string &vessel, std::string &rest) {
  size_t dot = word.rfind('.');
  if (dot == std::string::npos || dot == 0) {
    vessel.clear();
    rest = word;
  } else {
    vessel = word.substr(0, dot);
    rest = word.substr(dot + 1);
  }
}

// The words of a line; a word in double quotes may hold blanks. False for an
// unterminated quote.
bool Words(const std::string &s, std::vector<std::string> &w, std::vector<bool> &quoted) {
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ' || s[i] == '\t') {
      ++i;
      continue;
    }
    if (s[i] == ';') break;  // a comment runs to the end of the line
    if (s[i] == '"') {
      size_t j = s.find('"', i + 1);
      if (j == std::string::npos) return false;
      w.push_back(s.substr(i + 1, j - i - 1));
      quoted.push_back(true);
      i = j + 1;
      continue;
    }
    size_t j = s.find_first_of(" \t", i);
    if (j == std::string::npos) j = s.size();
    w.push_back(s.substr(i, j - i));
    quoted.push_back(false);
    i = j;
  }
  return true;
}

std::string TimeText(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", t);
  return buf;
}

const SetControl *FindTarget(const std::string &name) {
  for (const SetControl &t : SetTargets())
    if (name == t.name) return &t;
  return nullptr;
}

std::string Found(const std::string &word) { return ", found \"" + word + "\""; }

}  // namespace

const std::vector<SetControl> &SetTargets() {
  static const std::vector<SetControl> targets = {
      {"main", SetTarget::Main, 0,
       "main engine group level: the throttle. The module keeps a running engine at 0.0015 at least and "
       "the altitude hold nudges it below 70 m/s"},
      {"hover", SetTarget::Hover, 0,
       "lift thrusters (fore and aft): the module holds them at 0 unless the altitude hold is on, and "
       "keeps their mean no higher than main; with the hold on the host's altitude hold sets them, so "
       "this level lasts one step at most"},
      {"elevator", SetTarget::Elevator, -1, "elevator, positive nose up"},
      {"aileron", SetTarget::Aileron, -1,
       "ailerons, positive roll right; the horizon-level hold centres them every step"},
      {"rudder", SetTarget::Rudder, -1, "rudder, positive nose right; on the ground it also steers the nose wheel"},
      {"trim", SetTarget::Trim, -1,
       "elevator trim; the altitude hold above 70 m/s sets it, and resets it to 0 once when it ends"},
      {"forward", SetTarget::Forward, 0,
       "forward translation input (linear attitude mode, which the horizon-level hold selects): "
       "with the hold on, turns the nozzle against a backward drift"},
      {"back", SetTarget::Back, 0,
       "backward translation input (linear attitude mode): with the horizon-level hold on, turns the "
       "nozzle against a forward drift; any fore-and-aft input stops the slow-hover nozzle set"},
      {"brake", SetTarget::Brake, 0, "wheel brakes, both main wheels"},
  };
  return targets;
}

bool Holds(Compare op, double a, double v, double tol) {
  switch (op) {
    case Compare::Eq:
      return std::fabs(a - v) <= tol;
    case Compare::Ne:
      return std::fabs(a - v) > tol;
    case Compare::Lt:
      return a < v + tol;
    case Compare::Le:
      return a <= v + tol;
    case Compare::Gt:
      return a > v - tol;
    case Compare::Ge:
      return a >= v - tol;
  }
  return false;
}

bool ScriptNumber(const std::string &s, double &out) {
  char *end;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || end == s.c_str() || *end || !std::isfinite(v)) return false;
  out = v;
  return true;
}

const char *CompareText(Compare op) {
  switch (op) {
    case Compare::Eq:
      return "==";
    case Compare::Ne:
      return "!=";
    case Compare::Lt:
      return "<";
    case Compare::Le:
      return "<=";
    case Compare::Gt:
      return ">";
    case Compare::Ge:
      return ">=";
  }
  return "?";
}

namespace {

// One script line split into its words.
struct Line {
  std::vector<std::string> w;
  std::vector<bool> quoted;
  size_t n() const { return w.size(); }
};

typedef bool (*CommandReader)(const Line &l, ScriptEvent &ev, std::string &error);

struct CommandSpec {
  ScriptCommand info;
  Command command;
  CommandReader read;
};

// "shift+ctrl+E" or "E shift ctrl": the modifiers, then the key.
bool ReadKey(const Line &l, ScriptEvent &ev, std::string &error) {
  const char *usage = "\"<time> key [shift+|ctrl+|alt+]<NAME>\" (or the modifiers after the name)";
  if (l.n() < 3) return error = usage, false;
  std::vector<std::string> mods;
  std::string name = l.w[2];
  for (size_t plus; (plus = name.find('+')) != std::string::npos && plus + 1 < name.size();) {
    mods.push_back(name.substr(0, plus));
    name = name.substr(plus + 1);
  }
  for (size_t i = 3; i < l.n(); ++i) mods.push_back(l.w[i]);
  ev.name = name;
  ev.key = KeyCode(name);
  if (!ev.key) {
    std::vector<std::string> names;
    for (auto &k : Keys()) names.push_back(k.name);
    return error =
               "a key name such as E, G, 0, COMMA or F1 (--list keys)" + Found(name) + host::DidYouMean(name, names),
           false;
  }
  for (const std::string &m : mods) {
    if (Same(m, "shift"))
      ev.shift = true;
    else if (Same(m, "ctrl"))
      ev.ctrl = true;
    else if (Same(m, "alt"))
      ev.alt = true;
    else
      return error = "a modifier shift, ctrl or alt" + Found(m) + host::DidYouMean(m, {"shift", "ctrl", "alt"}), false;
  }
  return true;
}

bool ReadSet(const Line &l, ScriptEvent &ev, std::string &error) {
  const char *usage = "\"<time> set <main|hover|elevator|aileron|rudder|trim|forward|back|brake> <level>\"";
  if (l.n() != 4) return error = usage, false;
  Qualified(l.w[2], ev.vessel, ev.name);
  const SetControl *t = FindTarget(ev.name);
  if (!t) {
    std::vector<std::string> names;
    for (auto &x : SetTargets()) names.push_back(x.name);
    return error = std::string(usage) + Found(ev.name) + host::DidYouMean(ev.name, names), false;
  }
  ev.target = t->target;
  if (!Number(l.w[3], ev.value) || !(ev.value >= t->lowest) || !(ev.value <= 1))
    return error = std::string("a level ") + (t->lowest < 0 ? "from -1 to 1" : "from 0 to 1") + " for " + ev.name +
                   Found(l.w[3]),
           false;
  return true;
}

bool ReadNavmode(const Line &l, ScriptEvent &ev, std::string &error) {
  const char *usage = "\"<time> navmode <HOLDALT|HLEVEL|KILLROT> <on|off>\"";
  if (l.n() != 4) return error = usage, false;
  static const struct {
    const char *name;
    int mode;
  } modes[] = {{"HOLDALT", NAVMODE_HOLDALT}, {"HLEVEL", NAVMODE_HLEVEL}, {"KILLROT", NAVMODE_KILLROT}};
  ev.mode = 0;
  for (auto &m : modes)
    if (Same(l.w[2], m.name)) ev.name = m.name, ev.mode = m.mode;
  if (!ev.mode)
    return error = std::string(usage) + Found(l.w[2]) + host::DidYouMean(l.w[2], {"HOLDALT", "HLEVEL", "KILLROT"}),
           false;
  if (l.w[3] != "on" && l.w[3] != "off") return error = std::string(usage) + Found(l.w[3]), false;
  ev.on = l.w[3] == "on";
  return true;
}

bool ReadTimeAcc(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || !Number(l.w[2], ev.value) || !(ev.value > 0))
    return error = "\"<time> timeacc <factor above 0>\"" + Found(l.n() > 2 ? l.w[2] : ""), false;
  return true;
}

bool ReadCamera(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || (l.w[2] != "internal" && l.w[2] != "external"))
    return error = "\"<time> camera <internal|external>\"" + Found(l.n() > 2 ? l.w[2] : ""), false;
  ev.on = l.w[2] == "internal";
  return true;
}

bool ReadCockpit(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || !host::CockpitModeFromName(l.w[2], ev.mode))
    return error = "\"<time> cockpit <virtual|panel|generic>\"" + Found(l.n() > 2 ? l.w[2] : ""), false;
  return true;
}

// As in the environment block: "none" and "off" hide the HUD.
bool ReadHud(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || !host::HudModeFromName(l.w[2], ev.mode))
    return error = "\"<time> hud <surface|orbit|docking|none>\"" + Found(l.n() > 2 ? l.w[2] : ""), false;
  return true;
}

bool ReadSave(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || l.w[2].empty()) return error = "\"<time> save <file.scn>\"", false;
  ev.name = l.w[2];
  return true;
}

bool ReadHudFrame(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() != 3 || l.w[2].empty()) return error = "\"<time> hudframe <file.svg>\"", false;
  ev.name = l.w[2];
  return true;
}

bool ReadExpectHud(const Line &l, ScriptEvent &ev, std::string &error) {
  ev.command = Command::ExpectHud;
  if (l.n() != 4 || !l.quoted[3] || l.w[3].empty()) return error = "\"<time> expect hud \\\"<text>\\\"\"", false;
  ev.name = l.w[3];
  return true;
}

// A slot by number or by name ("10", "engine"); only the slots the vessel loads.
bool ReadExpectSound(const Line &l, ScriptEvent &ev, std::string &error) {
  ev.command = Command::ExpectSound;
  std::string slots;
  std::vector<std::string> names;
  for (const WaveSlotFile &f : kWaveSlotFiles) {
    slots += (slots.empty() ? "" : ", ") + std::to_string(f.slot);
    names.push_back(f.name);
  }
  const std::string usage = "\"<time> expect sound <slot> <playing|stopped>\" with a slot the vessel loads (" + slots +
                            ", or its name: --list sounds)";
  if (l.n() != 5) return error = usage, false;
  ev.mode = 0;
  for (const WaveSlotFile &f : kWaveSlotFiles)
    if (l.w[3] == std::to_string(f.slot) || l.w[3] == f.name) ev.mode = f.slot;
  if (!ev.mode) return error = usage + Found(l.w[3]) + host::DidYouMean(l.w[3], names), false;
  if (l.w[4] != "playing" && l.w[4] != "stopped") return error = usage + Found(l.w[4]), false;
  ev.on = l.w[4] == "playing";
  return true;
}

bool ReadExpect(const Line &l, ScriptEvent &ev, std::string &error) {
  if (l.n() >= 3 && l.w[2] == "hud" && !l.quoted[2]) return ReadExpectHud(l, ev, error);
  if (l.n() >= 3 && l.w[2] == "sound") return ReadExpectSound(l, ev, error);
  static const char *usage = "\"<time> expect <column> <==|!=|<|<=|>|>=> <value> [tolerance]\"";
  if (l.n() != 5 && l.n() != 6) return error = usage, false;
  Qualified(l.w[2], ev.vessel, ev.name);
  ev.column = ColumnIndex(ev.name);
  if (ev.column < 0) {
    std::string all;
    for (auto &c : ColumnNames()) all += (all.empty() ? "" : ", ") + c;
    return error = "a telemetry column (" + all + ")" + Found(ev.name) + host::DidYouMean(ev.name, ColumnNames()),
           false;
  }
  static const char *ops[] = {"==", "!=", "<", "<=", ">", ">="};
  const Compare codes[] = {Compare::Eq, Compare::Ne, Compare::Lt, Compare::Le, Compare::Gt, Compare::Ge};
  size_t i = 0;
  while (i < 6 && l.w[3] != ops[i]) ++i;
  if (i == 6) return error = "a comparison ==, !=, <, <=, > or >=" + Found(l.w[3]), false;
  ev.op = codes[i];
  if (!Number(l.w[4], ev.value)) return error = "a number to compare with" + Found(l.w[4]), false;
  if (l.n() == 6 && (!Number(l.w[5], ev.tolerance) || ev.tolerance < 0))
    return error = "a tolerance, 0 or more" + Found(l.w[5]), false;
  return true;
}

const std::vector<CommandSpec> &Commands() {
  static const std::vector<CommandSpec> commands = {
      {{"key", "[shift+|ctrl+|alt+]<NAME>",
        "presses and releases a key on the vessel in focus (--list keys); modifiers may also follow the name"},
       Command::Key,
       ReadKey},
      {{"set", "[VESSEL.]<control> <level>", "sets a pilot control (see the controls), held until set again"},
       Command::Set,
       ReadSet},
      {{"navmode", "<HOLDALT|HLEVEL|KILLROT> <on|off>",
        "switches a host nav mode: altitude hold, horizon-level hold, kill rotation"},
       Command::Navmode,
       ReadNavmode},
      {{"timeacc", "<factor>", "time acceleration, above 0: later steps are --dt times it"},
       Command::TimeAcc,
       ReadTimeAcc},
      {{"camera", "<internal|external>", "camera inside the cockpit or outside"}, Command::Camera, ReadCamera},
      {{"cockpit", "<virtual|panel|generic>", "the cockpit mode"}, Command::Cockpit, ReadCockpit},
      {{"hud", "<surface|orbit|docking|none>", "the host's HUD mode; none (or off) hides it"}, Command::Hud, ReadHud},
      {{"save", "<file.scn>", "saves the scenario now, to a .scn file inside the current folder"},
       Command::Save,
       ReadSave},
      {{"hudframe", "<file.svg>", "writes the HUD as shown now, as SVG, inside the current folder"},
       Command::HudFrame,
       ReadHudFrame},
      {{"expect", "[VESSEL.]<column> <op> <value> [tolerance]",
        "checks a telemetry column (--list columns) with ==, !=, <, <=, >, >=; the tolerance widens the test"},
       Command::Expect,
       ReadExpect},
      {{"expect hud", "\"<text>\"", "checks that a HUD text holds the words in quotes"},
       Command::ExpectHud,
       ReadExpectHud},
      {{"expect sound", "<slot> <playing|stopped>", "checks a sound slot by number or name (--list sounds)"},
       Command::ExpectSound,
       ReadExpectSound},
  };
  return commands;
}

}  // namespace

const std::vector<ScriptCommand> &ScriptCommands() {
  static std::vector<ScriptCommand> out;
  if (out.empty())
    for (auto &c : Commands()) out.push_back(c.info);
  return out;
}

bool ParseScriptLine(const std::string &text, ScriptEvent &ev, std::string &error) {
  bool ok = false;
  if (ParseReactiveLine(text, ev, error, ok)) return ok;
  return ParseTimedLine(text, ev, error);
}

bool ParseTimedLine(const std::string &text, ScriptEvent &ev, std::string &error) {
  Line l;
  if (!Words(text, l.w, l.quoted)) return error = "a closing double quote", false;
  // The line as written, without its comment, for reports.
  ev.source.clear();
  for (size_t i = 0; i < l.n(); ++i) ev.source += (i ? " " : "") + (l.quoted[i] ? "\"" + l.w[i] + "\"" : l.w[i]);
  if (l.n() < 2) return error = "\"<time> <command> ...\"", false;
  if (!Number(l.w[0], ev.time) || ev.time < 0) return error = "a time in seconds, 0 or more" + Found(l.w[0]), false;
  const std::string &cmd = l.w[1];
  for (const CommandSpec &c : Commands())
    if (cmd == c.info.name) {
      ev.command = c.command;
      return c.read(l, ev, error);
    }
  std::vector<std::string> names;
  for (const CommandSpec &c : Commands())
    if (!std::strchr(c.info.name, ' ')) names.push_back(c.info.name);
  error = "a command key, set, navmode, timeacc, camera, cockpit, hud, save, hudframe or expect" + Found(cmd) +
          host::DidYouMean(cmd, names);
  return false;
}

bool ParseScript(const std::vector<host::ScenarioScriptLine> &lines, const std::string &file,
                 std::vector<ScriptEvent> &events, std::vector<host::ScenarioProblem> &problems) {
  size_t before = problems.size();
  double latest = -1;
  int latest_line = 0;
  for (auto &l : lines) {
    ScriptEvent ev;
    std::string error;
    ev.file = file, ev.line = l.line;
    if (!ParseScriptLine(l.text, ev, error)) {
      problems.push_back(host::ScenarioProblem{file, l.line, "expected " + error + " in \"" + l.text + "\""});
      continue;
    }
    // Lines run in time order, whatever their order in the file; those
    // that react to the flight have no time of their own.
    if (ev.timing == Timing::At && ev.time < latest)
      problems.push_back(host::ScenarioProblem{file, l.line,
                                               "\"" + ev.source + "\" comes after line " + std::to_string(latest_line) +
                                                   " at " + TimeText(latest) + " s but runs before it, at " +
                                                   TimeText(ev.time) + " s",
                                               true});
    else if (ev.timing == Timing::At)
      latest = ev.time, latest_line = l.line;
    events.push_back(ev);
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent &a, const ScriptEvent &b) { return a.time < b.time; });
  for (size_t i = before; i < problems.size(); ++i)
    if (!problems[i].warning) return false;
  return true;
}

}  // namespace sim
