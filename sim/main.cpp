// tarvex-sim: the headless flight host. Flies a scenario file with the
// vessel module, simple physics, a script of pilot inputs and expectations,
// and writes telemetry, a chart, a call trace and saved scenarios on request.
#include <cstdio>
#include <string>
#include <vector>

#include "host/harness.h"
#include "host/module_call.h"
#include "sim/flight.h"
#include "sim/lists.h"
#include "sim/options.h"

#ifndef TARVEX_VERSION
#define TARVEX_VERSION "unknown"
#endif

int main(int argc, char **argv) {
  // Whole lines reach a pipe in order with the problems on standard error.
  std::setvbuf(stdout, nullptr, _IOLBF, 1 << 12);
  sim::Options o;
  o.module = TARVEX_DEFAULT_MODULE;
  o.sound = TARVEX_DEFAULT_SOUND;
  std::string error;
  if (!sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), o, error)) {
    std::fprintf(stderr, "tarvex-sim: %s\n", error.c_str());
    return sim::kBadInput;
  }
  if (o.help) {
    std::fputs(sim::HelpText().c_str(), stdout);
    return 0;
  }
  if (o.list_wanted) {
    std::fputs(sim::ListText(o.list).c_str(), stdout);
    return 0;
  }
  if (o.version) {
    std::printf("tarvex-sim %s\n", TARVEX_VERSION);
    host::ModuleApi api;
    if (!host::LoadModule(o.module, api, error)) {
      std::fflush(stdout);
      std::fprintf(stderr, "tarvex-sim: %s\n", error.c_str());
      return sim::kModuleFailed;
    }
    const char *date = "(none)";
    int version = 0;
    {
      const host::ModuleCall in;
      if (api.ModuleDate) date = api.ModuleDate();
      if (api.GetModuleVersion) version = api.GetModuleVersion();
    }
    std::printf("module %s: ModuleDate \"%s\", GetModuleVersion %d\n", o.module.c_str(), date, version);
    return 0;
  }
  return sim::Fly(o, stdout, stderr);
}
