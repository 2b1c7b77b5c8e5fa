// The flight script: every command, the malformed lines, comparisons.
#include "sim/script.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/telemetry.h"

namespace {

using sim::Command;
using sim::Compare;
using sim::ScriptEvent;

TEST(Script, ReadsEveryCommand) {
  struct Row {
    const char *text;
    Command command;
    double time;
    const char *name;
    double value;
    const char *what;
  } rows[] = {
      {"1.5 key E", Command::Key, 1.5, "E", 0, "key"},
      {"0 set main 0.9", Command::Set, 0, "main", 0.9, "main level"},
      {"2 set elevator -1", Command::Set, 2, "elevator", -1, "elevator at its lower end"},
      {"2 set brake 1", Command::Set, 2, "brake", 1, "brake"},
      {"3 navmode HOLDALT on", Command::Navmode, 3, "HOLDALT", 0, "altitude hold"},
      {"4 timeacc 10", Command::TimeAcc, 4, "", 10, "time acceleration"},
      {"5 camera external", Command::Camera, 5, "", 0, "camera"},
      {"5 cockpit generic", Command::Cockpit, 5, "", 0, "cockpit"},
      {"5 hud orbit", Command::Hud, 5, "", 0, "HUD mode"},
      {"6 save out/a.scn", Command::Save, 6, "out/a.scn", 0, "save"},
      {"6 hudframe out/hover.svg", Command::HudFrame, 6, "out/hover.svg", 0, "HUD frame"},
      {"7 expect alt >= 10", Command::Expect, 7, "alt", 10, "expectation"},
      {"7 expect hud \"HOVER SET\"", Command::ExpectHud, 7, "HOVER SET", 0, "HUD text with a blank"},
      {"7 expect sound 6 playing", Command::ExpectSound, 7, "", 0, "sound slot"},
      {"8 key G ; gear up", Command::Key, 8, "G", 0, "comment after a line"},
  };
  for (const Row &r : rows) {
    ScriptEvent ev;
    std::string error;
    ASSERT_TRUE(sim::ParseScriptLine(r.text, ev, error)) << r.what << ": " << error;
    EXPECT_EQ(ev.command, r.command) << r.what;
    EXPECT_EQ(ev.time, r.time) << r.what;
    if (*r.name) {
      EXPECT_EQ(ev.name, r.name) << r.what;
    }
    if (r.command == Command::Set || r.command == Command::TimeAcc || r.command == Command::Expect) {
      EXPECT_EQ(ev.value, r.value) << r.what;
    }
  }
}

TEST(Script, MalformedLinesSayWhatWasExpected) {
  struct Row {
    const char *text;
    const char *expected;
  } rows[] = {
      {"", "<time> <command>"},
      {"key E", "a time in seconds"},
      {"-1 key E", "a time in seconds, 0 or more"},
      {"nan key E", "a time in seconds"},
      {"1 jump", "a command key, set, navmode"},
      {"1 key", "<time> key <NAME>"},
      {"1 key HYPER", "a key name"},
      {"1 key E meta", "shift, ctrl or alt"},
      {"1 set main", "<time> set <main|hover"},
      {"1 set throttle 1", "<time> set <main|hover"},
      {"1 set main 1.01", "a level from 0 to 1 for main"},
      {"1 set brake -0.1", "a level from 0 to 1 for brake"},
      {"1 set rudder -1.5", "a level from -1 to 1 for rudder"},
      {"1 set trim x", "a level from -1 to 1 for trim"},
      {"1 navmode PROGRADE on", "<HOLDALT|HLEVEL|KILLROT>"},
      {"1 navmode HOLDALT yes", "<on|off>"},
      {"1 timeacc 0", "<factor above 0>"},
      {"1 camera cockpit", "<internal|external>"},
      {"1 cockpit virtual2", "<virtual|panel|generic>"},
      {"1 hud none", "<surface|orbit|docking>"},
      {"1 save", "<time> save <file>"},
      {"1 expect alt", "<column> <==|!=|<|<=|>|>=>"},
      {"1 expect altitude > 3", "a telemetry column (t, alt"},
      {"1 expect alt => 3", "a comparison"},
      {"1 expect alt > high", "a number to compare with"},
      {"1 expect alt > 3 -1", "a tolerance, 0 or more"},
      {"1 expect hud HOLDALT", "expect hud \\\"<text>\\\""},
      {"1 expect hud \"HOLD", "a closing double quote"},
      {"1 expect sound 0 playing", "<slot 1..60>"},
      {"1 expect sound 61 playing", "<slot 1..60>"},
      {"1 expect sound 6 on", "<playing|stopped>"},
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
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, 13);
  EXPECT_EQ(problems[0].file, "f.scn");
  EXPECT_NE(problems[0].message.find("\"2 hover\""), std::string::npos);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].line, 11) << "same time: file order";
  EXPECT_EQ(events[1].line, 12);
  EXPECT_EQ(events[2].line, 10);
  EXPECT_EQ(events[3].line, 14);
  EXPECT_EQ(events[2].Where(), "f.scn:10");
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
  EXPECT_EQ(sim::KeyCode("E"), OAPI_KEY_E);
  EXPECT_EQ(sim::KeyCode("e"), OAPI_KEY_E);
  EXPECT_EQ(sim::KeyCode("OAPI_KEY_PERIOD"), OAPI_KEY_PERIOD);
  EXPECT_EQ(sim::KeyCode("OAPI_KEY_E"), OAPI_KEY_E);
  EXPECT_EQ(sim::KeyCode("0"), OAPI_KEY_0);
  EXPECT_EQ(sim::KeyCode("F10"), OAPI_KEY_F10);
  EXPECT_EQ(sim::KeyCode("OAPI_KEY_"), 0u);
  EXPECT_EQ(sim::KeyCode("F11"), 0u);
}

}  // namespace

namespace {

TEST(Script, ScrambledLinesAreRefusedOrReadNeverTrusted) {
  const char *lines[] = {
      "1 key E shift",       "2 set rudder -0.5", "3 expect hud \"KTS 0\"",   "4 expect Tarvex2.alt >= 3 0.1",
      "5 navmode HLEVEL on", "6 save out/x.scn",  "7 expect sound 13 stopped"};
  unsigned seed = 777;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  for (int round = 0; round < 5000; ++round) {
    std::string text = lines[next() % 7];
    int edits = 1 + next() % 4;
    for (int e = 0; e < edits; ++e) {
      size_t at = next() % (text.size() + 1);
      if (next() % 2)
        text.insert(at, 1, (char)(next() % 256));
      else
        text.erase(at, next() % 5);
    }
    ScriptEvent ev;
    std::string error;
    if (sim::ParseScriptLine(text, ev, error)) {
      EXPECT_GE(ev.time, 0) << text;
      if (ev.command == Command::Expect) {
        ASSERT_GE(ev.column, 0) << text;
      }
      if (ev.command == Command::Key) {
        ASSERT_NE(ev.key, 0u) << text;
      }
      if (ev.command == Command::ExpectSound) {
        ASSERT_TRUE(ev.mode >= 1 && ev.mode <= 60) << text;
      }
    } else {
      EXPECT_FALSE(error.empty()) << text;
    }
  }
}

}  // namespace
