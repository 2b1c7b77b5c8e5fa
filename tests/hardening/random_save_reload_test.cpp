// Random scenarios and scripts flown by tarvex-sim: fly, save, load, fly,
// save. Every save loads again without a problem, and the save made right
// after loading agrees with the one loaded (host::SaveReloadDifference says
// what only the next step restores).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "host/scenario_text.h"
#include "host/trace.h"
#include "tests/support/work_dir.h"

namespace {

namespace fs = std::filesystem;
using tarvex_test::ReadWholeFile;

int Sim(const std::string &args) {
  int status =
      std::system((std::string(TARVEX_SIM_PATH) + " " + args + " --no-sound --quiet >out.txt 2>err.txt").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A scenario a careless hand could write, inside every documented range,
// and a script of pilot inputs over its first `seconds`.
std::string RandomScenario(std::mt19937 &rng, double seconds) {
  auto pick = [&](std::initializer_list<const char *> v) {
    return std::string(*(v.begin() + std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)));
  };
  auto real = [&](double lo, double hi) { return host::Num(std::uniform_real_distribution<double>(lo, hi)(rng)); };
  auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
  std::string s = "BEGIN_ENVIRONMENT\n  TimeAcc " + pick({"1", "1", "5", "10", "1e-300", "100"}) + "\n  Camera " +
                  pick({"internal", "external"}) + "\nEND_ENVIRONMENT\nBEGIN_SHIPS\n";
  const int vessels = std::uniform_int_distribution<int>(1, 3)(rng);
  for (int v = 1; v <= vessels; ++v) {
    s += "T" + std::to_string(v) + ":Tarvex\n";
    if (chance(0.8)) s += "  STATUS " + pick({"Landed", "Flying"}) + "\n";
    if (chance(0.7)) s += "  ALT " + pick({"0", "-2.58", "1e-310", "3", "150", "19999"}) + "\n";
    if (chance(0.7)) s += "  AIRSPEED " + pick({"0", "4", "120", "160", "699"}) + "\n";
    for (const char *angle : {"PITCH", "BANK", "HEADING"})
      if (chance(0.5))
        s += std::string("  ") + angle + " " + (chance(0.3) ? pick({"5e-308", "-0", "1e-320"}) : real(-3, 3)) + "\n";
    if (chance(0.7)) s += "  FUEL " + real(0, 20000) + "\n";
    if (chance(0.5)) s += "  GEAR " + pick({"0", "1", "2"}) + " " + real(0, 1) + "\n";
    if (chance(0.5)) s += "  ENG STAT 1\n";
    if (chance(0.4)) s += "  ENG TURN " + pick({"0", "1", "2"}) + " " + real(0, 1.2) + "\n";
    for (const char *flag : {"REHEAT", "LIGHTS", "SPOT", "CAMERA", "NAVMODEALT", "NAVMODELVL", "NAVMODEROT"})
      if (chance(0.2)) s += std::string("  ") + flag + " 1\n";
    if (chance(0.3)) s += "  TRIM " + real(-1, 1) + "\n";
    s += "END\n";
  }
  s += "END_SHIPS\nBEGIN_SCRIPT\n";
  // An input ending in a blank takes a level 0..1, one ending in "-" a negative one.
  for (int i = std::uniform_int_distribution<int>(0, 12)(rng); i > 0; --i) {
    // clang-format off
    std::string in = pick({"key E", "key G", "key K", "key 9", "key 8", "key 0", "key 7", "key S", "key J", "key B",
                           "set main ", "set hover ", "set brake ", "set elevator -", "set rudder ", "set trim -",
                           "navmode HOLDALT on", "navmode HLEVEL off", "navmode KILLROT on", "timeacc 10", "timeacc 0.5"});
    // clang-format on
    if (in.back() == ' ' || in.back() == '-') in += real(0, 1);
    s += real(0, seconds) + " " + in + "\n";
  }
  return s + "END_SCRIPT\n";
}

host::ScenarioText Read(const std::string &path) {
  host::ScenarioText s;
  std::vector<host::ScenarioProblem> problems;
  EXPECT_TRUE(host::ParseScenarioText(ReadWholeFile(path), path, s, problems)) << path << ": " << problems[0].Text();
  return s;
}

// A few seeds in every run; the sanitizer run flies more
// (TARVEX_RANDOM_FLIGHT_SEEDS, a count).
TEST(RandomSaveReload, EverySaveLoadsAgainAndSavesTheSame) {
  fs::create_directories("save_reload");
  fs::current_path("save_reload");
  const char *count = std::getenv("TARVEX_RANDOM_FLIGHT_SEEDS");
  const int seeds = count ? std::max(1, std::atoi(count)) : 4;
  for (int seed = 1; seed <= seeds; ++seed) {
    std::mt19937 rng(seed);
    std::ofstream("in.scn") << RandomScenario(rng, 3);
    const int first = Sim("in.scn --duration 3 --save a.scn");
    ASSERT_TRUE(first == 0 || first == 1)
        << "seed " << seed << ": " << ReadWholeFile("err.txt") << ReadWholeFile("in.scn");
    ASSERT_EQ(Sim("a.scn --duration 0 --save b.scn"), 0) << "seed " << seed << ": the save loads\n"
                                                         << ReadWholeFile("err.txt");
    EXPECT_EQ(ReadWholeFile("err.txt"), "") << "seed " << seed << ": no warning either";
    EXPECT_EQ(host::SaveReloadDifference(Read("a.scn"), Read("b.scn")), "") << "seed " << seed << "\n"
                                                                            << ReadWholeFile("in.scn");
    ASSERT_EQ(Sim("b.scn --duration 2 --save c.scn"), 0) << "seed " << seed << ": flown on\n"
                                                         << ReadWholeFile("err.txt");
    ASSERT_EQ(Sim("c.scn --duration 0"), 0) << "seed " << seed << ": and saved again\n" << ReadWholeFile("err.txt");
  }
}

}  // namespace
