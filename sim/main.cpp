// tarvex-sim: the headless flight host. Flies a scenario file with the
// vessel module, simple physics, a script of pilot inputs and expectations,
// and writes telemetry, a chart, a call trace and saved scenarios on request.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/flight.h"
#include "sim/options.h"

int main(int argc, char **argv) {
  sim::Options o;
  o.module = TARVEX_DEFAULT_MODULE;
  o.sound = TARVEX_DEFAULT_SOUND;
  std::string error;
  if (!sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), o, error)) {
    std::fprintf(stderr, "tarvex-sim: %s\n", error.c_str());
    return sim::kBadInput;
  }
  if (o.version) {
    std::printf("tarvex-sim %s\n", TARVEX_VERSION);
    return 0;
  }
  if (o.help) {
    std::fputs(sim::HelpText().c_str(), stdout);
    return 0;
  }
  return sim::Fly(o, stdout, stderr);
}
