// The flight host's whole path on arbitrary bytes: the scenario is read and
// checked, the module loaded and the vessels created from it, a few hundred
// steps flown with its script, the scenario saved; the save loaded and saved
// again at once must agree with it, and flown again it must load. Files go to a folder of the fuzzer's own, emptied
// after every input.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "host/scenario_text.h"
#include "host/world.h"
#include "sim/flight.h"

namespace {

namespace fs = std::filesystem;

host::ScenarioText Read(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  host::ScenarioText s;
  std::vector<host::ScenarioProblem> problems;
  if (!host::ParseScenarioText(text, path, s, problems)) {
    std::fprintf(stderr, "%s does not read: %s\n", path.c_str(), problems[0].Text().c_str());
    std::abort();
  }
  return s;
}

int Fly(const std::string &scenario, const std::string &save, std::FILE *sink, double duration = 5) {
  host::ResetWorld();
  sim::Options o;
  o.module = TARVEX_FUZZ_MODULE;
  o.no_sound = true;
  o.quiet = true;
  o.scenario = scenario;
  o.save = save;
  o.duration = duration;  // 300 steps at the default step
  o.max_steps = 3000;     // and never more, whatever time acceleration the script sets
  return sim::Fly(o, sink, sink);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static const fs::path dir = [] {
    fs::path d = fs::temp_directory_path() / ("tarvex-fuzz-flight-" + std::to_string((long)getpid()));
    fs::create_directories(d);
    return d;
  }();
  // The script's saves land in the run's folder; the fuzzer's own paths are
  // relative to where it was started.
  const fs::path home = fs::current_path();
  fs::current_path(dir);
  static std::FILE *sink = std::fopen("/dev/null", "w");
  std::ofstream(dir / "in.scn", std::ios::binary).write(reinterpret_cast<const char *>(data), (std::streamsize)size);
  int first = Fly("in.scn", "end.scn", sink);
  if (first != sim::kBadInput && fs::exists(dir / "end.scn")) {
    // Loaded and saved again before any step, the save agrees with itself.
    if (Fly("end.scn", "same.scn", sink, 0) != sim::kPassed) {
      std::fprintf(stderr, "a saved scenario did not load again\n");
      std::abort();
    }
    const std::string differs = host::SaveReloadDifference(Read("end.scn"), Read("same.scn"));
    if (!differs.empty()) {
      std::fprintf(stderr, "a reloaded save differs: %s\n", differs.c_str());
      std::abort();
    }
    int again = Fly("end.scn", "again.scn", sink);
    if (again == sim::kBadInput || again == sim::kModuleFailed) {
      std::fprintf(stderr, "a saved scenario did not fly again (exit status %d)\n", again);
      std::abort();
    }
  }
  std::error_code ec;
  for (auto &e : fs::directory_iterator(dir, ec)) fs::remove_all(e.path(), ec);
  fs::current_path(home);
  return 0;
}
