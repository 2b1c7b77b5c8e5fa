// Reading and writing the host's scenario files.
#include "host/scenario_text.h"

#include <gtest/gtest.h>

namespace {

const char *kTwoShips =
    "BEGIN_DESC\n"
    "Two ships.\n"
    "  Indented text stays as written.\n"
    "END_DESC\n"
    "\n"
    "; a comment\n"
    "BEGIN_ENVIRONMENT\n"
    "  Date MJD 51600.25\n"
    "  TimeAcc 4\n"
    "  Camera external\n"
    "  Cockpit panel\n"
    "  HUD docking\n"
    "END_ENVIRONMENT\n"
    "BEGIN_FOCUS\n"
    "  Ship B\n"
    "END_FOCUS\n"
    "BEGIN_SHIPS\n"
    "A:Tarvex\n"
    "  STATUS Landed\n"
    "  GEAR 1 0.5\n"
    "END\n"
    "B:Tarvex\n"
    "END\n"
    "END_SHIPS\n"
    "BEGIN_SCRIPT\n"
    "1 key E\n"
    "END_SCRIPT\n";

TEST(ScenarioText, ReadsEveryBlock) {
  host::ScenarioText s;
  std::vector<host::ScenarioProblem> problems;
  ASSERT_TRUE(host::ParseScenarioText(kTwoShips, "two.scn", s, problems));
  EXPECT_EQ(s.description, (std::vector<std::string>{"Two ships.", "  Indented text stays as written."}));
  EXPECT_EQ(s.environment.mjd, 51600.25);
  EXPECT_EQ(s.environment.time_acceleration, 4);
  EXPECT_FALSE(s.environment.camera_internal);
  EXPECT_EQ(s.environment.cockpit_mode, COCKPIT_PANELS);
  EXPECT_EQ(s.environment.hud_mode, HUD_DOCKING);
  EXPECT_EQ(s.focus, "B");
  ASSERT_EQ(s.vessels.size(), 2u);
  EXPECT_EQ(s.vessels[0].name, "A");
  EXPECT_EQ(s.vessels[0].class_name, "Tarvex");
  EXPECT_EQ(s.vessels[0].line, 18);
  EXPECT_EQ(s.vessels[0].lines, (std::vector<std::string>{"STATUS Landed", "GEAR 1 0.5"}));
  EXPECT_TRUE(s.vessels[1].lines.empty());
  ASSERT_EQ(s.script.size(), 1u);
  EXPECT_EQ(s.script[0].line, 26);
  EXPECT_EQ(s.script[0].text, "1 key E");
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

TEST(ScenarioText, ScriptFileKeepsLineNumbersAndSkipsCommentsAndBlockMarkers) {
  auto lines = host::ScriptFileLines("; header\n\nBEGIN_SCRIPT\n1 key E\n# note\n2 key G\nEND_SCRIPT\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].line, 4);
  EXPECT_EQ(lines[1].line, 6);
  EXPECT_EQ(lines[1].text, "2 key G");
}

// Outside text of every shape: lines cut, doubled, swapped and sprinkled with
// bytes from a fixed pseudo-random sequence. The reader never fails to
// return, and every problem names a line of the text.
TEST(ScenarioText, ScrambledFilesAreReportedNeverTrusted) {
  std::string base = kTwoShips;
  {  // white space other than blanks and tabs (found by fuzzing) makes a blank line
    host::ScenarioText s;
    std::vector<host::ScenarioProblem> problems;
    EXPECT_TRUE(host::ParseScenarioText("BEGIN_ENVIRONMENT\n\f\n \v\nEND_ENVIRONMENT\n" + base, "ws.scn", s, problems))
        << (problems.empty() ? "" : problems[0].Text());
  }
  unsigned seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
  for (int round = 0; round < 3000; ++round) {
    std::string text = base;
    int edits = 1 + next() % 6;
    for (int e = 0; e < edits; ++e) {
      size_t at = next() % (text.size() + 1);
      const unsigned kind = next() % 4;
      if (kind == 0) text.insert(at, 1, (char)(next() % 256));
      if (kind == 1) text.erase(at, next() % 12);
      if (kind == 2) text.insert(at, text.substr(next() % text.size(), next() % 40));
      if (kind == 3) text.insert(at, "\nEND\n");
    }
    int lines = 1;
    for (char c : text) lines += c == '\n';
    host::ScenarioText s;
    std::vector<host::ScenarioProblem> problems;
    host::ParseScenarioText(text, "scrambled.scn", s, problems);
    for (auto &p : problems) ASSERT_LE(p.line, lines) << p.Text();
    (void)host::FormatScenarioText(s);
  }
}

}  // namespace
