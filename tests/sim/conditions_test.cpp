// The script's reacting lines: how they read, and when they fire and fail
// through a run.
#include "sim/conditions.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

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

// Each row of tests/data/reacting_lines.txt: read as it says, or refused with
// the error it names.
TEST(Conditions, LinesReadOrAreRefusedAsTheTableSays) {
  const char *timings[] = {"At", "When", "Stop", "Always", "During"};
  const char *commands[] = {"Key", "Set",  "Navmode",  "TimeAcc", "Camera",    "Cockpit",
                            "Hud", "Save", "HudFrame", "Expect",  "ExpectHud", "ExpectSound"};
  for (const std::string &row : tarvex_test::DataLines("reacting_lines.txt")) {
    size_t arrow = row.find(" -> ");
    ASSERT_NE(arrow, std::string::npos) << row;
    const std::string text = row.substr(0, arrow), want = row.substr(arrow + 4);
    ScriptEvent ev;
    std::string error;
    const bool ok = sim::ParseScriptLine(text, ev, error);
    if (want[0] == '!') {
      EXPECT_FALSE(ok) << row;
      EXPECT_NE(error.find(want.substr(2)), std::string::npos) << row << "\n gave: " << error;
      continue;
    }
    ASSERT_TRUE(ok) << row << "\n: " << error;
    std::istringstream in(want);
    std::string timing, command;
    size_t comparisons;
    double time, after, until, over;
    in >> timing >> command >> comparisons >> time >> after >> until >> over;
    EXPECT_ALL(timing == timings[(int)ev.timing], command == commands[(int)ev.command]) << row;
    EXPECT_ALL(ev.condition.size() == comparisons, ev.time == time, ev.after == after, ev.until == until,
               ev.over == over)
        << row;
    EXPECT_EQ(ev.source, text.substr(0, text.find(" ;"))) << row;
  }
  ScriptEvent ev = Read("when airspeed > 100 and Tarvex2.alt > 50 1: set Tarvex2.brake 1");
  EXPECT_ALL(ev.condition[1].vessel == "Tarvex2", ev.condition[1].column == sim::ColumnIndex("alt"),
             ev.condition[1].tolerance == 1)
      << "a comparison names its vessel";
  EXPECT_EQ(ev.vessel, "Tarvex2") << "so does the action";
  EXPECT_EQ(Read("when alt < 3: expect hud \"A: B\"").name, "A: B");
}

// A run in steps of 0.5 s where the altitude falls 10 m a second from 100 m.
struct Flight : sim::ColumnValues {
  double t = 0;
  double Value(const std::string &, int column) override {
    return column == sim::ColumnIndex("alt") ? 100 - 10 * t : column == sim::ColumnIndex("t") ? t : 0;
  }
  sim::Reactions reactions;
  std::vector<std::pair<double, int>> fired;  // time, line
  double stopped = -1;
  void Add(int line, const std::string &text) {
    ScriptEvent ev = Read(text);
    ev.line = line;
    ASSERT_TRUE(reactions.Add(ev)) << text;
  }
  void Fly(double until) {
    for (t = 0; t <= until + 1e-9; t += 0.5) {
      std::vector<const sim::Trigger *> now;
      bool stop = reactions.Observe(t, *this, now);
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

// The reference's examples of these lines read as written.
TEST(Conditions, TheReferencesExamplesRead) {
  std::ifstream in(std::string(TARVEX_SOURCE_DIR) + "/docs/scenarios.md");
  std::string line;
  bool section = false, code = false;
  int read = 0;
  while (std::getline(in, line)) {
    if (line.rfind("### ", 0) == 0) section = line == "### Lines that react to the flight";
    if (!section) continue;
    if (line.rfind("```", 0) == 0) {
      code = !code;
    } else if (code) {
      Read(line);
      ++read;
    }
  }
  EXPECT_GE(read, 20) << "the examples of docs/scenarios.md";
}

}  // namespace
