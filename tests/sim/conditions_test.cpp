// The script's reacting lines: how they read, and when they fire and fail
// through a run.
#include "sim/conditions.h"

#include <gtest/gtest.h>

#include "sim/telemetry.h"
#include "tests/support/fixture.h"

namespace {

using sim::Command;
using sim::ScriptEvent;
using sim::Timing;

ScriptEvent Read(const std::string &text) {
  ScriptEvent ev;
  std::string error;
  EXPECT_TRUE(sim::ParseScriptLine(text, ev, error)) << text << ": " << error;
  return ev;
}

TEST(Conditions, ReadsEachForm) {
  struct Row {
    const char *text;
    Timing timing;
    Command command;
    size_t comparisons;
    double time, after, until, over;
    const char *source;
  } rows[] = {
      {"when alt < 3: set main 0.4 ; soon", Timing::When, Command::Set, 1, 0, 0, 0, 0, "when alt < 3: set main 0.4"},
      {"when ground == 0 after 2: key G", Timing::When, Command::Key, 1, 0, 2, 0, 0, "when ground == 0 after 2: key G"},
      {"when airspeed > 100 and Tarvex2.alt > 50 1: key 8", Timing::When, Command::Key, 2, 0, 0, 0, 0,
       "when airspeed > 100 and Tarvex2.alt > 50 1: key 8"},
      {"when alt < 3 : expect hud \"A: B\"", Timing::When, Command::ExpectHud, 1, 0, 0, 0, 0, ""},
      {"when t >= 1: set main 0.4 over 3", Timing::When, Command::Set, 1, 0, 0, 0, 3,
       "when t >= 1: set main 0.4 over 3"},
      {"stop when ground == 1 and airspeed < 0.5", Timing::Stop, Command::Key, 2, 0, 0, 0, 0,
       "stop when ground == 1 and airspeed < 0.5"},
      {"stop when ground == 1 after 6", Timing::Stop, Command::Key, 1, 0, 6, 0, 0, "stop when ground == 1 after 6"},
      {"expect always warning == 0", Timing::Always, Command::Expect, 0, 0, 0, 0, 0, "expect always warning == 0"},
      {"30..60 expect alt > 10 0.5", Timing::During, Command::Expect, 0, 30, 0, 60, 0, "30..60 expect alt > 10 0.5"},
      {"20 set main 0.4 over 3", Timing::At, Command::Set, 0, 20, 0, 0, 3, "20 set main 0.4 over 3"},
      {"20 set main 0.4", Timing::At, Command::Set, 0, 20, 0, 0, 0, "20 set main 0.4"},
  };
  for (const Row &r : rows) {
    ScriptEvent ev = Read(r.text);
    EXPECT_ALL(ev.timing == r.timing, ev.command == r.command) << r.text;
    EXPECT_EQ(ev.condition.size(), r.comparisons) << r.text;
    EXPECT_EQ(ev.time, r.time) << r.text;
    EXPECT_EQ(ev.after, r.after) << r.text;
    EXPECT_EQ(ev.until, r.until) << r.text;
    EXPECT_EQ(ev.over, r.over) << r.text;
    EXPECT_TRUE(!*r.source || ev.source == r.source) << r.text << " reads back as " << ev.source;
  }
  ScriptEvent ev = Read("when airspeed > 100 and Tarvex2.alt > 50 1: set Tarvex2.brake 1");
  EXPECT_EQ(ev.condition[1].vessel, "Tarvex2") << "a comparison names its vessel";
  EXPECT_EQ(ev.condition[1].column, sim::ColumnIndex("alt"));
  EXPECT_EQ(ev.condition[1].tolerance, 1);
  EXPECT_EQ(ev.vessel, "Tarvex2") << "so does the action";
  EXPECT_EQ(Read("when alt < 3 : expect hud \"A: B\"").name, "A: B") << "only the first colon ends the condition";
}

TEST(Conditions, MalformedLinesSayWhatWasExpected) {
  struct Row {
    const char *text, *expected;
  } rows[] = {
      {"when alt < 3 set main 0.4", "\"when <condition> [after <seconds>]: <line without its time>\""},
      {"when alt < 3 ; no: colon here", "\"when <condition>"},
      {"when alt < 3:", "a line to act on after the colon"},
      {"when alt < 3: 5 key G", "after the colon a line without its time: a command key"},
      {"when alt < 3: when alt < 2: key G", "after the colon a line without its time"},
      {"wehn alt < 3: key G",
       "or when, stop when, expect always or FROM..TO expect, found \"wehn\" (did you mean when?)"},
      {"when alt<3: key G", "several joined by \"and\", found \"alt<3\""},
      {"when alt 3: key G", "a condition \"<column> <==|!=|<|<=|>|>=> <value> [tolerance]\""},
      {"when alt < 3 and: key G", "several joined by \"and\", found \"\""},
      {"when altitude < 3: key G", "a telemetry column (t, alt"},
      {"when alt => 3: key G", "a comparison ==, !="},
      {"when alt < 3 after -1: key G", "a delay in seconds, 0 or more"},
      {"when alt < 3 after soon: key G", "a delay in seconds, 0 or more, after \"after\", found \"soon\""},
      {"when hud \"X\" == 1: key G", "a telemetry column to compare"},
      {"stop alt < 3", "\"stop when <condition> [after <seconds>]\""},
      {"stop when alt < 3: key G", "nothing after the condition of \"stop when\""},
      {"expect always hud \"HOLDALT\"", "\"expect always <column>"},
      {"expect always alt > high", "a number to compare with"},
      {"60..30 expect alt > 10", "an interval <from>..<to> in seconds, 0 <= from <= to"},
      {"-1..30 expect alt > 10", "an interval"},
      {"30.. expect alt > 10", "an interval"},
      {"30..60 key G", "\"<from>..<to> expect <column>"},
      {"30..60 expect sound 6 playing", "\"<from>..<to> expect <column>"},
      {"20 set main 0.4 over 0", "a ramp time in seconds above 0 after \"over\", found \"0\""},
      {"20 set main 2 over 3", "a level from 0 to 1 for main"},
      {"when alt < 3: set main 0.4 over x", "a ramp time in seconds above 0"},
  };
  for (const Row &r : rows) {
    ScriptEvent ev;
    std::string error;
    EXPECT_FALSE(sim::ParseScriptLine(r.text, ev, error)) << r.text;
    EXPECT_NE(error.find(r.expected), std::string::npos) << r.text << " gave: " << error;
  }
}

// A run in steps of 0.5 s where the altitude falls 10 m a second from 100 m.
struct Flight {
  sim::Reactions reactions;
  std::vector<std::pair<double, int>> fired;  // time, line
  double stopped = -1;
  void Add(int line, const std::string &text) {
    ScriptEvent ev = Read(text);
    ev.line = line;
    ASSERT_TRUE(reactions.Add(ev)) << text;
  }
  void Fly(double until) {
    const int alt = sim::ColumnIndex("alt"), t_col = sim::ColumnIndex("t");
    for (double t = 0; t <= until + 1e-9; t += 0.5) {
      std::vector<const sim::Trigger *> now;
      sim::ColumnValue value = [&](const std::string &, int column) {
        return column == alt ? 100 - 10 * t : column == t_col ? t : 0;
      };
      bool stop = reactions.Observe(t, value, now);
      for (auto *tr : now) fired.push_back({t, tr->line.line});
      if (stop) {
        stopped = t;
        return;
      }
    }
  }
};

TEST(Conditions, TriggersFireOnceAtTheirMomentOrNever) {
  Flight f;
  f.Add(1, "when alt < 80: key G");                   // first below 80 m at 2.5 s
  f.Add(2, "when alt <= 80: key G");                  // at 2 s exactly
  f.Add(3, "when alt < 90 after 1.5: key G");         // held from 1.5 s: fires at 3 s
  f.Add(4, "when alt < 90 and t > 4: key G");         // both at 4.5 s
  f.Add(5, "when alt == 75 4: key G");                // within the tolerance from 2.5 s
  f.Add(6, "when alt < 0: key G");                    // never
  f.Add(7, "when t > 4.5 after 10: expect alt > 0");  // held from 5 s, delay never over
  f.Add(8, "stop when alt < 50");                     // at 5.5 s, the run ends there
  f.Fly(20);
  std::vector<std::pair<double, int>> want = {{2, 2}, {2.5, 1}, {2.5, 5}, {3, 3}, {4.5, 4}, {5.5, 8}};
  EXPECT_EQ(f.fired, want) << "each fires once, at the first step its moment came, in file order";
  EXPECT_EQ(f.stopped, 5.5) << "the stop ends the run at the step it held";
  const auto &tr = f.reactions.Triggers();
  EXPECT_EQ(tr[5].fired, -1);
  EXPECT_EQ(sim::NeverFiredWhy(tr[5], "the run ended"), "its condition never held; the run ended");
  EXPECT_EQ(sim::NeverFiredWhy(tr[6], "the run ended"),
            "its condition held at t=5.000 s, and its 10 s delay had not passed: the run ended");
}

TEST(Conditions, ChecksOverTimeGiveTheirFirstFailureAndCount) {
  Flight f;
  f.Add(1, "expect always alt > 70");   // fails from 3 s (70 is not above 70) to the stop at 5
  f.Add(2, "1..2 expect alt >= 80");    // 1, 1.5, 2: holds, 80 at the end is at least 80
  f.Add(3, "2..10 expect alt > 85 1");  // fails at once at 2 s (80 is not above 84)
  f.Add(4, "7..9 expect alt > 0");      // after the stop: never checked
  f.Add(5, "stop when t >= 5");
  f.Fly(20);
  const auto &s = f.reactions.Spans();
  struct Row {
    const char *verdict;
    long steps, failed;
    double first, value;
    const char *what;
  } rows[] = {{"FAILED", 11, 5, 3, 70, "always: every step from 0 to the stop"},
              {"passed", 3, 0, 0, 0, "interval: its bounds included"},
              {"FAILED", 7, 7, 2, 80, "interval: failing from its first step"},
              {"not reached", 0, 0, 0, 0, "interval after the end of the run"}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_STREQ(s[i].Verdict(), rows[i].verdict) << rows[i].what;
    EXPECT_EQ(s[i].steps, rows[i].steps) << rows[i].what;
    EXPECT_EQ(s[i].failed, rows[i].failed) << rows[i].what;
    if (rows[i].failed) {
      EXPECT_EQ(s[i].first_failed, rows[i].first) << rows[i].what;
      EXPECT_EQ(s[i].value_then, rows[i].value) << rows[i].what;
    }
  }
  EXPECT_EQ(s[0].Actual(), "70 at t=3.000 s; failed 5 of 11 steps");
  EXPECT_EQ(s[1].Actual(), "held at all 3 steps to t=2.000 s");
}

}  // namespace
