// The stand-in host's scenario files: blocks read from text, lines served one
// at a time to a vessel's load, lines written by a vessel's save.
#include "host/scenario_file.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>

#include "host/world.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;

namespace {

TEST(ScenarioFile, ReaderServesEachLineWithoutItsIndentationAndKeepsTheBlockIntact) {
  host::ResetWorld();
  host::ScenarioFile f;
  const std::string longest(1 << 20, 'x');
  f.lines = {"  GEAR 1", "\tENG STAT 1", "NAVMODEALT 1  ", "   ", "  " + longest};
  std::vector<std::string> served;
  char *line = nullptr;
  while (oapiReadScenario_nextline(&f, line)) served.push_back(line);
  EXPECT_TRUE(CallsEqual(served, {"GEAR 1", "ENG STAT 1", "NAVMODEALT 1  ", "", longest}));
  EXPECT_FALSE(oapiReadScenario_nextline(&f, line)) << "the end of the block stays the end";
  EXPECT_FALSE(oapiReadScenario_nextline(nullptr, line)) << "no file, no lines";
  f.lines = {"SPOT 1"}, f.next = 0;
  ASSERT_TRUE(oapiReadScenario_nextline(&f, line));
  std::memset(line, 'Z', std::strlen(line));
  EXPECT_EQ(f.lines[0], "SPOT 1") << "a line edited in place leaves the block intact";
}

TEST(ScenarioFile, BlockTextReadsUpToEndInAnyLineEnding) {
  const struct {
    const char *text;
    bool complete;
    std::vector<std::string> lines;
  } rows[] = {{"  GEAR 1\n  SPOT 1\nEND\nnext block\n", true, {"  GEAR 1", "  SPOT 1"}},
              {"GEAR 1\r\n  END \r\n", true, {"GEAR 1"}},
              {"GEAR 1\nSPOT 1", false, {"GEAR 1", "SPOT 1"}},
              {"ENDURANCE 3\nEND\n", true, {"ENDURANCE 3"}},
              {"END\n", true, {}}};
  for (const auto &r : rows) {
    std::istringstream in(r.text);
    host::ScenarioFile f;
    EXPECT_EQ(host::ReadVesselBlock(in, f), r.complete) << r.text;
    EXPECT_EQ(f.lines, r.lines) << r.text;
  }
  std::istringstream in("TRIM 0." + std::string(3'000'000, '7') + "\nEND\n");
  host::ScenarioFile f;
  ASSERT_TRUE(host::ReadVesselBlock(in, f));
  EXPECT_EQ(f.lines.at(0).size(), 3'000'007u) << "a line of any length comes back whole";
}

TEST(ScenarioFile, WritersWriteOneLinePerItemAndRealsReadBackExactly) {
  host::ResetWorld();
  host::ScenarioFile f;
  oapiWriteScenario_int(&f, "NEG", -2147483647 - 1);
  oapiWriteScenario_float(&f, "TRIM", -0.3);
  oapiWriteScenario_string(&f, "GEAR", "0 1");
  std::ostringstream out;
  host::WriteVesselBlock(out, f);
  EXPECT_EQ(out.str(), "  NEG -2147483648\n  TRIM -0.3\n  GEAR 0 1\nEND\n");
  std::mt19937_64 gen(20101);
  std::vector<double> values = {0.1 + 0.2, 1.0 / 3, 5e-324, 1.7976931348623157e308};
  for (int i = 0; i < 300; ++i) {
    uint64_t bits = gen();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
  }
  for (double d : values) {
    host::ScenarioFile g;
    oapiWriteScenario_float(&g, "X", d);
    EXPECT_EQ(std::strtod(g.written.at(0).c_str() + 4, nullptr), d) << g.written[0];
  }
}

}  // namespace
