// The flight host's guards against input that would lose files, write
// outside the output folder or never end: bounded reading of input files,
// a screenful of problems at most, the outputs checked before anything
// flies, the places a script may save to, the effective step and the steps
// a run needs, and a check that a saved scenario holds only finite numbers.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/scenario_text.h"
#include "sim/options.h"
#include "sim/script.h"

namespace sim {

// Input files (scenario, script) larger than this are refused.
const size_t kMaxInputBytes = 4u << 20;
// Problems printed before the rest are only counted.
const size_t kProblemsShown = 20;
// The shortest effective step (dt x time acceleration), in seconds, and the
// highest time acceleration the host flies at.
const double kMinStep = 1e-4;
const double kMaxTimeAcceleration = 10000;

// `text` with every control character written as "\xNN", so that a message
// quoting hostile input shows it whole (a NUL would end it) and cannot move
// the terminal's cursor.
std::string Printable(const std::string &text);

// Reads a whole input file of at most kMaxInputBytes.
bool ReadInputFile(const std::string &path, std::string &text, std::string &error);

// Prints the problems, at most kProblemsShown of them, then how many more.
void PrintProblems(std::FILE *err, const std::vector<host::ScenarioProblem> &problems);

// The step the physics takes for a step length and a time acceleration: an
// unusable factor flies at 1, the factor is capped at kMaxTimeAcceleration,
// and the step is never shorter than kMinStep.
double EffectiveStep(double dt, double time_acceleration);

// Steps needed to reach `until` seconds, starting at `time_acceleration` and
// following the script's timeacc lines (events sorted by time).
double StepsToReach(double until, double dt, double time_acceleration, const std::vector<ScriptEvent> &events);

// Before anything flies: no output may be the scenario or script being read
// (or another output), script saves and HUD frames stay inside the output
// folder, and every script time and the end of the run (`duration` s) lie
// within the step cap. What is wrong is added to `problems`.
void CheckOutputs(const Options &o, const std::vector<ScriptEvent> &events, double duration, double time_acceleration,
                  std::vector<host::ScenarioProblem> &problems);

// A path a script writes to (a save, a HUD frame): relative, inside the output
// folder (the current folder), without "..", naming a file that ends in
// `extension` (".scn", ".svg"). Empty when allowed, else what is wrong.
std::string ScriptSaveProblem(const std::string &path, const char *extension);

// Before a script save: the target is not a link or anything but a plain
// file, its existing folders lie inside the output folder (links followed),
// and the missing ones are made there. False with `error` set otherwise.
bool PrepareScriptSave(const std::string &path, std::string &error);

// The first line of a scenario about to be saved that holds a number that is
// not finite ("inf", "nan"), or empty when there is none.
std::string NonFiniteLine(const host::ScenarioText &s);

}  // namespace sim
