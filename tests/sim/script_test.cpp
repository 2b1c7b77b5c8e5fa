// The flight script: every command, the malformed lines, comparisons.
#include "sim/script.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/keys.h"
#include "sim/telemetry.h"
#include "tests/support/fixture.h"

namespace {

using sim::Command;
using sim::Compare;
using sim::ScriptEvent;

TEST(Script, ReadsEveryCommand) {
  const double x = NAN;  // a value the command does not carry
  const struct {
    const char *text;
    Command command;
    double time;
    const char *name;
    double value;
  } rows[] = {
      {"1.5 key E ; a comment after a line", Command::Key, 1.5, "E", x},
      {"0 set main 0.9", Command::Set, 0, "main", 0.9},
      {"2 set elevator -1", Command::Set, 2, "elevator", -1},
      {"2 set brake 1", Command::Set, 2, "brake", 1},
      {"3 navmode HOLDALT on", Command::Navmode, 3, "HOLDALT", x},
      {"4 timeacc 10", Command::TimeAcc, 4, "", 10},
      {"5 camera external", Command::Camera, 5, "", x},
      {"5 cockpit generic", Command::Cockpit, 5, "", x},
      {"5 hud orbit", Command::Hud, 5, "", x},
      {"5 hud off", Command::Hud, 5, "", x},
      {"1 key shift+ctrl+G", Command::Key, 1, "G", x},
      {"7 expect sound warning stopped", Command::ExpectSound, 7, "", x},
      {"6 save out/a.scn", Command::Save, 6, "out/a.scn", x},
      {"6 hudframe out/hover.svg", Command::HudFrame, 6, "out/hover.svg", x},
      {"7 expect alt >= 10", Command::Expect, 7, "alt", 10},
      {"7 expect hud \"HOVER SET\"", Command::ExpectHud, 7, "HOVER SET", x},
      {"7 expect sound 6 playing", Command::ExpectSound, 7, "", x},
  };
  for (const auto &r : rows) {
    ScriptEvent ev;
    std::string error;
    ASSERT_TRUE(sim::ParseScriptLine(r.text, ev, error)) << r.text << ": " << error;
    EXPECT_ALL(ev.command == r.command, ev.time == r.time) << r.text;
    EXPECT_EQ(*r.name ? ev.name : "", r.name) << r.text;
    EXPECT_TRUE(std::isnan(r.value) || ev.value == r.value) << r.text;
  }
}

TEST(Script, MalformedLinesSayWhatWasExpected) {
  struct Row {
    const char *text;
    const char *expected;
  } rows[] = {
      {"", "<time> <command>"},
      {"-1 key E", "a time in seconds, 0 or more"},
      {"nan key E", "a time in seconds"},
      {"1 jump", "a command key, set, navmode"},
      {"1 key HYPER", "a key name"},
      {"1 key E meta", "a modifier shift, ctrl or alt, found \"meta\""},
      {"1 set throttle 1", "<time> set <main|hover"},
      {"1 set main 1.01", "a level from 0 to 1 for main"},
      {"1 set brake -0.1", "a level from 0 to 1 for brake"},
      {"1 set rudder -1.5", "a level from -1 to 1 for rudder"},
      {"1 set trim x", "a level from -1 to 1 for trim"},
      {"1 navmode HOLDALT yes", "<on|off>"},
      {"1 timeacc 0", "<factor above 0>"},
      {"1 camera cockpit", "<internal|external>"},
      {"1 hud dim", "<surface|orbit|docking|none>\", found \"dim\""},
      {"1 expect altitude > 3", "a telemetry column (t, alt"},
      {"1 expect atl > 3", "found \"atl\" (did you mean alt?)"},
      {"1 expect alt => 3", "a comparison ==, !=, <, <=, > or >=, found \"=>\""},
      {"1 expect alt > high", "a number to compare with, found \"high\""},
      {"1 expect alt > 5abc", "a number to compare with, found \"5abc\""},
      {"1 expect alt > 3 -1", "a tolerance, 0 or more"},
      {"1 expect hud \"HOLD", "a closing double quote"},
      {"1 expect sound 0 playing", "with a slot the vessel loads (10, 2, 3"},
      {"1 expect sound 8 playing", "found \"8\""},
      {"1 expect sound warnin playing", "(did you mean warning?)"},
      {"1 expect sound 6 on", "<playing|stopped>"},
      {"1 kye E", "found \"kye\" (did you mean key?)"},
      {"1 Key E", "(did you mean key?)"},
      {"1 set mian 1", "found \"mian\" (did you mean main?)"},
      {"1 navmode HOLDAT on", "(did you mean HOLDALT?)"},
      {"1 key shfit+E", "a modifier shift, ctrl or alt, found \"shfit\" (did you mean shift?)"},
      {"1 key EE", "found \"EE\""},
      {"1x key E", "a time in seconds, 0 or more, found \"1x\""},
  };
  for (const Row &r : rows) {
    ScriptEvent ev;
    std::string error;
    EXPECT_FALSE(sim::ParseScriptLine(r.text, ev, error)) << r.text;
    EXPECT_NE(error.find(r.expected), std::string::npos) << r.text << " gave: " << error;
  }
}

TEST(Script, ProblemsCarryFileAndLineAndEventsComeSortedByTime) {
  std::vector<host::ScenarioScriptLine> lines = {
      {10, "5 key G"}, {11, "1 key E"}, {12, "1 expect alt > 0"}, {13, "2 hover"}, {14, "5 key 0"}};
  std::vector<ScriptEvent> events;
  std::vector<host::ScenarioProblem> problems;
  EXPECT_FALSE(sim::ParseScript(lines, "f.scn", events, problems));
  std::vector<std::string> texts;
  for (auto &p : problems) texts.push_back(p.Text());
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "f.scn:11: warning: \"1 key E\" comes after line 10 at 5 s but runs before it, at 1 s",
                       "f.scn:12: warning: \"1 expect alt > 0\" comes after line 10 at 5 s but runs before it, at 1 s",
                       "f.scn:13: expected a command key, set, navmode, timeacc, camera, cockpit, hud, save, hudframe "
                       "or expect, found \"hover\" in \"2 hover\""}))
      << "out of order lines are warnings, naming the line they follow";
  ASSERT_EQ(events.size(), 4u);
  std::vector<int> order;
  for (auto &e : events) order.push_back(e.line);
  EXPECT_EQ(order, (std::vector<int>{11, 12, 10, 14})) << "by time, then in file order";
  EXPECT_EQ(events[2].Where(), "f.scn:10");
  problems.clear();
  EXPECT_TRUE(sim::ParseScript({{1, "5 key G"}, {2, "1 key E"}}, "f.scn", events, problems)) << "warnings only";
}

