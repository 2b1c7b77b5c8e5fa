#include "sim/guards.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sim/files.h"

namespace sim {

namespace {

std::string Rough(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", x);
  return buf;
}

}  // namespace

std::string Printable(const std::string &text) {
  std::string out;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7f) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02x", c);
      out += buf;
    } else {
      out += (char)c;
    }
  return out;
}

bool ReadInputFile(const std::string &path, std::string &text, std::string &error) {
  if (KindOf(path) == FileKind::Folder) return error = path + " is a folder, not a file", false;
  errno = 0;
  std::FILE *in = std::fopen(path.c_str(), "rb");
  if (!in) return error = "cannot read " + path + ": " + std::strerror(errno ? errno : ENOENT), false;
  // Read in pieces so that an endless source (/dev/zero) stops at the cap.
  text.clear();
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0) {
    text.append(buf, n);
    if (text.size() > kMaxInputBytes) {
      std::fclose(in);
      return error = "cannot read " + path + ": larger than " + std::to_string(kMaxInputBytes >> 20) +
                     " MiB, too large for a scenario or script",
             false;
    }
  }
  const int failure = std::ferror(in) ? (errno ? errno : EIO) : 0;
  std::fclose(in);
  if (failure) return error = "cannot read " + path + ": " + std::strerror(failure), false;
  // A byte-order mark, as some editors write at the start of UTF-8 text.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
  return true;
}

void PrintProblems(std::FILE *err, const std::vector<host::ScenarioProblem> &problems) {
  // In file and line order, each file's as found; sorted by reference, so a
  // million problems cost no copies.
  std::vector<const host::ScenarioProblem *> order;
  order.reserve(problems.size());
  for (const auto &p : problems) order.push_back(&p);
  std::stable_sort(order.begin(), order.end(), [](const host::ScenarioProblem *a, const host::ScenarioProblem *b) {
    return a->file != b->file ? a->file < b->file : a->line < b->line;
  });
  const size_t shown = std::min(order.size(), kProblemsShown);
  for (size_t i = 0; i < shown; ++i) std::fprintf(err, "tarvex-sim: %s\n", Printable(order[i]->Text()).c_str());
  if (order.size() > shown) std::fprintf(err, "tarvex-sim: ... and %lu more\n", (unsigned long)(order.size() - shown));
}

double EffectiveStep(double dt, double acc) {
  if (!(acc > 0) || !std::isfinite(acc)) acc = 1;
  return std::max(dt * std::min(acc, kMaxTimeAcceleration), kMinStep);
}

namespace {

// The step a run is estimated at: the factor as the module flies it.
double EstimatedStep(double dt, double acc) {
  return EffectiveStep(dt, acc > kModuleTimeAccelerationCap ? kModuleTimeAccelerationCap : acc);
}

// Steps from the start to each event's time, in one pass over the events.
class StepCounter {
 public:
  StepCounter(double dt, double acc) : dt_(dt), acc_(acc) {}
  // Steps to reach `until` (no earlier than the last event counted).
  double To(double until) const { return steps_ + std::max(0.0, until - t_) / EstimatedStep(dt_, acc_); }
  // Passes an event: a timeacc line changes the factor from its time on.
  void Pass(const ScriptEvent &ev) {
    if (ev.command != Command::TimeAcc) return;
    steps_ = To(ev.time), t_ = ev.time, acc_ = ev.value;
  }

 private:
  double dt_, acc_, steps_ = 0, t_ = 0;
};

}  // namespace

double StepsToReach(double until, double dt, double acc, const std::vector<ScriptEvent> &events) {
  StepCounter count(dt, acc);
  for (const ScriptEvent &ev : events) {
    if (ev.timing != Timing::At) continue;  // a `when` may change it too, at a time nobody knows
    if (ev.time >= until) break;
    count.Pass(ev);
  }
  return count.To(until);
}

