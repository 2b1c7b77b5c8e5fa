// Feeds arbitrary bytes to the flight host's readers of outside text: the
// scenario file, its script block, and each vessel block's host lines, then
// places every vessel and flies its body a few steps without a module.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/harness.h"
#include "host/host_lines.h"
#include "host/physics.h"
#include "host/scenario_text.h"
#include "sim/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  host::ResetWorld();
  host::world().trace.enabled = false;
  std::string text(reinterpret_cast<const char *>(data), size);
  host::ScenarioText scn;
  std::vector<host::ScenarioProblem> problems;
  host::ParseScenarioText(text, "fuzz.scn", scn, problems);
  std::vector<sim::ScriptEvent> events;
  sim::ParseScript(scn.script, "fuzz.scn", events, problems);
  sim::ParseScript(host::ScriptFileLines(text), "fuzz.script", events, problems);
  for (auto &p : problems) (void)p.Text();
  (void)host::FormatScenarioText(scn);
  for (auto &block : scn.vessels) {
    host::HostVessel &hv = host::AddVessel(block.name, block.class_name);
    hv.empty_mass = 1000;
    for (auto &line : block.lines) host::ParseHostLine(hv, line.c_str());
    host::PlaceBody(hv);
    for (int i = 0; i < 3; ++i) host::PhysicsStep(hv, 1.0 / 60);
    (void)host::HostLines(hv);
  }
  return 0;
}
