#include "sim/script.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "sim/telemetry.h"

namespace sim {

namespace {

bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

bool Number(const std::string &s, double &out) {
  char *end;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || end == s.c_str() || *end || !std::isfinite(v)) return false;
  out = v;
  return true;
}

bool Integer(const std::string &s, int &out) {
  char *end;
  long v = std::strtol(s.c_str(), &end, 10);
  if (s.empty() || *end || v < -1000000 || v > 1000000) return false;
  out = (int)v;
  return true;
}

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

struct KeyName {
  const char *name;
  unsigned code;
};

const KeyName kKeys[] = {
    {"ESCAPE", OAPI_KEY_ESCAPE},
    {"1", OAPI_KEY_1},
    {"2", OAPI_KEY_2},
    {"3", OAPI_KEY_3},
    {"4", OAPI_KEY_4},
    {"5", OAPI_KEY_5},
    {"6", OAPI_KEY_6},
    {"7", OAPI_KEY_7},
    {"8", OAPI_KEY_8},
    {"9", OAPI_KEY_9},
    {"0", OAPI_KEY_0},
    {"MINUS", OAPI_KEY_MINUS},
    {"EQUALS", OAPI_KEY_EQUALS},
    {"BACK", OAPI_KEY_BACK},
    {"TAB", OAPI_KEY_TAB},
    {"Q", OAPI_KEY_Q},
    {"W", OAPI_KEY_W},
    {"E", OAPI_KEY_E},
    {"R", OAPI_KEY_R},
    {"T", OAPI_KEY_T},
    {"Y", OAPI_KEY_Y},
    {"U", OAPI_KEY_U},
    {"I", OAPI_KEY_I},
    {"O", OAPI_KEY_O},
    {"P", OAPI_KEY_P},
    {"LBRACKET", OAPI_KEY_LBRACKET},
    {"RBRACKET", OAPI_KEY_RBRACKET},
    {"RETURN", OAPI_KEY_RETURN},
    {"A", OAPI_KEY_A},
    {"S", OAPI_KEY_S},
    {"D", OAPI_KEY_D},
    {"F", OAPI_KEY_F},
    {"G", OAPI_KEY_G},
    {"H", OAPI_KEY_H},
    {"J", OAPI_KEY_J},
    {"K", OAPI_KEY_K},
    {"L", OAPI_KEY_L},
    {"SEMICOLON", OAPI_KEY_SEMICOLON},
    {"APOSTROPHE", OAPI_KEY_APOSTROPHE},
    {"GRAVE", OAPI_KEY_GRAVE},
    {"BACKSLASH", OAPI_KEY_BACKSLASH},
    {"Z", OAPI_KEY_Z},
    {"X", OAPI_KEY_X},
    {"C", OAPI_KEY_C},
    {"V", OAPI_KEY_V},
    {"B", OAPI_KEY_B},
    {"N", OAPI_KEY_N},
    {"M", OAPI_KEY_M},
    {"COMMA", OAPI_KEY_COMMA},
    {"PERIOD", OAPI_KEY_PERIOD},
    {"SLASH", OAPI_KEY_SLASH},
    {"MULTIPLY", OAPI_KEY_MULTIPLY},
    {"SPACE", OAPI_KEY_SPACE},
    {"F1", OAPI_KEY_F1},
    {"F2", OAPI_KEY_F2},
    {"F3", OAPI_KEY_F3},
    {"F4", OAPI_KEY_F4},
    {"F5", OAPI_KEY_F5},
    {"F6", OAPI_KEY_F6},
    {"F7", OAPI_KEY_F7},
    {"F8", OAPI_KEY_F8},
    {"F9", OAPI_KEY_F9},
    {"F10", OAPI_KEY_F10},
};

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

// The targets of `set`, and whether each takes a signed level (-1 to 1)
// rather than 0 to 1.
struct SetTargetName {
  const char *name;
  SetTarget target;
  bool signed_level;
};
const SetTargetName kSetTargets[] = {{"main", SetTarget::Main, false},        {"hover", SetTarget::Hover, false},
                                     {"elevator", SetTarget::Elevator, true}, {"aileron", SetTarget::Aileron, true},
                                     {"rudder", SetTarget::Rudder, true},     {"trim", SetTarget::Trim, true},
                                     {"forward", SetTarget::Forward, false},  {"back", SetTarget::Back, false},
                                     {"brake", SetTarget::Brake, false}};

}  // namespace