void CheckOutputs(const Options &o, const std::vector<ScriptEvent> &events, double duration, double time_acceleration,
                  std::vector<host::ScenarioProblem> &problems) {
  const size_t before = problems.size();
  // Every file the run reads, loads or writes from the command line, by the
  // file it names (another spelling of one file is that file).
  struct Target {
    std::string path, identity, what;
  };
  std::vector<Target> taken;
  auto add = [&](const std::string &path, const std::string &what) {
    if (!path.empty()) taken.push_back(Target{path, PathIdentity(path), what});
  };
  add(o.scenario, o.scenario + ", which this run reads");
  add(o.script, o.script + ", which this run reads");
  add(o.module, "the module this run loads");
  if (!o.no_sound) add(o.sound, "the sound service this run loads");
  add(kSoundLog, "the sound log the module writes");
  // The module's sound connector appends to its log in the current folder:
  // a pipe of that name would hold the run for good.
  if (IsPipe(kSoundLog))
    problems.push_back(host::ScenarioProblem{
        kSoundLog, 0, "is a pipe, where the module's sound connector would wait for good; remove it"});
  auto clash = [&](const std::string &path, size_t upto) -> std::string {
    const std::string identity = PathIdentity(path);
    for (size_t i = 0; i < upto; ++i)
      if (taken[i].identity == identity || SameFile(path, taken[i].path)) return taken[i].what;
    return std::string();
  };
  static const std::string standard_output;  // "--csv -" writes no file
  struct Named {
    const char *option;
    const std::string &path;
  } outputs[] = {{"--csv", o.csv == "-" ? standard_output : o.csv},
                 {"--plot", o.plot},
                 {"--trace", o.trace},
                 {"--save", o.save},
                 {"--report", o.report}};
  for (const Named &out : outputs) {
    if (out.path.empty()) continue;
    std::string why = clash(out.path, taken.size());
    if (NameOf(out.path).empty()) why = "a folder (the path ends in a separator), not a file";
    if (!why.empty())
      problems.push_back(host::ScenarioProblem{std::string(out.option) + " " + out.path, 0, "refused: it is " + why});
    add(out.path, std::string("the file ") + out.option + " writes");
  }
  StepCounter count(o.dt, time_acceleration);
  size_t written = 0;  // script outputs; those past kMaxScriptOutputs are refused as too many
  for (auto &ev : events) {
    if ((ev.command == Command::Save || ev.command == Command::HudFrame) && ++written <= kMaxScriptOutputs) {
      const bool save = ev.command == Command::Save;
      std::string why = ScriptSaveProblem(ev.name, save ? ".scn" : ".svg");
      if (why.empty() && !(why = clash(ev.name, taken.size())).empty()) why = "it is " + why;
      if (!why.empty())
        problems.push_back(host::ScenarioProblem{ev.file, ev.line,
                                                 (save ? "save to " : "hudframe to ") + ev.name + " refused: " + why});
    }
    // Conditions and checks of the whole run have no time of their own.
    if (ev.timing != Timing::At && ev.timing != Timing::During) continue;
    const double at = ev.timing == Timing::During ? ev.until : ev.time;
    const double steps = count.To(at);
    count.Pass(ev);
    if (steps > (double)o.max_steps)
      problems.push_back(host::ScenarioProblem{ev.file, ev.line,
                                               "time " + Rough(at) + " s is out of reach: it needs about " +
                                                   Rough(steps) + " steps, more than the cap of " +
                                                   std::to_string(o.max_steps) + " (--max-steps)"});
  }
  const double steps = StepsToReach(duration, o.dt, time_acceleration, events);
  if (steps > (double)o.max_steps && problems.size() == before)
    problems.push_back(host::ScenarioProblem{o.duration >= 0 ? "--duration" : "the run", 0,
                                             Rough(duration) + " s need about " + Rough(steps) +
                                                 " steps, more than the cap of " + std::to_string(o.max_steps) +
                                                 " (--max-steps)"});
}

std::string ScriptSaveProblem(const std::string &path, const char *extension) {
  // The system calls see a name only up to a NUL, so every byte is looked
  // at here: a name with a control character in it is refused whole.
  for (unsigned char c : path)
    if (c < 0x20 || c == 0x7f) return "a name with a control character in it (shown as \\xNN)";
  if (IsAbsolutePath(path) || path[0] == '\\')
    return "an absolute path; a script saves inside the output folder (the current folder) only";
  if (path[0] == '~')
    return "a path from a home folder; a script saves inside the output folder (the current folder) only";
  for (size_t start = 0; start <= path.size();) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (path.compare(start, end - start, "..") == 0)
      return "a path with \"..\"; a script saves inside the output folder (the current folder) only";
    start = end + 1;
  }
  // The extension starts at the name's last dot, unless that dot begins it (".scn").
  const std::string name = NameOf(path);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || name.compare(dot, std::string::npos, extension) != 0)
    return std::string("a script writes only files ending in \"") + extension + "\" here";
  return std::string();
}

bool PrepareScriptSave(const std::string &path, std::string &error) {
  const FileKind kind = LinkKindOf(path);
  if (kind != FileKind::Missing && kind != FileKind::Plain)
    return error = "cannot save " + path + ": it is there and is not a plain file", false;
  std::string root, reason;
  if (!RealPath(".", root, reason))
    return error = "cannot save " + path + ": the output folder cannot be read: " + reason, false;
  // The deepest folder of the path that exists must lie inside the output folder.
  const std::string folder = ParentOf(path);
  std::string existing = folder;
  while (!existing.empty() && KindOf(existing) == FileKind::Missing) existing = ParentOf(existing);
  std::string real;
  if (!RealPath(existing.empty() ? "." : existing, real, reason))
    return error = "cannot save " + path + ": " + reason, false;
  if (!IsInside(real, root))
    return error = "cannot save " + path + ": its folder lies outside the output folder", false;
  if (KindOf(folder) == FileKind::Missing && !MakeFolders(folder, reason))
    return error = "cannot save " + path + ": cannot make its folder: " + reason, false;
  return true;
}

std::string NonFiniteLine(const host::ScenarioText &s) {
  if (!std::isfinite(s.environment.mjd)) return "Date MJD " + std::to_string(s.environment.mjd);
  if (!std::isfinite(s.environment.time_acceleration))
    return "TimeAcc " + std::to_string(s.environment.time_acceleration);
  for (const auto &v : s.vessels)
    for (const std::string &line : v.lines) {
      const char *const space = " \t\n\v\f\r";
      for (size_t start = line.find_first_not_of(space); start != std::string::npos;) {
        const size_t end = line.find_first_of(space, start);
        const std::string word = line.substr(start, end - start);
        char *rest;
        const double d = std::strtod(word.c_str(), &rest);
        if (rest != word.c_str() && *rest == 0 && !std::isfinite(d))
          return v.name + ": " + line.substr(line.find_first_not_of(' '));
        start = line.find_first_not_of(space, end);
      }
    }
  return std::string();
}

}  // namespace sim
