// Command-line options of tarvex-sim.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct Options {
  std::string scenario;  // empty: fly the built-in scenario (one vessel on the ground)
  std::string script;
  double duration = -1;  // s; negative: one second past the last script line (10 s without a script)
  double dt = 1.0 / 60;
  std::string module;
  std::string sound;
  bool sound_given = false;  // --sound named it: it must load
  bool no_sound = false;
  std::string save, csv, plot, trace;
  std::string report;    // the flight report, one HTML page
  double hud_every = 1;  // s between the report's HUD frames
  long every = 300;
  long csv_every = 1;         // steps between CSV rows
  long max_steps = 10000000;  // the run stops here (with a message) unless it ended before
  bool quiet = false;
  bool help = false;
  bool version = false;
  bool list_wanted = false;
  std::string list;  // with list_wanted: the list to print; empty for the names of the lists
};

// Reads the arguments (without the program name). False with `error` set for
// an unknown option, a missing or bad value.
bool ParseOptions(const std::vector<std::string> &args, Options &o, std::string &error);

std::string HelpText();

}  // namespace sim
