// The host's scenario file as text: a description block, an environment
// block, a focus block, a ships block with one block per vessel ("NAME:CLASS",
// the host's lines and the vessel's own lines, "END"), and a script block of
// timed pilot inputs that the flight host reads. Reading reports every
// malformed line with its file and line number and what was expected;
// writing gives a file that reads back to the same content.
#pragma once

#include <string>
#include <vector>

#include "module/orbiter_api.h"

namespace host {

struct ScenarioProblem {
  std::string file;
  int line = 0;  // 1-based; 0 for the file as a whole
  std::string message;
  bool warning = false;      // said, but the run goes on
  std::string Text() const;  // "file:line: message", "file:line: warning: message"
};

struct ScenarioVesselBlock {
  std::string name, class_name;
  int line = 0;                    // line of "NAME:CLASS"
  std::vector<std::string> lines;  // as written, between the name line and "END"
  std::vector<int> line_numbers;   // the file's line number of each
};

struct ScenarioEnvironment {
  double mjd = 51544.5;
  double time_acceleration = 1;
  bool camera_internal = true;
  int cockpit_mode = COCKPIT_VIRTUAL;
  int hud_mode = HUD_SURFACE;
};

struct ScenarioScriptLine {
  int line = 0;
  std::string text;
};

struct ScenarioText {
  std::vector<std::string> description;
  ScenarioEnvironment environment;
  std::string focus;  // vessel in focus; empty: the first vessel
  std::vector<ScenarioVesselBlock> vessels;
  std::vector<ScenarioScriptLine> script;
};

// Reads a scenario from `text`; `file` names it in problems. True when no
// problem was found.
bool ParseScenarioText(const std::string &text, const std::string &file, ScenarioText &out,
                       std::vector<ScenarioProblem> &problems);

// Script lines of a separate script file: every line that is neither blank
// nor a comment (';' or '#'). A BEGIN_SCRIPT/END_SCRIPT pair around them is
// allowed.
std::vector<ScenarioScriptLine> ScriptFileLines(const std::string &text);

// The scenario as text (without its script block).
std::string FormatScenarioText(const ScenarioText &s);

// Whether a save agrees with the save made right after loading it, before
// any step: empty when it does, else the first difference. What only the
// next step restores is left out by design: the "ENG STAT2" line (loading
// stops the main engine's thrust), the hold lines (the step writes the hold
// numbers back), a nozzle line "0 0" (a deflection the step recomputes), and
// the status, height, attitude and motion of a vessel on the ground in either
// save (the host puts it on the touchdown points the module sets at load,
// whose strut extension no line carries). Numbers agree to 12 digits.
std::string SaveReloadDifference(const ScenarioText &saved, const ScenarioText &again);

// Names of the environment's choices, as written and read.
const char *CockpitModeName(int mode);
const char *HudModeName(int mode);
bool CockpitModeFromName(const std::string &name, int &mode);
bool HudModeFromName(const std::string &name, int &mode);

}  // namespace host
