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
// What one run takes at most, far beyond any real use, so that the checks
// before flying and the flight's memory stay bounded: vessels in a
// scenario, script lines (the scenario's and the script file's together),
// and the files a script writes (saves and HUD frames).
const size_t kMaxVessels = 1000;
const size_t kMaxScriptLines = 100000;
const size_t kMaxScriptOutputs = 1000;
// The time acceleration the module flies at most: it brings the host's
// factor down to this in every step, so a run is estimated at it.
const double kModuleTimeAccelerationCap = 10;
// Problems printed before the rest are only counted.
const size_t kProblemsShown = 20;
// The shortest effective step (dt x time acceleration), in seconds, and the
// highest time acceleration the host flies at.
const double kMinStep = 1e-4;
const double kMaxTimeAcceleration = 10000;

// The log the module's sound connector writes in the current folder.
const char *const kSoundLog = "OrbiterSound_Log.txt";

// `text` with every control character written as "\xNN", so that a message
// quoting hostile input shows it whole (a NUL would end it) and cannot move
// the terminal's cursor.
std::string Printable(const std::string &text);

// Reads a whole input file of at most kMaxInputBytes.
bool ReadInputFile(const std::string &path, std::string &text, std::string &error);

// Prints the problems in file and line order, at most kProblemsShown of
// them, then how many more.
void PrintProblems(std::FILE *err, const std::vector<host::ScenarioProblem> &problems);

// The step the physics takes for a step length and a time acceleration: an
// unusable factor flies at 1, the factor is capped at kMaxTimeAcceleration,
// and the step is never shorter than kMinStep.
double EffectiveStep(double dt, double time_acceleration);

// Steps needed to reach `until` seconds, starting at `time_acceleration` and
// following the script's timeacc lines (events sorted by time), each factor
// taken as the module flies it (at most kModuleTimeAccelerationCap).
double StepsToReach(double until, double dt, double time_acceleration, const std::vector<ScriptEvent> &events);

// Before anything flies: no output may be the scenario or script being read,
// the module or sound service loaded, the sound log or another output (by
// the file it names, however spelled), script saves and HUD frames stay
// inside the output folder, and every script time and the end of the run (`duration` s) lie
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
