// One run of the flight host: reads the scenario and script, loads the
// module and the sound service, creates the vessels in the host's order of
// callbacks, flies them step by step with the physics, carries out the
// script's inputs, checks its expectations and writes the requested files.
#pragma once

#include <cstdio>
#include <string>

#include "sim/options.h"

namespace sim {

// Exit status of a run.
enum ExitCode { kPassed = 0, kExpectationFailed = 1, kBadInput = 2, kModuleFailed = 3, kOutputFailed = 4 };

// Flies the run the options describe. Normal output goes to `out`, problems
// to `err`.
int Fly(const Options &options, std::FILE *out, std::FILE *err);

}  // namespace sim
