#include "sim/conditions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/scenario_lines.h"

namespace sim {

namespace {

// The line without its comment (a ';' outside double quotes).
std::string WithoutComment(const std::string &s) {
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '"') quoted = !quoted;
    if (s[i] == ';' && !quoted) return s.substr(0, i);
  }
  return s;
}

std::vector<std::string> Split(const std::string &s) {
  std::vector<std::string> w;
  size_t i = 0;
  while ((i = s.find_first_not_of(" \t", i)) != std::string::npos) {
    size_t j = s.find_first_of(" \t", i);
    if (j == std::string::npos) j = s.size();
    w.push_back(s.substr(i, j - i));
    i = j;
  }
  return w;
}

std::string Join(const std::vector<std::string> &w, size_t from = 0, size_t to = std::string::npos) {
  std::string s;
  for (size_t i = from; i < w.size() && i < to; ++i) s += (s.empty() ? "" : " ") + w[i];
  return s;
}

// The source of a line read as "<time> ...", without its time.
std::string Untimed(const std::string &source) {
  size_t blank = source.find(' ');
  return blank == std::string::npos ? "" : source.substr(blank + 1);
}

// A timed line, or a `set` with a ramp: "<time> set <control> <level> over <seconds>".
bool ParseInput(const std::string &line, ScriptEvent &ev, std::string &error) {
  std::vector<std::string> w = Split(line);
  if (w.size() < 4 || w[1] != "set" || w[w.size() - 2] != "over") return ParseTimedLine(line, ev, error);
  double over = 0;
  if (!ScriptNumber(w.back(), over) || !(over > 0))
    return error = "a ramp time in seconds above 0 after \"over\", found \"" + w.back() + "\"", false;
  if (!ParseTimedLine(Join(w, 0, w.size() - 2), ev, error)) return false;
  ev.over = over;
  ev.source += " over " + w.back();
  return true;
}

// "<column> <op> <value> [tolerance]", several joined by "and".
bool ParseCondition(const std::vector<std::string> &w, std::vector<Comparison> &out, std::string &error) {
  for (size_t i = 0;;) {
    size_t j = i;
    while (j < w.size() && w[j] != "and") ++j;
    if (j - i < 3 || j - i > 4)
      return error =
                 "a condition \"<column> <==|!=|<|<=|>|>=> <value> [tolerance]\", several joined by \"and\", "
                 "found \"" +
                 Join(w, i, j) + "\"",
             false;
    if (w[i] == "hud" || w[i] == "sound")
      return error = "a telemetry column to compare (a condition cannot look at the HUD or a sound), found \"" + w[i] +
                     "\"",
             false;
    ScriptEvent e;
    if (!ParseTimedLine("0 expect " + Join(w, i, j), e, error)) return false;
    out.push_back(Comparison{e.vessel, e.name, e.column, e.op, e.value, e.tolerance});
    if (j == w.size()) return true;
    i = j + 1;
  }
}

// "when <condition> [after <seconds>]: <line without its time>" and
// "stop when <condition> [after <seconds>]".
bool ParseTrigger(const std::string &line, ScriptEvent &ev, std::string &error) {
  std::vector<std::string> w = Split(line);
  const bool stop = w[0] == "stop";
  size_t colon = line.find(':');
  std::vector<std::string> head = Split(colon == std::string::npos ? line : line.substr(0, colon));
  if (stop && (head.size() < 2 || head[1] != "when"))
    return error = "\"stop when <condition> [after <seconds>]\"", false;
  if (stop && colon != std::string::npos)
    return error =
               "nothing after the condition of \"stop when\" (it ends the run), found \"" + line.substr(colon) + "\"",
           false;
  if (!stop && colon == std::string::npos)
    return error = "\"when <condition> [after <seconds>]: <line without its time>\"", false;
  std::vector<std::string> cond(head.begin() + (stop ? 2 : 1), head.end());
  double after = 0;
  if (cond.size() >= 2 && cond[cond.size() - 2] == "after") {
    if (!ScriptNumber(cond.back(), after) || after < 0)
      return error = "a delay in seconds, 0 or more, after \"after\", found \"" + cond.back() + "\"", false;
    cond.resize(cond.size() - 2);
  }
  std::vector<Comparison> comparisons;
  if (!ParseCondition(cond, comparisons, error)) return false;
  if (stop) {
    ev.command = Command::Key;
    ev.source = Join(head);
    ev.timing = Timing::Stop;
  } else {
    std::string action = line.substr(colon + 1);
    if (Split(action).empty()) return error = "a line to act on after the colon, such as \"key G\"", false;
    std::string inner;
    if (!ParseInput("0 " + action, ev, inner))
      return error = "after the colon a line without its time: " + inner, false;
    ev.source = Join(head) + ": " + Untimed(ev.source);
    ev.timing = Timing::When;
  }
  ev.time = 0;
  ev.after = after;
  ev.condition = comparisons;
  return true;
}

