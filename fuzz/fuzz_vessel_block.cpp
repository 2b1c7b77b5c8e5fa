// Feeds arbitrary bytes to the module's scenario load as one vessel's block
// (split into lines at newlines), then flies a few steps and saves, all
// through the stand-in host.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/harness.h"
#include "module/exports.h"
#include "module/state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  host::ResetWorld();
  host::world().trace.enabled = false;
  ResetStateRecord();

  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(data[i]));
    }
  }
  if (!line.empty()) lines.push_back(line);

  host::ModuleApi api;
  api.ovcInit = &ovcInit;
  api.ovcExit = &ovcExit;
  host::HostVessel &hv = host::AddVessel("Fuzz");
  if (!host::CreateVessel(api, hv)) return 0;
  host::SetUpVessel(hv, lines);
  hv.airspeed = 40;
  hv.altitude = 50;
  for (int i = 0; i < 3; ++i) host::Step(hv);
  host::Save(hv);
  host::DestroyVessel(api, hv);
  return 0;
}
