#include "sim/options.h"

#include <cmath>
#include <cstdlib>
#include <iterator>

#include "host/scenario_lines.h"
#include "sim/lists.h"

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
    // "--option=value" is "--option value".
    std::string a = args[i], given;
    bool inline_value = false;
    size_t eq = a.find('=');
    if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
      given = a.substr(eq + 1), a = a.substr(0, eq), inline_value = true;
    }
    auto value = [&](std::string &out) {
      if (inline_value) {
        if (given.empty()) return error = "option " + a + " needs a value", false;
        out = given, inline_value = false;
        return true;
      }
      if (i + 1 >= args.size() || args[i + 1].empty()) return error = "option " + a + " needs a value", false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--list") {
      // The list's name is optional: alone, --list names the lists.
      o.list_wanted = true;
      if (inline_value)
        o.list = given, inline_value = false;
      else if (i + 1 < args.size() && !ListText(args[i + 1]).empty())
        o.list = args[++i];
      if (ListText(o.list).empty())
        return error = "--list needs one of " + std::string(ListNames()) + ", not " + o.list, false;
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
      o.sound_given = true;
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
    } else if (a == "--csv-every") {
      if (!value(v)) return false;
      char *end;
      long n = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end || n < 1)
        return error = "--csv-every needs a whole number of steps, 1 or more, not " + v, false;
      o.csv_every = n;
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
      if (a.compare(0, 2, "--") == 0) {
        static const char *known[] = {"--help",      "--version",   "--list",      "--script",   "--duration",
                                      "--dt",        "--module",    "--sound",     "--no-sound", "--save",
                                      "--csv",       "--csv-every", "--plot",      "--trace",    "--report",
                                      "--hud-every", "--every",     "--max-steps", "--quiet"};
        return error = "unknown option " + a +
                       host::DidYouMean(a, std::vector<std::string>(std::begin(known), std::end(known))) +
                       " (see --help)",
               false;
      }
      return error = "unknown option " + a + " (see --help)", false;
    } else if (o.scenario.empty()) {
      o.scenario = a;
    } else {
      return error = "only one scenario file can be flown, got " + o.scenario + " and " + a, false;
    }
    if (inline_value) return error = "option " + a + " takes no value, got " + args[i], false;
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
         "  --csv FILE        telemetry, a row per step with a header (- for standard\n"
         "                    output; with several vessels, every vessel's columns)\n"
         "  --plot FILE.svg   chart of the flight\n"
         "  --trace FILE      the module's host calls, one per line with the step number\n"
         "  --report FILE.html  the flight report: summary, chart, HUD frames on a time\n"
         "                    slider with the state, events and expectations, in one page\n"
         "  --hud-every S     seconds between the report's HUD frames (default 1)\n"
         "  --every N         telemetry table row every N steps (default 300)\n"
         "  --max-steps N     stop a run that reaches N steps (default 10000000)\n"
         "  --quiet           no table and no summary, only problems and the files written\n"
         "  --csv-every N     a CSV row every N steps (default 1; the first row always)\n"
         "  --list [LIST]     print a list and exit: keys, columns, lines or sounds\n"
         "  --version         the version of tarvex-sim and of the module\n"
         "  --help            this text\n"
         "\n"
         "Options take their value as --option VALUE or --option=VALUE. The scenario\n"
         "and script language: docs/scenarios.md, and --list.\n"
         "Every file is written whole or not at all: a failure keeps the previous file.\n"
         "\n"
         "Exit status: 0 when every expectation holds, 1 when one fails, 2 for bad\n"
         "input (options, scenario or script) or a run stopped at the step cap, 3 when\n"
         "the module cannot be loaded, 4 when a file cannot be written, 128 + N when\n"
         "signal N stopped the run (its outputs are written for the flight so far).\n";
}

}  // namespace sim
