#include "sim/options.h"

#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

bool Real(const std::string &s, double &out) {
  char *end;
  double v = std::strtod(s.c_str(), &end);
  if (s.empty() || *end || !std::isfinite(v)) return false;
  out = v;
  return true;
}

}  // namespace

bool ParseOptions(const std::vector<std::string> &args, Options &o, std::string &error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    auto value = [&](std::string &out) {
      if (i + 1 >= args.size() || args[i + 1].empty()) return error = "option " + a + " needs a value", false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--script") {
      if (!value(o.script)) return false;
    } else if (a == "--duration") {
      if (!value(v)) return false;
      if (!Real(v, o.duration) || o.duration < 0) return error = "--duration needs seconds, 0 or more, not " + v, false;
    } else if (a == "--dt") {
      if (!value(v)) return false;
      if (!Real(v, o.dt) || !(o.dt >= 1e-4) || o.dt > 1)
        return error = "--dt needs a step from 0.0001 to 1 s, not " + v, false;
    } else if (a == "--module") {
      if (!value(o.module)) return false;
    } else if (a == "--sound") {
      if (!value(o.sound)) return false;
    } else if (a == "--no-sound") {
      o.no_sound = true;
    } else if (a == "--save") {
      if (!value(o.save)) return false;
    } else if (a == "--csv") {
      if (!value(o.csv)) return false;
    } else if (a == "--plot") {
      if (!value(o.plot)) return false;
    } else if (a == "--trace") {
      if (!value(o.trace)) return false;
    } else if (a == "--report") {
      if (!value(o.report)) return false;
    } else if (a == "--hud-every") {
      if (!value(v)) return false;
      if (!Real(v, o.hud_every) || !(o.hud_every >= 0.01))
        return error = "--hud-every needs seconds, 0.01 or more, not " + v, false;
    } else if (a == "--every") {
      if (!value(v)) return false;
      char *end;
      long n = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || n < 1)
        return error = "--every needs a whole number of steps, 1 or more, not " + v, false;
      o.every = n;
    } else if (a == "--max-steps") {
      if (!value(v)) return false;
      char *end;
#if defined(_WIN32)
      long long n = _strtoi64(v.c_str(), &end, 10);  // msvcrt.dll has no strtoll
#else
      long long n = std::strtoll(v.c_str(), &end, 10);
#endif
      if (v.empty() || *end || n < 1 || n > 1000000000000LL)
        return error = "--max-steps needs a whole number of steps, 1 or more, not " + v, false;
      o.max_steps = (long)n;
    } else if (a == "--quiet" || a == "-q") {
      o.quiet = true;
    } else if (!a.empty() && a[0] == '-') {
      return error = "unknown option " + a + " (see --help)", false;
    } else if (o.scenario.empty()) {
      o.scenario = a;
    } else {
      return error = "only one scenario file can be flown, got " + o.scenario + " and " + a, false;
    }
  }
  return true;
}

std::string HelpText() {
  return "usage: tarvex-sim [SCENARIO] [options]\n"
         "\n"
         "Flies the Tarvex vessel module headless: loads the module and the sound\n"
         "service, creates the scenario's vessels, runs the flight step with simple\n"
         "physics and the script's timed pilot inputs, and checks its expectations.\n"
         "\n"
         "  SCENARIO          scenario file (without one: a single vessel on the ground)\n"
         "  --script FILE     script of timed inputs and expectations (adds to the\n"
         "                    scenario's BEGIN_SCRIPT block)\n"
         "  --duration S      simulated seconds to fly (default: 1 s past the last\n"
         "                    script line, 10 s without a script)\n"
         "  --dt S            step length in seconds, 0.0001 to 1, scaled by time acceleration\n"
         "                    (default 1/60; the scaled step is never below 0.0001 s)\n"
         "  --module PATH     vessel module to load (default: the built libTarvex.so)\n"
         "  --sound PATH      sound service to load (default: the built OrbiterSound.dll)\n"
         "  --no-sound        fly without the sound service\n"
         "  --save FILE       save the scenario at the end of the run (a script's saves\n"
         "                    must name .scn files inside the current folder)\n"
         "  --csv FILE        one row of telemetry per step, with a header\n"
         "  --plot FILE.svg   chart of the flight\n"
         "  --trace FILE      the module's host calls, one per line with the step number\n"
         "  --report FILE.html  the flight report: summary, chart, HUD frames on a time\n"
         "                    slider with the state, events and expectations, in one page\n"
         "  --hud-every S     seconds between the report's HUD frames (default 1)\n"
         "  --every N         telemetry table row every N steps (default 300)\n"
         "  --max-steps N     stop a run that reaches N steps (default 10000000)\n"
         "  --quiet           no table and no summary, only problems and the files written\n"
         "  --help            this text\n"
         "  --version         the version, as in the package's name\n"
         "\n"
         "Every file is written whole or not at all: a failure keeps the previous file.\n"
         "\n"
         "Exit status: 0 when every expectation holds, 1 when one fails, 2 for bad\n"
         "input (options, scenario or script) or a run stopped at the step cap, 3 when\n"
         "the module cannot be loaded, 4 when a file cannot be written.\n";
}

}  // namespace sim
