#include "host/scenario_text.h"

#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "host/scenario_lines.h"
#include "host/trace.h"

namespace host {

namespace {

std::string Trim(const std::string &s) {
  size_t a = s.find_first_not_of(" \t\r\n\v\f");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t\r\n\v\f");
  return s.substr(a, b - a + 1);
}

bool Same(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

bool IsComment(const std::string &t) { return !t.empty() && (t[0] == ';' || t[0] == '#'); }

// Plain string work throughout, no streams: the flight host is also built in
// the host's Microsoft ABI, where only the C++ library's headers are at hand.
std::vector<std::string> Words(const std::string &s) {
  std::vector<std::string> w;
  size_t i = 0;
  while (true) {
    while (i < s.size() && std::isspace((unsigned char)s[i])) ++i;
    if (i == s.size()) return w;
    size_t end = i;
    while (end < s.size() && !std::isspace((unsigned char)s[end])) ++end;
    w.push_back(s.substr(i, end - i));
    i = end;
  }
}

// The lines of a text, as std::getline gives them: split at each newline,
// a last line without one included, no empty line after a final newline.
std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < text.size();) {
    size_t end = text.find('\n', i);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(i, end - i));
    i = end + 1;
  }
  return lines;
}

bool Number(const std::string &s, double &out) {
  char *end;
  double v = std::strtod(s.c_str(), &end);
  if (end == s.c_str() || *end || !std::isfinite(v)) return false;
  out = v;
  return true;
}

struct Reader {
  const std::string &file;
  std::vector<ScenarioProblem> &problems;
  void Problem(int line, const std::string &msg) { problems.push_back(ScenarioProblem{file, line, msg}); }
};

void EnvironmentLine(Reader &r, int n, const std::string &t, ScenarioEnvironment &env) {
  std::vector<std::string> w = Words(t);
  double d;
  if (Same(w[0], "Date")) {
    if (w.size() == 3 && Same(w[1], "MJD") && Number(w[2], d)) return void(env.mjd = d);
    return r.Problem(n, "expected \"Date MJD <days>\", found \"" + t + "\"");
  }
  if (Same(w[0], "TimeAcc")) {
    if (w.size() == 2 && Number(w[1], d) && d > 0) return void(env.time_acceleration = d);
    return r.Problem(n, "expected \"TimeAcc <factor above 0>\", found \"" + t + "\"");
  }
  if (Same(w[0], "Camera")) {
    if (w.size() == 2 && Same(w[1], "internal")) return void(env.camera_internal = true);
    if (w.size() == 2 && Same(w[1], "external")) return void(env.camera_internal = false);
    return r.Problem(n, "expected \"Camera internal|external\", found \"" + t + "\"");
  }
  if (Same(w[0], "Cockpit")) {
    if (w.size() == 2 && CockpitModeFromName(w[1], env.cockpit_mode)) return;
    return r.Problem(n, "expected \"Cockpit virtual|panel|generic\", found \"" + t + "\"");
  }
  if (Same(w[0], "HUD")) {
    if (w.size() == 2 && HudModeFromName(w[1], env.hud_mode)) return;
    return r.Problem(n, "expected \"HUD surface|orbit|docking|none\", found \"" + t + "\"");
  }
  std::vector<std::string> first_words;
  for (const std::string &name : LineNames(LineBlock::Environment)) first_words.push_back(Words(name)[0]);
  r.Problem(n, "expected an environment line (Date MJD, TimeAcc, Camera, Cockpit or HUD), found \"" + t + "\"" +
                   DidYouMean(w[0], first_words));
}

}  // namespace

std::string ScenarioProblem::Text() const {
  return file + (line > 0 ? ":" + std::to_string(line) : std::string()) + (warning ? ": warning: " : ": ") + message;
}

const char *CockpitModeName(int mode) {
  switch (mode) {
    case COCKPIT_GENERIC:
      return "generic";
    case COCKPIT_PANELS:
      return "panel";
    default:
      return "virtual";
  }
}

const char *HudModeName(int mode) {
  switch (mode) {
    case HUD_NONE:
      return "none";
    case HUD_ORBIT:
      return "orbit";
    case HUD_DOCKING:
      return "docking";
    default:
      return "surface";
  }
}

bool CockpitModeFromName(const std::string &name, int &mode) {
  if (Same(name, "virtual")) return mode = COCKPIT_VIRTUAL, true;
  if (Same(name, "panel")) return mode = COCKPIT_PANELS, true;
  if (Same(name, "generic")) return mode = COCKPIT_GENERIC, true;
  return false;
}

