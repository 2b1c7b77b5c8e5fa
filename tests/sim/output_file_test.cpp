// The flight host's files are replaced whole or left as they were, and a
// save refuses a state holding numbers that are not finite.
#include "sim/output_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "sim/guards.h"
#include "tests/support/work_dir.h"

namespace {

using tarvex_test::ReadWholeFile;

TEST(OutputFile, ReplacesTheTargetOnlyOnCommitAndLeavesNoTemporaryFile) {
  tarvex_test::TempWorkDir dir;
  std::string error;
  ASSERT_TRUE(sim::WriteOutput("a.csv", "old\n", false, error)) << error;
  {
    sim::OutputFile f;
    ASSERT_TRUE(f.Open("a.csv", false, error)) << error;
    std::fputs("half", f.Stream());
    EXPECT_EQ(ReadWholeFile("a.csv"), "old\n") << "untouched while written";
  }  // dropped without a commit, as when the run fails
  EXPECT_EQ(ReadWholeFile("a.csv"), "old\n");
  sim::OutputFile f;
  ASSERT_TRUE(f.Open("a.csv", false, error)) << error;
  std::fputs("new\n", f.Stream());
  ASSERT_TRUE(f.Commit(error)) << error;
  EXPECT_EQ(ReadWholeFile("a.csv"), "new\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 1);
}

TEST(OutputFile, SaveNamesTheFirstLineWithANumberThatIsNotFinite) {
  host::ScenarioText s;
  s.vessels.push_back(host::ScenarioVesselBlock{"T1", "Tarvex", 1, {"  ALT 5", "  NAME inform"}, {}});
  EXPECT_EQ(sim::NonFiniteLine(s), "") << "words that only begin like \"inf\" are text";
  s.vessels.push_back(host::ScenarioVesselBlock{"T2", "Tarvex", 9, {"  AIRSPEED inf", "  VEL 0 nan 0"}, {}});
  EXPECT_EQ(sim::NonFiniteLine(s), "T2: AIRSPEED inf");
  s.environment.time_acceleration = -HUGE_VAL;
  EXPECT_EQ(sim::NonFiniteLine(s).rfind("TimeAcc", 0), 0u);
}

}  // namespace
