// tarvex-sim as a command: its options, its errors, the files it writes, and
// a saved scenario that flies on.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
  int code = -1;
  std::string out, err;
};

std::string Slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

void Write(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

Result Sim(const std::string &args) {
  std::string cmd = std::string(TARVEX_SIM_PATH) + " " + args + " >sim.out 2>sim.err";
  int status = std::system(cmd.c_str());
  Result r;
#if defined(_WIN32)
  r.code = status;
#else
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  r.out = Slurp("sim.out");
  r.err = Slurp("sim.err");
  return r;
}

bool Has(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// Each test works in a folder of its own, so tests running side by side do
// not share files.
class SimCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = std::string("sim_command/") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
  }
};

const char *kFalling =
    "BEGIN_SHIPS\n"
    "Tarvex1:Tarvex\n"
    "  STATUS Flying\n"
    "  ALT 500\n"
    "  AIRSPEED 0\n"
    "END\n"
    "END_SHIPS\n";

TEST_F(SimCommand, OptionAndInputErrorsAreClearAndNothingFlies) {
  Write("bad_script.scn",
        std::string(kFalling) + "BEGIN_SCRIPT\n1 key E\n2 set main 3\n3 expect alt > 1\nEND_SCRIPT\n");
  Write("no_ships.scn", "BEGIN_DESC\nnothing\nEND_DESC\n");
  Write("two_focus.scn", std::string(kFalling) + "BEGIN_SCRIPT\n1 expect Ghost.alt > 1\nEND_SCRIPT\n");
  struct Row {
    std::string args;
    int code;
    const char *message;
    const char *what;
    // clang-format off
  } rows[] = {
      {"--bogus", 2, "tarvex-sim: unknown option --bogus", "unknown option"},
      {"missing.scn", 2, "cannot read missing.scn", "missing scenario file"},
      {"bad_script.scn --no-sound", 2, "bad_script.scn:10: expected a level from 0 to 1 for main", "malformed script line with file and line, before anything flies"},
      {"no_ships.scn --no-sound", 2, "expected at least one vessel block", "scenario without vessels"},
      {"two_focus.scn --no-sound", 2, "two_focus.scn:9: expected the name of a vessel of the scenario", "expectation on an unknown vessel"},
      {"--module ./nowhere.so --no-sound", 3, "cannot load module ./nowhere.so", "module that does not load"},
      {std::string("--module ") + TARVEX_BINARY_DIR + "/bin/libtarvexhost.so --no-sound", 3, "has no ovcInit export", "library that is not a vessel module"},
      {"--script missing.txt --no-sound", 2, "cannot read missing.txt", "missing script file"},
  };
  // clang-format on
  for (const Row &r : rows) {
    Result res = Sim(r.args);
    EXPECT_EQ(res.code, r.code) << r.what << "\n" << res.err;
    EXPECT_TRUE(Has(res.err, r.message)) << r.what << "\n" << res.err;
    EXPECT_FALSE(Has(res.out, "t(s)")) << r.what << ": no telemetry table, nothing flown";
  }
}

TEST_F(SimCommand, HelpListsTheOptions) {
  Result r = Sim("--help");
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(Has(r.out, "usage: tarvex-sim [SCENARIO]"));
  EXPECT_TRUE(Has(r.out, "--plot FILE.svg"));
}

TEST_F(SimCommand, FailedExpectationsGiveLineActualValueAndExitStatus) {
  Write("expect.scn", std::string(kFalling) +
                          "BEGIN_SCRIPT\n"
                          "0.5 expect alt > 600\n"
                          "0.5 expect alt < 600\n"
                          "1 expect sound 6 playing\n"
                          "9 expect ground == 0\n"
                          "END_SCRIPT\n");
  Result r = Sim("expect.scn --no-sound --duration 2");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "expect.scn:9: expectation failed at t=0.500 s: 0.5 expect alt > 600 (actual 498.7")) << r.err;
  EXPECT_FALSE(Has(r.err, "expect.scn:10:")) << "the expectation that holds is not reported";
  EXPECT_TRUE(
      Has(r.err, "expect.scn:11: expectation failed at t=1.000 s: 1 expect sound 6 playing (actual no sound service)"))
      << r.err;
  EXPECT_TRUE(Has(r.err, "expect.scn:12: expectation not reached: the run ended at t=2.000 s")) << r.err;
  EXPECT_TRUE(Has(r.out, "expectations: 1 passed, 3 failed")) << r.out;
}

