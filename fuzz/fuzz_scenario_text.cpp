// Feeds arbitrary bytes to the flight host's readers as a whole scenario file
// and a script: the bytes before the first line "%%" are the scenario, the
// rest the script file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/scenario_text.h"
#include "sim/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string text(reinterpret_cast<const char *>(data), size);
  std::string scenario = text, script;
  size_t cut = text.find("\n%%\n");
  if (cut != std::string::npos) {
    scenario = text.substr(0, cut + 1);
    script = text.substr(cut + 4);
  }
  host::ScenarioText parsed;
  std::vector<host::ScenarioProblem> problems;
  host::ParseScenarioText(scenario, "fuzz.scn", parsed, problems);
  for (auto &p : problems) p.Text();
  // A scenario that reads back is written out and read again.
  if (problems.empty()) {
    host::ScenarioText again;
    host::ParseScenarioText(host::FormatScenarioText(parsed), "again.scn", again, problems);
  }
  std::vector<host::ScenarioScriptLine> lines = parsed.script;
  for (auto &l : host::ScriptFileLines(script)) lines.push_back(l);
  std::vector<sim::ScriptEvent> events;
  sim::ParseScript(lines, "fuzz.script", events, problems);
  return 0;
}
