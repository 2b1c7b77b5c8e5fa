// Command-line options of tarvex-sim.
#include "sim/options.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/fixture.h"

namespace {

TEST(Options, ReadsEveryOption) {
  sim::Options o;
  std::string error;
  ASSERT_TRUE(sim::ParseOptions({"a.scn",    "--script", "s.txt",      "--duration", "12.5",    "--dt",  "0.01",
                                 "--module", "m.so",     "--no-sound", "--save",     "o.scn",   "--csv", "o.csv",
                                 "--plot",   "o.svg",    "--trace",    "t.txt",      "--every", "7",     "--quiet"},
                                o, error))
      << error;
  EXPECT_EQ(std::make_tuple(o.scenario, o.script, o.duration, o.dt, o.module, o.save, o.csv, o.plot, o.trace, o.every),
            std::make_tuple(std::string("a.scn"), std::string("s.txt"), 12.5, 0.01, std::string("m.so"),
                            std::string("o.scn"), std::string("o.csv"), std::string("o.svg"), std::string("t.txt"), 7));
  EXPECT_ALL(o.no_sound, o.quiet, !o.help, !o.sound_given);
  sim::Options eq;
  ASSERT_TRUE(sim::ParseOptions({"--csv=-", "--csv-every=10", "--sound=s.dll", "--list"}, eq, error)) << error;
  EXPECT_EQ(std::make_tuple(eq.csv, eq.csv_every, eq.sound, eq.sound_given, eq.list_wanted, eq.list),
            std::make_tuple(std::string("-"), 10L, std::string("s.dll"), true, true, std::string("")))
      << "--option=value as --option value; --list alone names the lists";
  ASSERT_TRUE(sim::ParseOptions({"--list", "sounds", "a.scn"}, eq, error)) << error;
  EXPECT_EQ(eq.list + " " + eq.scenario, "sounds a.scn");
}

TEST(Options, RefusesWhatItCannotUse) {
  struct Row {
    std::vector<std::string> args;
    const char *error;
  } rows[] = {
      {{"--fly"}, "unknown option --fly"},
      {{"--csv"}, "option --csv needs a value"},
      {{"--dt", "0"}, "--dt needs a step from 0.0001 to 1 s"},
      {{"--dt", "0.0000999"}, "--dt needs a step from 0.0001 to 1 s"},
      {{"--dt", "1.0000001"}, "--dt needs a step from 0.0001 to 1 s"},
      {{"--max-steps", "0"}, "--max-steps needs a whole number"},
      {{"--max-steps", "1000000000001"}, "--max-steps needs a whole number"},
      {{"--duration", "-1"}, "--duration needs seconds"},
      {{"--every", "0"}, "--every needs a whole number"},
      {{"--hud-every", "0"}, "--hud-every needs seconds, 0.01 or more"},
      {{"--every", "1.5"}, "--every needs a whole number"},
      {{"a.scn", "b.scn"}, "only one scenario file"},
      {{"--duraton", "5"}, "unknown option --duraton (did you mean --duration?)"},
      {{"--csv="}, "option --csv needs a value"},
      {{"--quiet=yes"}, "option --quiet takes no value, got --quiet=yes"},
      {{"--list=planes"}, "--list needs one of keys, columns, lines, sounds, not planes"},
      {{"--csv-every", "0"}, "--csv-every needs a whole number of steps, 1 or more, not 0"},
  };
  for (const Row &r : rows) {
    sim::Options o;
    std::string error;
    EXPECT_FALSE(sim::ParseOptions(r.args, o, error)) << r.error;
    EXPECT_NE(error.find(r.error), std::string::npos) << error;
  }
}

}  // namespace