// "expect always ..." and "<from>..<to> expect ...": column comparisons only.
bool ParseSpan(const std::vector<std::string> &w, ScriptEvent &ev, std::string &error) {
  const bool always = w[0] == "expect";
  const char *usage = always ? "\"expect always <column> <==|!=|<|<=|>|>=> <value> [tolerance]\""
                             : "\"<from>..<to> expect <column> <==|!=|<|<=|>|>=> <value> [tolerance]\"";
  double from = 0, to = 0;
  if (!always) {
    size_t dots = w[0].find("..");
    if (!ScriptNumber(w[0].substr(0, dots), from) || !ScriptNumber(w[0].substr(dots + 2), to) || from < 0 || to < from)
      return error = "an interval <from>..<to> in seconds, 0 <= from <= to, found \"" + w[0] + "\"", false;
    if (w.size() < 2 || w[1] != "expect") return error = usage, false;
  }
  std::string inner;
  if (!ParseTimedLine("0 expect " + Join(w, 2), ev, inner)) return error = usage + std::string(": ") + inner, false;
  if (ev.command != Command::Expect) return error = usage, false;
  ev.source = w[0] + " " + w[1] + " " + Untimed(Untimed(ev.source));
  ev.timing = always ? Timing::Always : Timing::During;
  ev.time = from;
  ev.until = to;
  return true;
}

std::string Fmt(const char *format, double a, double b = 0, double c = 0) {
  char buf[160];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

}  // namespace

const std::vector<ScriptCommand> &ReactingLines() {
  static const std::vector<ScriptCommand> lines = {
      {"when", "CONDITION [after SECONDS]: LINE",
       "once, at the first step where the condition holds (or SECONDS after it first held), does LINE: any timed "
       "line without its time"},
      {"stop when", "CONDITION [after SECONDS]", "ends the run after the checks of the step where it fires"},
      {"expect always", "[VESSEL.]COLUMN OP VALUE [TOLERANCE]", "checks a column at every step of the run"},
      {"FROM..TO expect", "[VESSEL.]COLUMN OP VALUE [TOLERANCE]", "checks a column at every step from FROM to TO s"},
      {"over", "SECONDS, at the end of a set line",
       "moves the control linearly from its level then to the new one over SECONDS"},
  };
  return lines;
}

bool ParseReactiveLine(const std::string &text, ScriptEvent &ev, std::string &error, bool &ok) {
  std::string line = WithoutComment(text);
  std::vector<std::string> w = Split(line);
  if (w.empty()) return false;
  if (w[0] == "when" || w[0] == "stop")
    ok = ParseTrigger(line, ev, error);
  else if ((w[0] == "expect" && w.size() > 1 && w[1] == "always") || w[0].find("..") != std::string::npos)
    ok = ParseSpan(w, ev, error);
  else if (w.size() >= 4 && w[1] == "set" && w[w.size() - 2] == "over")
    ok = ParseInput(line, ev, error);
  else if (double t = 0; !ScriptNumber(w[0], t) && !host::DidYouMean(w[0], {"when", "stop", "expect"}).empty())
    ok = false, error = "a time in seconds, or when, stop when, expect always or FROM..TO expect, found \"" + w[0] +
                        "\"" + host::DidYouMean(w[0], {"when", "stop", "expect"});
  else
    return false;
  return true;
}

bool ConditionHolds(const std::vector<Comparison> &condition, ColumnValues &values) {
  for (const Comparison &c : condition)
    if (!Holds(c.op, values.Value(c.vessel, c.column), c.value, c.tolerance)) return false;
  return true;
}

std::string SpanCheck::Actual() const {
  if (steps == 0) return "";
  if (failed)
    return Fmt("%.10g at t=%.3f s; failed %.0f of ", value_then, first_failed, (double)failed) + std::to_string(steps) +
           " steps";
  return "held at all " + std::to_string(steps) + " steps" + Fmt(" to t=%.3f s", last);
}

bool Reactions::Add(const ScriptEvent &ev) {
  if (ev.timing == Timing::When || ev.timing == Timing::Stop)
    triggers_.push_back(Trigger{ev});
  else if (ev.timing == Timing::Always || ev.timing == Timing::During)
    spans_.push_back(SpanCheck{ev});
  else
    return false;
  return true;
}

bool Reactions::Observe(double t, ColumnValues &values, std::vector<const Trigger *> &fired) {
  for (SpanCheck &s : spans_) {
    const ScriptEvent &ev = s.line;
    if (ev.timing == Timing::During && (t < ev.time - kAtTimeTolerance || t > ev.until + kAtTimeTolerance)) continue;
    double v = values.Value(ev.vessel, ev.column);
    ++s.steps, s.last = t;
    if (!Holds(ev.op, v, ev.value, ev.tolerance) && s.failed++ == 0) s.first_failed = t, s.value_then = v;
  }
  bool stop = false;
  for (Trigger &tr : triggers_) {
    if (tr.fired >= 0) continue;
    if (tr.held < 0 && ConditionHolds(tr.line.condition, values)) tr.held = t;
    if (tr.held < 0 || t < tr.held + tr.line.after - kAtTimeTolerance) continue;
    tr.fired = t;
    fired.push_back(&tr);
    stop |= tr.line.timing == Timing::Stop;
  }
  return stop;
}

std::string NeverFiredWhy(const Trigger &tr, const std::string &end) {
  if (tr.held < 0) return "its condition never held; " + end;
  return Fmt("its condition held at t=%.3f s, and its %g s delay had not passed: ", tr.held, tr.line.after) + end;
}

}  // namespace sim