TEST(Script, ComparisonsAtTheirBoundaries) {
  struct Row {
    Compare op;
    double actual, value, tol;
    bool holds;
    const char *what;
  } rows[] = {
      {Compare::Eq, 1.0, 1.0, 0, true, "equal"},
      {Compare::Eq, 1.1, 1.0, 0.1 + 1e-12, true, "within the tolerance"},
      {Compare::Eq, 1.2, 1.0, 0.1, false, "outside the tolerance"},
      {Compare::Ne, 1.0, 1.0, 0, false, "not different"},
      {Compare::Ne, 1.2, 1.0, 0.1, true, "different beyond the tolerance"},
      {Compare::Lt, 1.0, 1.0, 0, false, "strictly below: equal fails"},
      {Compare::Le, 1.0, 1.0, 0, true, "at most: equal holds"},
      {Compare::Gt, 1.0, 1.0, 0, false, "strictly above: equal fails"},
      {Compare::Ge, 1.0, 1.0, 0, true, "at least: equal holds"},
      {Compare::Gt, 0.95, 1.0, 0.1, true, "above with a tolerance"},
      {Compare::Ge, std::nan(""), 1.0, 0, false, "not a number never holds"},
      {Compare::Eq, std::nan(""), 1.0, 1, false, "not a number is never equal"},
  };
  for (const Row &r : rows) EXPECT_EQ(sim::Holds(r.op, r.actual, r.value, r.tol), r.holds) << r.what;
}

TEST(Script, KeyNames) {
  const std::pair<const char *, unsigned> rows[] = {
      {"E", OAPI_KEY_E},          {"e", OAPI_KEY_E}, {"OAPI_KEY_PERIOD", OAPI_KEY_PERIOD},
      {"OAPI_KEY_E", OAPI_KEY_E}, {"0", OAPI_KEY_0}, {"F10", OAPI_KEY_F10},
      {"OAPI_KEY_", 0},           {"F11", 0}};
  for (auto &r : rows) EXPECT_EQ(sim::KeyCode(r.first), r.second) << r.first;
}

}  // namespace