bool HudModeFromName(const std::string &name, int &mode) {
  if (Same(name, "surface")) return mode = HUD_SURFACE, true;
  if (Same(name, "orbit")) return mode = HUD_ORBIT, true;
  if (Same(name, "docking")) return mode = HUD_DOCKING, true;
  if (Same(name, "none") || Same(name, "off")) return mode = HUD_NONE, true;
  return false;
}

bool ParseScenarioText(const std::string &text, const std::string &file, ScenarioText &out,
                       std::vector<ScenarioProblem> &problems) {
  size_t before = problems.size();
  Reader r{file, problems};
  enum Block { NONE, DESC, ENV, FOCUS, SHIPS, VESSEL, SCRIPT } block = NONE;
  int block_line = 0, ships_line = 0;
  std::unordered_set<std::string> names;  // of the vessels so far
  int n = 0;
  for (std::string raw : Lines(text)) {
    ++n;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    std::string t = Trim(raw);
    if (block == DESC) {
      if (Same(t, "END_DESC"))
        block = NONE;
      else
        out.description.push_back(raw);
      continue;
    }
    if (t.empty() || IsComment(t)) continue;
    switch (block) {
      case NONE:
        block_line = n;
        if (Same(t, "BEGIN_DESC"))
          block = DESC;
        else if (Same(t, "BEGIN_ENVIRONMENT"))
          block = ENV;
        else if (Same(t, "BEGIN_FOCUS"))
          block = FOCUS;
        else if (Same(t, "BEGIN_SHIPS"))
          block = SHIPS, ships_line = n;
        else if (Same(t, "BEGIN_SCRIPT"))
          block = SCRIPT;
        else
          r.Problem(n, "expected BEGIN_DESC, BEGIN_ENVIRONMENT, BEGIN_FOCUS, BEGIN_SHIPS or BEGIN_SCRIPT, found \"" +
                           t + "\"" + DidYouMean(t, LineNames(LineBlock::File)));
        break;
      case ENV:
        if (Same(t, "END_ENVIRONMENT"))
          block = NONE;
        else
          EnvironmentLine(r, n, t, out.environment);
        break;
      case FOCUS: {
        std::vector<std::string> w = Words(t);
        if (Same(t, "END_FOCUS"))
          block = NONE;
        else if (w.size() == 2 && Same(w[0], "Ship"))
          out.focus = w[1];
        else
          r.Problem(n, "expected \"Ship <vessel name>\" or END_FOCUS, found \"" + t + "\"" +
                           DidYouMean(w[0], {"Ship", "END_FOCUS"}));
        break;
      }
      case SHIPS: {
        if (Same(t, "END_SHIPS")) {
          block = NONE;
          break;
        }
        size_t colon = t.find(':');
        std::string name = colon == std::string::npos ? "" : Trim(t.substr(0, colon));
        std::string cls = colon == std::string::npos ? "" : Trim(t.substr(colon + 1));
        if (name.empty() || cls.empty() || name.find_first_of(" \t") != std::string::npos ||
            cls.find_first_of(" \t:") != std::string::npos) {
          r.Problem(n, "expected a vessel block \"NAME:CLASS\" or END_SHIPS, found \"" + t + "\"");
          break;
        }
        if (!names.insert(name).second) r.Problem(n, "vessel name \"" + name + "\" is used twice");
        out.vessels.push_back(ScenarioVesselBlock{name, cls, n, {}, {}});
        block = VESSEL;
        block_line = n;
        break;
      }
      case VESSEL:
        if (Same(t, "END"))
          block = SHIPS, block_line = ships_line;
        else if (Same(t, "END_SHIPS"))
          r.Problem(n, "expected END to close the block of vessel \"" + out.vessels.back().name + "\"");
        else
          out.vessels.back().lines.push_back(t), out.vessels.back().line_numbers.push_back(n);
        break;
      case SCRIPT:
        if (Same(t, "END_SCRIPT"))
          block = NONE;
        else
          out.script.push_back(ScenarioScriptLine{n, t});
        break;
      case DESC:
        break;
    }
  }
  static const char *kEnds[] = {"", "END_DESC", "END_ENVIRONMENT", "END_FOCUS", "END_SHIPS", "END", "END_SCRIPT"};
  if (block != NONE) r.Problem(block_line, std::string("expected ") + kEnds[block] + " before the end of the file");
  if (!out.focus.empty()) {
    bool found = false;
    for (auto &v : out.vessels) found |= v.name == out.focus;
    if (!found) r.Problem(0, "the focus vessel \"" + out.focus + "\" has no block in BEGIN_SHIPS");
  }
  return problems.size() == before;
}

