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

// Names of the environment's choices, as written and read.
const char *CockpitModeName(int mode);
const char *HudModeName(int mode);
bool CockpitModeFromName(const std::string &name, int &mode);
bool HudModeFromName(const std::string &name, int &mode);

}  // namespace host