unsigned KeyCode(const std::string &name) {
  std::string n = name;
  if (n.size() > 9 && strncasecmp(n.c_str(), "OAPI_KEY_", 9) == 0) n = n.substr(9);
  for (const KeyName &k : kKeys)
    if (Same(n, k.name)) return k.code;
  return 0;
}

const char *KeyNameOf(unsigned code) {
  for (const KeyName &k : kKeys)
    if (k.code == code) return k.name;
  return "";
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

bool ParseScriptLine(const std::string &text, ScriptEvent &ev, std::string &error) {
  std::vector<std::string> w;
  std::vector<bool> quoted;
  if (!Words(text, w, quoted)) return error = "a closing double quote", false;
  // The line as written, without its comment, for reports.
  ev.source.clear();
  for (size_t i = 0; i < w.size(); ++i) ev.source += (i ? " " : "") + (quoted[i] ? "\"" + w[i] + "\"" : w[i]);
  if (w.size() < 2) return error = "\"<time> <command> ...\"", false;
  if (!Number(w[0], ev.time) || ev.time < 0)
    return error = "a time in seconds, 0 or more, found \"" + w[0] + "\"", false;
  const std::string &cmd = w[1];
  size_t n = w.size();
  if (cmd == "key") {
    ev.command = Command::Key;
    if (n < 3 || n > 4) return error = "\"<time> key <NAME> [shift|ctrl|alt]\"", false;
    ev.name = w[2];
    ev.key = KeyCode(w[2]);
    if (!ev.key) return error = "a key name such as E, G, 0, COMMA or F1, found \"" + w[2] + "\"", false;
    if (n == 4) {
      if (w[3] == "shift")
        ev.shift = true;
      else if (w[3] == "ctrl")
        ev.ctrl = true;
      else if (w[3] == "alt")
        ev.alt = true;
      else
        return error = "shift, ctrl or alt after the key name, found \"" + w[3] + "\"", false;
    }
    return true;
  }
  if (cmd == "set") {
    ev.command = Command::Set;
    static const char *usage = "\"<time> set <main|hover|elevator|aileron|rudder|trim|forward|back|brake> <level>\"";
    if (n != 4) return error = usage, false;
    Qualified(w[2], ev.vessel, ev.name);
    const SetTargetName *t = std::find_if(std::begin(kSetTargets), std::end(kSetTargets),
                                          [&](const SetTargetName &k) { return ev.name == k.name; });
    if (t == std::end(kSetTargets)) return error = usage, false;
    ev.target = t->target;
    if (!Number(w[3], ev.value) || !(t->signed_level ? ev.value >= -1 : ev.value >= 0) || !(ev.value <= 1))
      return error = std::string("a level ") + (t->signed_level ? "from -1 to 1" : "from 0 to 1") + " for " + ev.name +
                     ", found \"" + w[3] + "\"",
             false;
    return true;
  }
  if (cmd == "navmode") {
    ev.command = Command::Navmode;
    static const char *usage = "\"<time> navmode <HOLDALT|HLEVEL|KILLROT> <on|off>\"";
    if (n != 4) return error = usage, false;
    ev.name = w[2];
    if (w[2] == "HOLDALT")
      ev.mode = NAVMODE_HOLDALT;
    else if (w[2] == "HLEVEL")
      ev.mode = NAVMODE_HLEVEL;
    else if (w[2] == "KILLROT")
      ev.mode = NAVMODE_KILLROT;
    else
      return error = usage, false;
    if (w[3] != "on" && w[3] != "off") return error = usage, false;
    ev.on = w[3] == "on";
    return true;
  }
  if (cmd == "timeacc") {
    ev.command = Command::TimeAcc;
    if (n != 3 || !Number(w[2], ev.value) || !(ev.value > 0))
      return error = "\"<time> timeacc <factor above 0>\"", false;
    return true;
  }
  if (cmd == "camera") {
    ev.command = Command::Camera;
    if (n != 3 || (w[2] != "internal" && w[2] != "external"))
      return error = "\"<time> camera <internal|external>\"", false;
    ev.on = w[2] == "internal";
    return true;
  }
  if (cmd == "cockpit") {
    ev.command = Command::Cockpit;
    if (n != 3 || !host::CockpitModeFromName(w[2], ev.mode) || w[2] != host::CockpitModeName(ev.mode))
      return error = "\"<time> cockpit <virtual|panel|generic>\"", false;
    return true;
  }
  if (cmd == "hud") {
    ev.command = Command::Hud;
    if (n != 3 || w[2] == "none" || !host::HudModeFromName(w[2], ev.mode) || w[2] != host::HudModeName(ev.mode))
      return error = "\"<time> hud <surface|orbit|docking>\"", false;
    return true;
  }
  if (cmd == "save") {
    ev.command = Command::Save;
    if (n != 3 || w[2].empty()) return error = "\"<time> save <file>\"", false;
    ev.name = w[2];
    return true;
  }
  if (cmd == "hudframe") {
    ev.command = Command::HudFrame;
    if (n != 3 || w[2].empty()) return error = "\"<time> hudframe <file.svg>\"", false;
    ev.name = w[2];
    return true;
  }
  if (cmd == "expect") {
    if (n >= 3 && w[2] == "hud" && !quoted[2]) {
      ev.command = Command::ExpectHud;
      if (n != 4 || !quoted[3] || w[3].empty()) return error = "\"<time> expect hud \\\"<text>\\\"\"", false;
      ev.name = w[3];
      return true;
    }
    if (n >= 3 && w[2] == "sound") {
      ev.command = Command::ExpectSound;
      if (n != 5 || !Integer(w[3], ev.mode) || ev.mode < 1 || ev.mode > 60 || (w[4] != "playing" && w[4] != "stopped"))
        return error = "\"<time> expect sound <slot 1..60> <playing|stopped>\"", false;
      ev.on = w[4] == "playing";
      return true;
    }
    ev.command = Command::Expect;
    static const char *usage = "\"<time> expect <column> <==|!=|<|<=|>|>=> <value> [tolerance]\"";
    if (n != 5 && n != 6) return error = usage, false;
    Qualified(w[2], ev.vessel, ev.name);
    ev.column = ColumnIndex(ev.name);
    if (ev.column < 0) {
      std::string all;
      for (auto &c : ColumnNames()) all += (all.empty() ? "" : ", ") + c;
      return error = "a telemetry column (" + all + "), found \"" + ev.name + "\"", false;
    }
    const std::string &op = w[3];
    if (op == "==")
      ev.op = Compare::Eq;
    else if (op == "!=")
      ev.op = Compare::Ne;
    else if (op == "<")
      ev.op = Compare::Lt;
    else if (op == "<=")
      ev.op = Compare::Le;
    else if (op == ">")
      ev.op = Compare::Gt;
    else if (op == ">=")
      ev.op = Compare::Ge;
    else
      return error = "a comparison ==, !=, <, <=, > or >=, found \"" + op + "\"", false;
    if (!Number(w[4], ev.value)) return error = "a number to compare with, found \"" + w[4] + "\"", false;
    if (n == 6 && (!Number(w[5], ev.tolerance) || ev.tolerance < 0))
      return error = "a tolerance, 0 or more, found \"" + w[5] + "\"", false;
    return true;
  }
  error = "a command key, set, navmode, timeacc, camera, cockpit, hud, save, hudframe or expect, found \"" + cmd + "\"";
  return false;
}

bool ParseScript(const std::vector<host::ScenarioScriptLine> &lines, const std::string &file,
                 std::vector<ScriptEvent> &events, std::vector<host::ScenarioProblem> &problems) {
  size_t before = problems.size();
  for (auto &l : lines) {
    ScriptEvent ev;
    std::string error;
    ev.file = file, ev.line = l.line;
    if (ParseScriptLine(l.text, ev, error))
      events.push_back(ev);
    else
      problems.push_back(host::ScenarioProblem{file, l.line, "expected " + error + " in \"" + l.text + "\""});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent &a, const ScriptEvent &b) { return a.time < b.time; });
  return problems.size() == before;
}

}  // namespace sim