std::vector<ScenarioScriptLine> ScriptFileLines(const std::string &text) {
  std::vector<ScenarioScriptLine> out;
  int n = 0;
  for (const std::string &raw : Lines(text)) {
    ++n;
    std::string t = Trim(raw);
    if (t.empty() || IsComment(t) || Same(t, "BEGIN_SCRIPT") || Same(t, "END_SCRIPT")) continue;
    out.push_back(ScenarioScriptLine{n, t});
  }
  return out;
}

std::string FormatScenarioText(const ScenarioText &s) {
  std::string os = "BEGIN_DESC\n";
  for (auto &l : s.description) os += l + "\n";
  os += "END_DESC\n\nBEGIN_ENVIRONMENT\n";
  os += "  Date MJD " + Num(s.environment.mjd) + "\n";
  os += "  TimeAcc " + Num(s.environment.time_acceleration) + "\n";
  os += std::string("  Camera ") + (s.environment.camera_internal ? "internal" : "external") + "\n";
  os += std::string("  Cockpit ") + CockpitModeName(s.environment.cockpit_mode) + "\n";
  os += std::string("  HUD ") + HudModeName(s.environment.hud_mode) + "\n";
  os += "END_ENVIRONMENT\n\n";
  if (!s.focus.empty()) os += "BEGIN_FOCUS\n  Ship " + s.focus + "\nEND_FOCUS\n\n";
  os += "BEGIN_SHIPS\n";
  for (auto &v : s.vessels) {
    os += v.name + ":" + v.class_name + "\n";
    for (auto &l : v.lines) os += "  " + Trim(l) + "\n";
    os += "END\n";
  }
  os += "END_SHIPS\n";
  return os;
}

namespace {

bool Landed(const ScenarioVesselBlock &v) {
  for (const std::string &l : v.lines)
    if (Same(Trim(l), "STATUS Landed")) return true;
  return false;
}

// The lines of a vessel block that a reload must give back as they were;
// `landed` when it is on the ground in either save.
std::vector<std::string> KeptLines(const ScenarioVesselBlock &v, bool landed) {
  std::vector<std::string> kept;
  for (const std::string &raw : v.lines) {
    const std::string l = Trim(raw);
    std::vector<std::string> w = Words(l);
    const std::string key = w.empty() ? "" : w[0];
    if (strncasecmp(l.c_str(), "ENG STAT2", 9) == 0 || strncasecmp(l.c_str(), "NAVMODE", 7) == 0) continue;
    if (Same(l, "ENG TURN 0 0")) continue;
    if (landed && (Same(key, "STATUS") || Same(key, "ALT") || Same(key, "AIRSPEED") || Same(key, "PITCH") ||
                   Same(key, "BANK") || Same(key, "POS") || Same(key, "VEL")))
      continue;
    kept.push_back(l);
  }
  return kept;
}

// Two lines with the same words, numbers equal to 12 digits: the attitude
// goes through the body's rotation and back, which may move the last bits.
bool SameLine(const std::string &a, const std::string &b) {
  std::vector<std::string> wa = Words(a), wb = Words(b);
  if (wa.size() != wb.size()) return false;
  for (size_t i = 0; i < wa.size(); ++i) {
    double x, y;
    if (wa[i] == wb[i]) continue;
    if (!Number(wa[i], x) || !Number(wb[i], y) ||
        !(std::fabs(x - y) <= 1e-12 * (1 + std::fmax(std::fabs(x), std::fabs(y)))))
      return false;
  }
  return true;
}

}  // namespace

std::string SaveReloadDifference(const ScenarioText &a, const ScenarioText &b) {
  const ScenarioEnvironment &ea = a.environment, &eb = b.environment;
  if (ea.mjd != eb.mjd || ea.time_acceleration != eb.time_acceleration || ea.camera_internal != eb.camera_internal ||
      ea.cockpit_mode != eb.cockpit_mode || ea.hud_mode != eb.hud_mode)
    return "the environment";
  if (a.focus != b.focus) return "the focus: " + a.focus + " then " + b.focus;
  if (a.vessels.size() != b.vessels.size()) return "the number of vessels";
  for (size_t i = 0; i < a.vessels.size(); ++i) {
    const ScenarioVesselBlock &va = a.vessels[i], &vb = b.vessels[i];
    if (va.name != vb.name || va.class_name != vb.class_name) return "vessel " + va.name + " then " + vb.name;
    const bool landed = Landed(va) || Landed(vb);
    std::vector<std::string> la = KeptLines(va, landed), lb = KeptLines(vb, landed);
    for (size_t k = 0; k < la.size() || k < lb.size(); ++k)
      if (k >= la.size() || k >= lb.size() || !SameLine(la[k], lb[k]))
        return va.name + ": \"" + (k < la.size() ? la[k] : "") + "\" then \"" + (k < lb.size() ? lb[k] : "") + "\"";
  }
  return std::string();
}

}  // namespace host
