// Reading and writing the host's scenario files.
#include "host/scenario_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

const char *kTwoShips =
    "BEGIN_DESC\nTwo ships.\n  Indented text stays as written.\nEND_DESC\n\n; a comment\n"
    "BEGIN_ENVIRONMENT\n  Date MJD 51600.25\n  TimeAcc 4\n  Camera external\n  Cockpit panel\n  HUD docking\n"
    "END_ENVIRONMENT\nBEGIN_FOCUS\n  Ship B\nEND_FOCUS\n"
    "BEGIN_SHIPS\nA:Tarvex\n  STATUS Landed\n  GEAR 1 0.5\nEND\nB:Tarvex\nEND\nEND_SHIPS\n"
    "BEGIN_SCRIPT\n1 key E\nEND_SCRIPT\n";

TEST(ScenarioText, ReadsEveryBlock) {
  host::ScenarioText s;
  std::vector<host::ScenarioProblem> problems;
  // White space other than blanks and tabs (found by fuzzing) makes a blank line.
  ASSERT_TRUE(host::ParseScenarioText(std::string("BEGIN_ENVIRONMENT\n\f\n \v\nEND_ENVIRONMENT\n") + kTwoShips,
                                      "two.scn", s, problems))
      << (problems.empty() ? "" : problems[0].Text());
  EXPECT_EQ(s.description, (std::vector<std::string>{"Two ships.", "  Indented text stays as written."}));
  const auto &e = s.environment;
  EXPECT_EQ(std::make_tuple(e.mjd, e.time_acceleration, e.camera_internal, e.cockpit_mode, e.hud_mode, s.focus),
            std::make_tuple(51600.25, 4.0, false, COCKPIT_PANELS, HUD_DOCKING, std::string("B")));
  ASSERT_EQ(s.vessels.size(), 2u);
  EXPECT_EQ(s.vessels[0].name + ":" + s.vessels[0].class_name, "A:Tarvex");
  EXPECT_EQ(s.vessels[0].line, 22);
  EXPECT_EQ(s.vessels[0].lines, (std::vector<std::string>{"STATUS Landed", "GEAR 1 0.5"}));
  EXPECT_TRUE(s.vessels[1].lines.empty());
  ASSERT_EQ(s.script.size(), 1u);
  EXPECT_EQ(s.script[0].line, 30);
  EXPECT_EQ(s.script[0].text, "1 key E");
  auto lines = host::ScriptFileLines("; header\n\nBEGIN_SCRIPT\n1 key E\n# note\n2 key G\nEND_SCRIPT\n");
  ASSERT_EQ(lines.size(), 2u) << "comments and block markers are skipped";
  EXPECT_EQ(lines[0].line, 4);
  EXPECT_EQ(lines[1].line, 6);
  EXPECT_EQ(lines[1].text, "2 key G");
}

TEST(ScenarioText, MalformedLinesAreReportedWithFileLineAndWhatWasExpected) {
  struct Row {
    const char *text;
    int line;
    const char *expected;
    const char *what;
  } rows[] = {
      // clang-format off
      {"GARBAGE\n", 1, "expected BEGIN_DESC, BEGIN_ENVIRONMENT", "line outside any block"},
      {"BEGIN_SHIPS\nnocolon\nEND_SHIPS\n", 2, "expected a vessel block \"NAME:CLASS\"", "vessel line without class"},
      {"BEGIN_SHIPS\nA:\nEND_SHIPS\n", 2, "NAME:CLASS", "empty class"},
      {"BEGIN_SHIPS\nA:T\nEND\nA:T\nEND\nEND_SHIPS\n", 4, "used twice", "duplicate vessel name"},
      {"BEGIN_SHIPS\nA:T\n  FUEL 1\nEND_SHIPS\n", 4, "expected END to close the block of vessel \"A\"", "vessel block not closed"},
      {"BEGIN_SHIPS\nA:T\nEND\n", 1, "expected END_SHIPS before the end of the file", "ships block not closed"},
      {"BEGIN_DESC\nno end\n", 1, "expected END_DESC", "description not closed"},
      {"BEGIN_ENVIRONMENT\n  Date 51544\nEND_ENVIRONMENT\n", 2, "Date MJD <days>", "date without MJD"},
      {"BEGIN_ENVIRONMENT\n  TimeAcc 0\nEND_ENVIRONMENT\n", 2, "TimeAcc <factor above 0>", "time acceleration 0"},
      {"BEGIN_ENVIRONMENT\n  Camera sideways\nEND_ENVIRONMENT\n", 2, "Camera internal|external", "bad camera"},
      {"BEGIN_ENVIRONMENT\n  Cockpit 2d\nEND_ENVIRONMENT\n", 2, "Cockpit virtual|panel|generic", "bad cockpit"},
      {"BEGIN_ENVIRONMENT\n  Gravity 3\nEND_ENVIRONMENT\n", 2, "expected an environment line", "unknown key"},
      {"BEGIN_FOCUS\n  Ship\nEND_FOCUS\n", 2, "Ship <vessel name>", "focus without a name"},
      {"BEGIN_FOCUS\n  Ship Z\nEND_FOCUS\nBEGIN_SHIPS\nA:T\nEND\nEND_SHIPS\n", 0, "focus vessel \"Z\"", "focus names no vessel"},
      // clang-format on
  };
  for (const Row &r : rows) {
    host::ScenarioText s;
    std::vector<host::ScenarioProblem> problems;
    EXPECT_FALSE(host::ParseScenarioText(r.text, "bad.scn", s, problems)) << r.what;
    ASSERT_FALSE(problems.empty()) << r.what;
    EXPECT_EQ(problems[0].file, "bad.scn") << r.what;
    EXPECT_EQ(problems[0].line, r.line) << r.what;
    EXPECT_NE(problems[0].message.find(r.expected), std::string::npos) << r.what << ": " << problems[0].Text();
    EXPECT_EQ(problems[0].Text().rfind(r.line ? "bad.scn:" + std::to_string(r.line) + ": " : "bad.scn: ", 0), 0u);
  }
}

}  // namespace