TEST_F(SimCommand, OutputFilesAreWrittenAndIdenticalForTheSameInputs) {
  Write("fall.scn", kFalling);
  std::string args =
      "fall.scn --no-sound --duration 1 --csv out/a/fall.csv --plot out/a/fall.svg --trace out/a/fall.trace";
  Result first = Sim(args);
  ASSERT_EQ(first.code, 0) << first.err;
  std::string csv = Slurp("out/a/fall.csv"), svg = Slurp("out/a/fall.svg"), trace = Slurp("out/a/fall.trace");
  Result second = Sim(args);
  ASSERT_EQ(second.code, 0) << second.err;
  EXPECT_EQ(csv, Slurp("out/a/fall.csv")) << "CSV differs between identical runs";
  EXPECT_EQ(svg, Slurp("out/a/fall.svg"));
  EXPECT_EQ(trace, Slurp("out/a/fall.trace"));
  EXPECT_EQ(first.out, second.out);

  EXPECT_EQ(csv.rfind("t,alt,airspeed,vs,", 0), 0u);
  size_t rows = 0;
  for (char c : csv) rows += c == '\n';
  EXPECT_EQ(rows, 1u + 1u + 60u) << "header, the start and one row per step";
  ASSERT_EQ(Sim("fall.scn --no-sound --quiet --csv out/b/fall.csv").code, 0);
  rows = 0;
  for (char c : Slurp("out/b/fall.csv")) rows += c == '\n';
  EXPECT_EQ(rows, 1u + 1u + 600u) << "without a script or --duration the flight lasts 10 s";
  EXPECT_TRUE(Has(svg, "<svg")) << "chart";
  EXPECT_TRUE(Has(trace, "\n60\tTarvex1\tGetAirspeed()")) << "trace lines carry the step number";
  EXPECT_TRUE(Has(first.out, "wrote out/a/fall.csv")) << first.out;
  EXPECT_TRUE(Has(first.out, "wrote out/a/fall.svg")) << first.out;
}

TEST_F(SimCommand, SavedScenarioFliesOnFromWhereItWasSaved) {
  Write("fall.scn", std::string(kFalling) + "BEGIN_SCRIPT\n1 save out/fall-1s.scn\nEND_SCRIPT\n");
  Result first = Sim("fall.scn --no-sound --duration 2 --save out/fall-2s.scn --csv out/fall.csv --quiet");
  ASSERT_EQ(first.code, 0) << first.err;
  std::string saved = Slurp("out/fall-1s.scn");
  EXPECT_TRUE(Has(saved, "Tarvex1:Tarvex\n  STATUS Flying\n  ALT 495.0")) << saved;
  EXPECT_TRUE(Has(saved, "  VEL 0 -9.")) << saved;
  // Flown on from the save at 1 s, the second second matches the first run's.
  Result on = Sim("out/fall-1s.scn --no-sound --duration 1 --csv out/fall-on.csv --quiet");
  ASSERT_EQ(on.code, 0) << on.err;
  std::istringstream a(Slurp("out/fall.csv")), b(Slurp("out/fall-on.csv"));
  std::string la, lb;
  std::vector<std::string> whole, resumed;
  while (std::getline(a, la)) whole.push_back(la);
  while (std::getline(b, lb)) resumed.push_back(lb);
  ASSERT_EQ(whole.size(), 122u);
  ASSERT_EQ(resumed.size(), 62u);
  auto alt = [](const std::string &row) { return std::atof(row.substr(row.find(',') + 1).c_str()); };
  EXPECT_NEAR(alt(resumed[1]), alt(whole[61]), 1e-3) << "starts where the save was made";
  // The host's state comes back whole; the module's own lines leave out a
  // little (the step's effective nozzle deflection), so allow a few cm.
  EXPECT_NEAR(alt(resumed[61]), alt(whole[121]), 0.05) << "and flies on the same way";
}

}  // namespace
