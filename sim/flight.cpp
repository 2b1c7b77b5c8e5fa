#include "sim/flight.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/harness.h"
#include "host/host_lines.h"
#include "host/module_call.h"
#include "host/physics.h"
#include "host/scenario_lines.h"
#include "host/scenario_text.h"
#include "sim/conditions.h"
#include "sim/files.h"
#include "sim/guards.h"
#include "sim/hud_frame.h"
#include "sim/hud_redraws.h"
#include "sim/output_file.h"
#include "sim/plot.h"
#include "sim/report.h"
#include "sim/script.h"
#include "sim/stop_signals.h"
#include "sim/telemetry.h"

namespace sim {

namespace {

const char *kBuiltInScenario =
    "BEGIN_DESC\n"
    "One Tarvex on the ground with part fuel, engine off.\n"
    "END_DESC\n"
    "BEGIN_SHIPS\n"
    "Tarvex1:Tarvex\n"
    "  STATUS Landed\n"
    "  HEADING 0\n"
    "  FUEL 10000\n"
    "END\n"
    "END_SHIPS\n";

// Whether a stream is a terminal.
#if defined(_WIN32)
bool Terminal(std::FILE *f) { return _isatty(_fileno(f)) != 0; }
#else
bool Terminal(std::FILE *f) { return isatty(fileno(f)) != 0; }
#endif

// A `set` line's control on the host's record of the vessel.
void Set(host::HostVessel &hv, SetTarget target, double level) {
  switch (target) {
    case SetTarget::Main:
      hv.SetGroupLevel(THGROUP_MAIN, level);
      break;
    case SetTarget::Hover:
      hv.SetGroupLevel(THGROUP_HOVER, level);
      break;
    case SetTarget::Elevator:
      hv.ctrl_level[AIRCTRL_ELEVATOR] = level;
      break;
    case SetTarget::Aileron:
      hv.ctrl_level[AIRCTRL_AILERON] = level;
      break;
    case SetTarget::Rudder:
      hv.ctrl_level[AIRCTRL_RUDDER] = level;
      break;
    case SetTarget::Trim:
      hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = level;
      break;
    case SetTarget::Forward:
      hv.body.pilot_linear[0] = level;
      break;
    case SetTarget::Back:
      hv.body.pilot_linear[1] = level;
      break;
    case SetTarget::Brake:
      hv.wheelbrake[0] = hv.wheelbrake[1] = level;
      break;
  }
}

// The level a `set` line's control is at now.
double Level(const host::HostVessel &hv, SetTarget target) {
  switch (target) {
    case SetTarget::Main:
      return hv.GroupLevel(THGROUP_MAIN);
    case SetTarget::Hover:
      return hv.GroupLevel(THGROUP_HOVER);
    case SetTarget::Elevator:
      return hv.ctrl_level[AIRCTRL_ELEVATOR];
    case SetTarget::Aileron:
      return hv.ctrl_level[AIRCTRL_AILERON];
    case SetTarget::Rudder:
      return hv.ctrl_level[AIRCTRL_RUDDER];
    case SetTarget::Trim:
      return hv.ctrl_level[AIRCTRL_ELEVATORTRIM];
    case SetTarget::Forward:
      return hv.body.pilot_linear[0];
    case SetTarget::Back:
      return hv.body.pilot_linear[1];
    case SetTarget::Brake:
      return hv.wheelbrake[0];
  }
  return 0;
}

// A control moving linearly to a level (`set ... over N`).
struct Ramp {
  host::HostVessel *hv;
  SetTarget target;
  double from, to, start, over;
};

// Inputs that take the HUD out of view.
bool MovesHud(const ScriptEvent &ev) {
  return ev.command == Command::Camera || ev.command == Command::Cockpit || ev.command == Command::Hud;
}

std::string Seconds(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", t);
  return buf;
}

// The vessel classes the flight host can fly: the class the module makes
// (the host's class file Config\Vessels\Tarvex.cfg names the module).
const char *const kVesselClass = "Tarvex";

class Run {
 public:
  Run(const Options &o, std::FILE *out, std::FILE *err, std::FILE *csv_out)
      : o_(o), out_(out), err_(err), csv_out_(csv_out) {}
  ~Run() {  // also when the run stops early, after a problem found in loading; newest first
    for (auto hv = vessels_.rbegin(); hv != vessels_.rend(); ++hv) host::DestroyVessel(api_, **hv);
  }
  Run(const Run &) = delete;
  Run &operator=(const Run &) = delete;
  int Go();

 private:
  bool Prepare();
  bool ReportProblems(const std::vector<host::ScenarioProblem> &problems);
  void CheckVessels(std::vector<host::ScenarioProblem> &problems);
  bool Load();
  void NoteHostLines(const host::ScenarioVesselBlock &b, const host::ScenarioFile &file, const host::HostVessel &hv,
                     std::vector<host::ScenarioProblem> &problems);
  bool OpenOutputs();
  void Commit(OutputFile &f, const std::string &path, const std::string &what);
  // A file written, named in the summary as `what`; or, when `ok` is false,
  // the `error` that kept it from being written, which fails the run.
  void Wrote(bool ok, const std::string &what, const std::string &error);
  void WriteFailed(const std::string &error);
  bool AtTime();
  void MoveRamps();
  bool React(std::vector<const Trigger *> &fired);
  void ReportReactions();
  std::string EndText() const;
  bool GoesOn();
  void Step();
  void ShowProgress();
  void FailUnreached();
  void WriteOutputs();
  void Apply(const ScriptEvent &ev);
  void Check(const ScriptEvent &ev);
  void Record(bool force_table);
  bool SaveScenario(const std::string &path, std::string &error);
  std::string SummaryText(int code) const;
  // The exit status the run ends with: a signal that stopped it (128 + its
  // number, as a shell reports a run the signal ended), a file not written,
  // a run stopped at the step cap, a failed expectation, in that order.
  int Verdict() const {
    return interrupted_     ? 128 + interrupted_
           : output_failed_ ? kOutputFailed
           : capped_        ? kBadInput
           : failed_        ? kExpectationFailed
                            : kPassed;
  }
  HudFrame HudFrameNow() { return hud_.Frame(*focus_, t_); }
  // Whether the report wants a HUD frame now (HudFrameNow redraws for it).
  bool HudFrameWanted() const { return report_ && report_->WantsHudFrame(t_); }
  void WriteReport();
  host::HostVessel *Vessel(const std::string &name);
  int SoundId(const host::HostVessel *hv) const;
  // The sound service's probes, or null when flying without it.
  const SoundProbes *Sound() const { return sound_ ? &sound_probes_ : nullptr; }
  void FlushTrace();
  void EnterVirtualCockpit();
  bool HudVisible() const;

  const Options &o_;
  std::FILE *out_, *err_;
  std::FILE *csv_out_;  // standard output, for --csv -
  bool CsvToStdout() const { return o_.csv == "-"; }
  // The CSV header: the columns, or with several vessels the time and every
  // vessel's columns under its name ("Tarvex2.alt").
  std::string CsvHeaderOf() const {
    if (vessels_.size() < 2) return CsvHeader();
    std::string h = ColumnNames()[0];
    for (auto *hv : vessels_)
      for (size_t i = 1; i < ColumnNames().size(); ++i) h += "," + hv->name + "." + ColumnNames()[i];
    return h;
  }
  host::ScenarioText scn_;
  std::string scn_name_;
  std::vector<ScriptEvent> events_;    // the timed lines, by time
  std::vector<ScriptEvent> reactive_;  // the others, in file order
  Reactions reactions_;
  std::vector<const Trigger *> fired_;  // the conditions fired at this step
  std::vector<Sample> samples_;         // each vessel's telemetry at this step, once a condition needs it
  std::vector<bool> measured_;
  std::vector<Ramp> ramps_;
  const Trigger *stopped_by_ = nullptr;
  double last_time_ = -1;  // the script's last time or interval end; -1 for none
  size_t next_event_ = 0;
  double duration_ = 10;
  host::ModuleApi api_;
  bool sound_ = false;
  SoundProbes sound_probes_;
  std::vector<host::HostVessel *> vessels_;
  std::unordered_map<std::string, size_t> by_name_;  // index in vessels_
  host::HostVessel *focus_ = nullptr;
  int focus_id_ = -1;
  HudRedraws hud_;
  std::unique_ptr<ReportRecorder> report_;
  double t_ = 0;
  long steps_ = 0;
  OutputFile csv_file_, trace_file_;
  std::FILE *csv_ = nullptr, *trace_ = nullptr;
  bool output_failed_ = false, capped_ = false, bad_host_lines_ = false;
  StopSignals stop_signals_;
  long long sound_log_before_ = -1;  // its size before the module loaded; -1: none
  int interrupted_ = 0;              // the signal that stopped the run, 0 for none
  double seg_t_ = 0, seg_dt_ = 0;    // time and step length where the current run of equal steps began
  long seg_steps_ = 0;
  PlotRecorder plot_;
  Sample sample_;      // the telemetry of the step, kept to reuse its storage
  Sample wide_, one_;  // a CSV row of several vessels, and one vessel's part of it
  CsvRowWriter csv_row_;
  std::vector<std::string> written_;
  int passed_ = 0, failed_ = 0;
  double max_alt_ = -1e300, max_speed_ = 0, fuel_start_ = 0;
  bool progress_ = false, progress_shown_ = false;  // on a terminal; shown once at least
  std::time_t started_ = 0, last_progress_ = 0;
};

host::HostVessel *Run::Vessel(const std::string &name) {
  if (name.empty()) return focus_;
  auto found = by_name_.find(name);
  return found == by_name_.end() ? nullptr : vessels_[found->second];
}

// The service hands out identifiers in the order vessels connect, and every
// vessel connects in its post-creation set-up, in the order of the ships block.
int Run::SoundId(const host::HostVessel *hv) const {
  if (hv == focus_) return focus_id_;
  for (size_t i = 0; i < vessels_.size(); ++i)
    if (vessels_[i] == hv) return (int)i;
  return -1;
}

bool Run::Prepare() {
  std::vector<host::ScenarioProblem> problems;
  std::string text, error;
  if (o_.scenario.empty()) {
    scn_name_ = "built-in scenario";
    text = kBuiltInScenario;
  } else {
    scn_name_ = o_.scenario;
    if (!ReadInputFile(o_.scenario, text, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
  }
  host::ParseScenarioText(text, scn_name_, scn_, problems);
  if (problems.empty() && scn_.vessels.empty())
    problems.push_back(host::ScenarioProblem{scn_name_, 0, "expected at least one vessel block in BEGIN_SHIPS"});
  std::vector<host::ScenarioScriptLine> file_lines;
  if (!o_.script.empty()) {
    std::string stext;
    if (!ReadInputFile(o_.script, stext, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
    file_lines = host::ScriptFileLines(stext);
  }
  if (scn_.vessels.size() > kMaxVessels)
    problems.push_back(host::ScenarioProblem{
        scn_name_, scn_.vessels[kMaxVessels].line,
        "more than " + std::to_string(kMaxVessels) + " vessels; the flight host flies at most that many"});
  // Too many script lines are refused before they are read.
  const size_t lines = scn_.script.size() + file_lines.size();
  if (lines > kMaxScriptLines) {
    const bool in_scenario = scn_.script.size() > kMaxScriptLines;
    problems.push_back(host::ScenarioProblem{
        in_scenario ? scn_name_ : o_.script,
        in_scenario ? scn_.script[kMaxScriptLines].line : file_lines[kMaxScriptLines - scn_.script.size()].line,
        "more than " + std::to_string(kMaxScriptLines) + " script lines; a run takes at most that many"});
  } else {
    ParseScript(scn_.script, scn_name_, events_, problems);
    std::vector<ScriptEvent> more;
    ParseScript(file_lines, o_.script, more, problems);
    events_.insert(events_.end(), more.begin(), more.end());
    std::stable_sort(events_.begin(), events_.end(),
                     [](const ScriptEvent &a, const ScriptEvent &b) { return a.time < b.time; });
  }
  const size_t outputs = (size_t)std::count_if(events_.begin(), events_.end(), [](const ScriptEvent &ev) {
    return ev.command == Command::Save || ev.command == Command::HudFrame;
  });
  if (outputs > kMaxScriptOutputs)
    problems.push_back(host::ScenarioProblem{events_.front().file, 0,
                                             std::to_string(outputs) +
                                                 " save and hudframe lines; a script writes at most " +
                                                 std::to_string(kMaxScriptOutputs) + " files"});
  // Vessel qualifiers must name a vessel of the scenario.
  std::unordered_set<std::string> names;
  for (auto &v : scn_.vessels) names.insert(v.name);
  auto check_vessel = [&](const ScriptEvent &ev, const std::string &name) {
    if (name.empty()) return;
    if (!names.count(name))
      problems.push_back(host::ScenarioProblem{
          ev.file, ev.line, "expected the name of a vessel of the scenario before \".\", found \"" + name + "\""});
  };
  // The run lasts to 1 s past the last time or interval end of the script.
  double last = -1;
  for (auto &ev : events_) {
    check_vessel(ev, ev.vessel);
    for (auto &c : ev.condition) check_vessel(ev, c.vessel);
    if (ev.timing == Timing::At || ev.timing == Timing::During)
      last = std::max(last, ev.timing == Timing::During ? ev.until : ev.time);
  }
  CheckVessels(problems);
  duration_ = o_.duration >= 0 ? o_.duration : last < 0 ? 10 : last + 1;
  last_time_ = last;
  CheckOutputs(o_, events_, duration_, scn_.environment.time_acceleration, problems);
  // The lines that react to the flight go their own way, in file order.
  for (auto &ev : events_)
    if (ev.timing != Timing::At) reactive_.push_back(ev);
  events_.erase(
      std::remove_if(events_.begin(), events_.end(), [](const ScriptEvent &ev) { return ev.timing != Timing::At; }),
      events_.end());
  std::stable_sort(reactive_.begin(), reactive_.end(), [this](const ScriptEvent &a, const ScriptEvent &b) {
    return a.file != b.file ? a.file == scn_name_ : a.line < b.line;
  });
  for (auto &ev : reactive_) reactions_.Add(ev);
  return ReportProblems(problems);
}

// Prints the problems found before flying; false (nothing flies) unless all
// of them are warnings.
bool Run::ReportProblems(const std::vector<host::ScenarioProblem> &problems) {
  std::fflush(out_);
  PrintProblems(err_, problems);
  size_t errors = 0;
  for (auto &p : problems) errors += !p.warning;
  if (errors == 0) return true;
  // (%lu: msvcrt.dll's printf, which the Microsoft-ABI host uses, knows no %zu.)
  std::fprintf(err_, "tarvex-sim: %lu problem%s found; nothing flown\n", (unsigned long)errors, errors == 1 ? "" : "s");
  return false;
}

// Every vessel is of the class the module flies, and the class's own lines
// are ones it can read.
void Run::CheckVessels(std::vector<host::ScenarioProblem> &problems) {
  const std::string cls = kVesselClass;
  for (auto &b : scn_.vessels) {
    if (strcasecmp(b.class_name.c_str(), cls.c_str()) != 0)
      problems.push_back(host::ScenarioProblem{scn_name_, b.line,
                                               "unknown vessel class \"" + b.class_name + "\" for \"" + b.name +
                                                   "\": the classes that exist are " + cls +
                                                   host::DidYouMean(b.class_name, {cls})});
    for (size_t i = 0; i < b.lines.size(); ++i) {
      std::string why;
      if (!host::CheckClassLine(b.lines[i], why))
        problems.push_back(host::ScenarioProblem{scn_name_, b.line_numbers[i], why});
    }
  }
}

bool Run::Load() {
  sound_log_before_ = FileSize(kSoundLog);
  host::World &w = host::world();
  w.trace.enabled = !o_.trace.empty();
  w.time_acceleration = scn_.environment.time_acceleration;
  w.camera_internal = scn_.environment.camera_internal;
  w.cockpit_mode = scn_.environment.cockpit_mode;
  w.hud_mode = scn_.environment.hud_mode;
  std::string error;
  if (!o_.no_sound) {
    void *lib = host::LoadLibraryPath(o_.sound, error);
    if (!lib && o_.sound_given) {  // asked for by name: as with --module, no flight without it
      std::fflush(out_);
      std::fprintf(err_, "tarvex-sim: %s\n", error.c_str());
      return false;
    }
    if (!lib) {
      std::fflush(out_);
      std::fprintf(err_, "tarvex-sim: no sound service at %s: the flight is silent\n", o_.sound.c_str());
    } else {
      sound_ = true;
      sound_probes_ = FindSoundProbes(lib);
    }
  }
  if (!host::LoadModule(o_.module, api_, error)) {
    std::fprintf(err_, "tarvex-sim: %s\n", error.c_str());
    return false;
  }
  // The host's order: each vessel is created, set up and given its scenario
  // block; once all exist, each gets its post-creation call.
  std::vector<host::ScenarioFile> files(scn_.vessels.size());
  std::vector<host::ScenarioProblem> host_problems;
  for (size_t i = 0; i < scn_.vessels.size(); ++i) {
    const auto &b = scn_.vessels[i];
    host::HostVessel &hv = host::AddVessel(b.name, b.class_name);
    if (!host::CreateVessel(api_, hv)) {
      std::fprintf(err_, "tarvex-sim: %s:%d: the module created no vessel for \"%s\"\n", scn_name_.c_str(), b.line,
                   b.name.c_str());
      return false;
    }
    by_name_[b.name] = vessels_.size();
    vessels_.push_back(&hv);
    VESSEL3 *v = host::Callbacks(hv);
    files[i].lines = b.lines;
    {
      const host::ModuleCall in;
      v->clbkSetClassCaps(nullptr);
      v->clbkLoadStateEx(&files[i], &files[i]);
    }
    NoteHostLines(b, files[i], hv, host_problems);
  }
  if (!ReportProblems(host_problems)) {
    bad_host_lines_ = true;
    return false;
  }
  for (auto *hv : vessels_) {
    const host::ModuleCall in;
    host::Callbacks(*hv)->clbkPostCreation();
  }
  for (auto *hv : vessels_) host::PlaceBody(*hv);
  focus_ = Vessel(scn_.focus.empty() ? vessels_.front()->name : scn_.focus);
  focus_id_ = (int)by_name_[focus_->name];
  fuel_start_ = focus_->FuelMass();
  EnterVirtualCockpit();
  return true;
}

// The lines the module handed to the host: unknown ones, values the host
// changed and lines it does not use are warnings, impossible ones refused.
void Run::NoteHostLines(const host::ScenarioVesselBlock &b, const host::ScenarioFile &file, const host::HostVessel &hv,
                        std::vector<host::ScenarioProblem> &problems) {
  std::vector<std::string> names = host::LineNames(host::LineBlock::HostVessel);
  for (auto &n : host::LineNames(host::LineBlock::ClassVessel)) names.push_back(n);
  names.push_back("END");
  bool has_vel = false;
  for (size_t k = 0; k < file.parsed.size(); ++k) has_vel |= strncasecmp(file.parsed[k].c_str(), "VEL", 3) == 0;
  for (size_t k = 0; k < file.parsed.size(); ++k) {
    size_t at = file.parsed_from[k];
    int line = at < b.line_numbers.size() ? b.line_numbers[at] : b.line;
    const std::string &text = file.parsed[k];
    auto warn = [&](const std::string &m) { problems.push_back(host::ScenarioProblem{scn_name_, line, m, true}); };
    switch (static_cast<host::HostLineVerdict>(file.parsed_verdict[k])) {
      case host::HostLineVerdict::kUnknown: {
        // The nearest name over as many words as it has.
        std::string best;
        for (const std::string &n : names) {
          size_t words = 1 + std::count(n.begin(), n.end(), ' '), end = 0;
          for (size_t w = 0; w < words && end != std::string::npos; ++w)
            end = text.find_first_of(" \t", text.find_first_not_of(" \t", end));
          std::string near = host::NearestName(text.substr(0, end), {n});
          if (!near.empty() && best.empty()) best = near;
        }
        warn("\"" + text + "\" is neither a host line nor one of " + b.class_name + "'s; ignored" +
             (best.empty() ? "" : " (did you mean " + best + "?)"));
        break;
      }
      case host::HostLineVerdict::kRefused:
        problems.push_back(host::ScenarioProblem{scn_name_, line, file.parsed_why[k]});
        break;
      case host::HostLineVerdict::kNoted:
        warn(file.parsed_why[k]);
        break;
      case host::HostLineVerdict::kRead:
        for (const char *key : {"ALT", "AIRSPEED", "PITCH", "BANK"})
          if (hv.ground_contact && strncasecmp(text.c_str(), key, std::strlen(key)) == 0 &&
              std::isspace((unsigned char)text[std::strlen(key)]))
            warn(std::string(key) + " is not used with STATUS Landed: the vessel rests on its gear");
        // A save writes both, and they agree; a speed that differs from VEL's is lost.
        if (!hv.ground_contact && has_vel && strncasecmp(text.c_str(), "AIRSPEED", 8) == 0) {
          const VECTOR3 &v = hv.body.vel;
          const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
          if (std::fabs(hv.airspeed - speed) > 1e-6 * std::max(1.0, speed))
            warn("AIRSPEED is not used: VEL gives the velocity (" + host::Num(speed) + " m/s)");
        }
        break;
    }
  }
}

// The host loads the virtual cockpit of the vessel in focus when its
// cockpit view turns virtual.
void Run::EnterVirtualCockpit() {
  if (host::world().cockpit_mode != COCKPIT_VIRTUAL) return;
  const host::ModuleCall in;
  host::Callbacks(*focus_)->clbkLoadVC(0);
}

void Run::FlushTrace() {
  host::Trace &tr = host::world().trace;
  if (!trace_) return;
  for (auto &e : tr.Entries()) std::fprintf(trace_, "%ld\t%s\t%s\n", e.step, e.vessel.c_str(), e.Text().c_str());
  tr.Clear();
}

// The host shows the HUD in the virtual cockpit seen from inside, unless
// switched off. Only the script can change any of these.
bool Run::HudVisible() const {
  const host::World &w = host::world();
  return HudShown(w.cockpit_mode, w.camera_internal, w.hud_mode);
}

void Run::Step() {
  host::World &w = host::world();
  // The time acceleration as the host would take it: a factor the module (or
  // the script) made unusable flies at 1, and the step never grows past
  // 10000 times real time.
  // The time is counted in steps since the step length last changed, so that
  // it advances whatever its size.
  double dt = EffectiveStep(o_.dt, w.time_acceleration);
  if (dt != seg_dt_) seg_t_ = t_, seg_dt_ = dt, seg_steps_ = 0;
  for (auto *hv : vessels_) host::PhysicsStep(*hv, dt);
  t_ = seg_t_ + (double)++seg_steps_ * seg_dt_;
  ++steps_;
  w.trace.step_counter = steps_;
  double mjd = scn_.environment.mjd + t_ / 86400;
  for (auto *hv : vessels_) {
    host::HostControllers(*hv, dt);
    hv->forces.clear();
    const host::ModuleCall in;
    host::Callbacks(*hv)->clbkPostStep(t_, dt, mjd);
  }
  // Drawn every step only while the trace records the module's calls of it.
  hud_.Stepped(*focus_, HudVisible(), trace_ != nullptr);
  if (sound_probes_.advance) sound_probes_.advance(dt);
  if (sound_probes_.clear_calls) sound_probes_.clear_calls();  // the service's call record is not needed here
  if (report_) report_->Observe(t_, vessels_, (size_t)SoundId(focus_), Sound());
  FlushTrace();
}

void Run::Apply(const ScriptEvent &ev) {
  host::World &w = host::world();
  host::HostVessel *hv = Vessel(ev.vessel);
  if (report_) report_->Input(ev, t_);
  switch (ev.command) {
    case Command::Key:
      host::Key(*hv, ev.key, true, ev.shift, ev.ctrl, ev.alt);
      host::Key(*hv, ev.key, false, ev.shift, ev.ctrl, ev.alt);
      break;
    case Command::Set:
      // A new level for a control ends its ramp.
      ramps_.erase(std::remove_if(ramps_.begin(), ramps_.end(),
                                  [&](const Ramp &r) { return r.hv == hv && r.target == ev.target; }),
                   ramps_.end());
      if (ev.over > 0)
        ramps_.push_back(Ramp{hv, ev.target, Level(*hv, ev.target), ev.value, t_, ev.over});
      else
        Set(*hv, ev.target, ev.value);
      break;
    case Command::Navmode:
      hv->navmode[ev.mode] = ev.on;
      break;
    case Command::TimeAcc:
      w.time_acceleration = ev.value;
      break;
    case Command::Camera:
      w.camera_internal = ev.on;
      break;
    case Command::Cockpit: {
      bool was = w.cockpit_mode == COCKPIT_VIRTUAL;
      w.cockpit_mode = ev.mode;
      if (!was) EnterVirtualCockpit();
      break;
    }
    case Command::Hud:
      w.hud_mode = ev.mode;
      break;
    case Command::Save: {
      std::string error;
      const bool ok = PrepareScriptSave(ev.name, error) && SaveScenario(ev.name, error);
      Wrote(ok, ev.name + " (scenario saved at t=" + Seconds(t_) + " s)", ev.Where() + ": " + error);
      break;
    }
    case Command::HudFrame: {
      std::string error;
      HudFrame f = HudFrameNow();
      const bool ok =
          PrepareScriptSave(ev.name, error) &&
          WriteOutput(ev.name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + HudFrameSvg(f), true, error);
      Wrote(ok, ev.name + " (HUD frame at t=" + Seconds(t_) + " s)", ev.Where() + ": " + error);
      if (report_) report_->AddFrame(std::move(f));
      break;
    }
    default:
      break;
  }
}

void Run::Check(const ScriptEvent &ev) {
  host::HostVessel *hv = Vessel(ev.vessel);
  bool ok = false;
  std::string actual;
  char buf[64];
  switch (ev.command) {
    case Command::Expect: {
      double v = Measure(*hv, t_, SoundId(hv), Sound())[ev.column];
      ok = Holds(ev.op, v, ev.value, ev.tolerance);
      std::snprintf(buf, sizeof buf, "%.10g", v);
      actual = buf;
      break;
    }
    case Command::ExpectHud:
      hud_.CatchUp(*focus_);
      if (!hud_.Drawn()) {
        actual = "no HUD drawn yet";
        break;
      }
      for (auto &item : hud_.Texts()) {
        ok |= item.text.find(ev.name) != std::string::npos;
        actual += (actual.empty() ? "\"" : ", \"") + item.text + "\"";
      }
      if (actual.empty()) actual = "no text on the HUD";
      break;
    case Command::ExpectSound:
      if (!sound_) {
        actual = "no sound service";
        break;
      }
      ok = sound_probes_.Playing(SoundId(hv), ev.mode) == ev.on;
      actual = sound_probes_.Playing(SoundId(hv), ev.mode) ? "playing" : "stopped";
      break;
    default:
      return;
  }
  if (report_) report_->Expectation(ev, t_, ok ? "passed" : "FAILED", actual);
  if (ok) {
    ++passed_;
    return;
  }
  ++failed_;
  std::fflush(out_);  // what the table showed so far comes first
  std::fprintf(err_, "tarvex-sim: %s: expectation failed at t=%.3f s: %s (actual %s)\n", ev.Where().c_str(), t_,
               ev.source.c_str(), actual.c_str());
}

void Run::MoveRamps() {
  for (size_t i = 0; i < ramps_.size();) {
    Ramp &r = ramps_[i];
    double f = (t_ - r.start) / r.over;
    if (f < 1 - 1e-9) {
      Set(*r.hv, r.target, r.from + (r.to - r.from) * f);
      ++i;
    } else {
      Set(*r.hv, r.target, r.to);
      ramps_.erase(ramps_.begin() + (long)i);
    }
  }
}

// Hands the reacting lines this step's telemetry, measured for each vessel
// once a line asks for it; checks the `expect` of every `when` that fires.
bool Run::React(std::vector<const Trigger *> &fired) {
  if (samples_.size() != vessels_.size()) samples_.resize(vessels_.size());
  measured_.assign(vessels_.size(), false);
  struct Now : ColumnValues {
    Run &run;
    explicit Now(Run &r) : run(r) {}
    double Value(const std::string &vessel, int column) override {
      host::HostVessel *hv = run.Vessel(vessel);
      size_t i = (size_t)run.SoundId(hv);
      if (!run.measured_[i]) Measure(*hv, run.t_, (int)i, run.Sound(), run.samples_[i]), run.measured_[i] = true;
      return run.samples_[i][(size_t)column];
    }
  } now(*this);
  bool stop = reactions_.Observe(t_, now, fired);
  for (const Trigger *tr : fired) {
    if (report_) report_->Fired(*tr);
    if (tr->line.command >= Command::Expect) Check(tr->line);
    if (tr->line.timing == Timing::Stop && !stopped_by_) stopped_by_ = tr;
  }
  return stop;
}

// How the run ended, for what it never reached: a script of conditions and
// few times may end sooner than its writer thought.
std::string Run::EndText() const {
  const std::string at = "t=" + Seconds(t_) + " s";
  if (interrupted_) return "the run was interrupted at " + at;
  if (capped_) return "the run stopped at " + at + ", the step cap (--max-steps)";
  if (!stopped_by_ && o_.duration >= 0) return "the run ended at " + at + ", its --duration";
  if (!stopped_by_)
    return "the run ended at " + at +
           (last_time_ < 0 ? ", as a script without times does" : ", 1 s after the script's last time") +
           "; --duration sets another end";
  return "the run stopped at t=" + Seconds(t_) + " s by " + stopped_by_->line.Where() + " \"" +
         stopped_by_->line.source + "\"";
}

// At the end: the checks over time give their verdicts, and the conditions
// that never fired are told (a failure when they carry an expectation).
void Run::ReportReactions() {
  std::fflush(out_);
  for (const SpanCheck &s : reactions_.Spans()) {
    std::string verdict = s.Verdict(), actual = s.steps ? s.Actual() : EndText();
    double at = s.failed ? s.first_failed : s.line.time;
    if (report_) report_->Span(s, at, verdict, actual, t_);
    if (verdict == "passed") {
      ++passed_;
      continue;
    }
    ++failed_;
    if (s.steps)
      std::fprintf(err_, "tarvex-sim: %s: expectation failed from t=%.3f s: %s (actual %s)\n", s.line.Where().c_str(),
                   at, s.line.source.c_str(), actual.c_str());
    else
      std::fprintf(err_, "tarvex-sim: %s: expectation not reached: %s\n", s.line.Where().c_str(), actual.c_str());
  }
  for (const Trigger &tr : reactions_.Triggers()) {
    if (tr.fired >= 0) continue;
    std::string why = NeverFiredWhy(tr, EndText());
    const bool expectation = tr.line.timing == Timing::When && tr.line.command >= Command::Expect;
    if (report_) report_->NeverFired(tr, why, expectation, t_);
    if (expectation) {
      ++failed_;
      std::fprintf(err_, "tarvex-sim: %s: expectation never checked: %s (%s)\n", tr.line.Where().c_str(),
                   tr.line.source.c_str(), why.c_str());
    } else {
      std::fprintf(err_, "tarvex-sim: %s: warning: never fired: %s (%s)\n", tr.line.Where().c_str(),
                   tr.line.source.c_str(), why.c_str());
    }
  }
}

void Run::Record(bool force_table) {
  max_alt_ = std::max(max_alt_, focus_->altitude);
  max_speed_ = std::max(max_speed_, focus_->airspeed);
  bool table = !o_.quiet && (force_table || steps_ % o_.every == 0);
  bool csv_row = csv_ && (force_table || steps_ % o_.csv_every == 0);
  if (!csv_row && o_.plot.empty() && !report_ && !table) return;
  Sample &s = sample_;
  Measure(*focus_, t_, SoundId(focus_), Sound(), s);
  if (csv_row) {
    // With several vessels, the time and then every vessel's columns.
    const Sample *row_of = &s;
    if (vessels_.size() > 1) {
      wide_.v.assign(1, t_);
      for (auto *hv : vessels_) {
        Measure(*hv, t_, SoundId(hv), Sound(), one_);
        wide_.v.insert(wide_.v.end(), one_.v.begin() + 1, one_.v.end());
      }
      row_of = &wide_;
    }
    const std::string &row = csv_row_.Row(*row_of);
    std::fwrite(row.data(), 1, row.size(), csv_);
    std::fputc('\n', csv_);
  }
  if (!o_.plot.empty() || report_) {
    static const int kAlt = ColumnIndex("alt"), kSpeed = ColumnIndex("airspeed"), kVs = ColumnIndex("vs"),
                     kMain = ColumnIndex("main_level"), kNoz = ColumnIndex("nozzle_anim"),
                     kGear = ColumnIndex("gear_anim");
    plot_.Add(PlotPoint{t_, s[kAlt], s[kSpeed], s[kVs], s[kMain], s[kNoz], s[kGear]});
  }
  if (table) std::fprintf(out_, "%s\n", TableRow(s).c_str());
}

bool Run::SaveScenario(const std::string &path, std::string &error) {
  host::ScenarioText s = scn_;
  s.script.clear();
  // The path as text of one line, whatever it holds.
  s.description.push_back("Saved by tarvex-sim at t=" + Seconds(t_) + " s of " + Printable(scn_name_) + ".");
  s.environment.mjd = scn_.environment.mjd + t_ / 86400;
  host::World &w = host::world();
  s.environment.time_acceleration = w.time_acceleration;
  s.environment.camera_internal = w.camera_internal;
  s.environment.cockpit_mode = w.cockpit_mode;
  s.environment.hud_mode = w.hud_mode;
  s.focus = focus_->name;
  bool tracing = w.trace.enabled;
  for (size_t i = 0; i < vessels_.size(); ++i) s.vessels[i].lines = host::Save(*vessels_[i]);
  w.trace.enabled = tracing;
  std::string bad = NonFiniteLine(s);
  if (!bad.empty())
    return error = "cannot save " + path + ": the state holds a number that is not finite (" + bad +
                   "); the scenario would not load again",
           false;
  return WriteOutput(path, host::FormatScenarioText(s), true, error);
}

std::string Run::SummaryText(int code) const {
  std::string s;
  char buf[512];
  auto add = [&](int n) { s.append(buf, (size_t)std::clamp(n, 0, (int)sizeof buf - 1)); };
  s = "flew " + scn_name_;
  add(std::snprintf(buf, sizeof buf, ": %.2f s in %ld steps of %g s; vessel in focus ", t_, steps_, o_.dt));
  s += (focus_ ? focus_->name : "-") + "\n";
  if (focus_) {
    double fuel = focus_->FuelMass();
    add(std::snprintf(buf, sizeof buf, "  highest %.1f m, fastest %.1f m/s, fuel used %.0f kg (%.0f kg left)\n",
                      max_alt_, max_speed_, fuel_start_ - fuel, fuel));
    add(std::snprintf(buf, sizeof buf, "  at the end: altitude %.2f m, airspeed %.2f m/s, %s\n", focus_->altitude,
                      focus_->airspeed, focus_->ground_contact ? "on the ground" : "in the air"));
  }
  add(std::snprintf(buf, sizeof buf, "  expectations: %d passed, %d failed\n", passed_, failed_));
  if (!reactions_.Triggers().empty()) {
    int fired = 0, never = 0;
    for (const Trigger &tr : reactions_.Triggers()) (tr.fired >= 0 ? fired : never)++;
    add(std::snprintf(buf, sizeof buf, "  conditions: %d fired, %d never fired\n", fired, never));
  }
  if (stopped_by_) s += "  stopped by " + stopped_by_->line.Where() + ": " + stopped_by_->line.source + "\n";
  if (interrupted_)
    add(std::snprintf(buf, sizeof buf, "  interrupted at t = %.3f s by %s\n", t_, StopSignals::Name(interrupted_)));
  for (auto &f : written_) s += "  wrote " + f + "\n";
  s += interrupted_ ? "result: interrupted\n" : code == kPassed ? "result: passed\n" : "result: FAILED\n";
  return s;
}

// The report goes last, so that its summary names every other file written.
void Run::WriteReport() {
  std::vector<PlotMark> marks = report_->Marks();
  std::string chart = PlotSvg(plot_.Points(), "Tarvex flight: " + scn_name_, marks, report_->Bands());
  written_.push_back(o_.report + " (flight report)");
  std::string summary = SummaryText(Verdict());
  Report r = report_->Finish("Tarvex flight: " + scn_name_, scn_.description, summary, chart, t_);
  std::string error;
  if (!WriteOutput(o_.report, ReportHtml(r), true, error)) {
    written_.pop_back();
    WriteFailed(error);
  }
}

bool Run::OpenOutputs() {
  std::string error;
  if (CsvToStdout()) {
    csv_ = csv_out_;
  } else if (!o_.csv.empty()) {
    if (!csv_file_.Open(o_.csv, true, error)) return WriteFailed(error), false;
    csv_ = csv_file_.Stream();
  }
  if (!o_.trace.empty()) {
    if (!trace_file_.Open(o_.trace, true, error)) return WriteFailed(error), false;
    trace_ = trace_file_.Stream();
  }
  return true;
}

void Run::Commit(OutputFile &f, const std::string &path, const std::string &what) {
  std::string error;
  const bool ok = f.Commit(error);
  Wrote(ok, path + " (" + what + ")", error);
}

void Run::Wrote(bool ok, const std::string &what, const std::string &error) {
  if (ok)
    written_.push_back(what);
  else
    WriteFailed(error);
}

void Run::WriteFailed(const std::string &error) {
  std::fflush(out_);  // what the table showed so far comes first
  std::fprintf(err_, "tarvex-sim: %s\n", error.c_str());
  output_failed_ = true;
}

// This time's script lines: controls on a ramp take their level for now;
// the expectations see the state reached, the conditions too (a `when` with
// an `expect` is checked as it fires); then the inputs apply, the timed
// ones first. False when a `stop when` fired: the run ends after the checks.
bool Run::AtTime() {
  const double eps = kAtTimeTolerance;
  if (!ramps_.empty()) MoveRamps();
  for (size_t i = next_event_; i < events_.size() && events_[i].time <= t_ + eps; ++i) Check(events_[i]);
  fired_.clear();
  if (!reactions_.Empty() && React(fired_)) return false;
  // The HUD as the last step showed it, before this time's inputs move it
  // out of view (later looks see that picture, as they would on screen).
  for (size_t i = next_event_; hud_.Due() && i < events_.size() && events_[i].time <= t_ + eps; ++i)
    if (MovesHud(events_[i])) hud_.CatchUp(*focus_);
  for (const Trigger *tr : fired_)
    if (hud_.Due() && MovesHud(tr->line)) hud_.CatchUp(*focus_);
  for (; next_event_ < events_.size() && events_[next_event_].time <= t_ + eps; ++next_event_)
    Apply(events_[next_event_]);
  for (const Trigger *tr : fired_)
    if (tr->line.command < Command::Expect) Apply(tr->line);
  return true;
}

// Whether another step is flown: not past the end, nor at the step cap.
bool Run::GoesOn() {
  if (t_ >= duration_ - kAtTimeTolerance) return false;
  if ((interrupted_ = StopSignals::Caught()) != 0) {
    std::fprintf(err_, "tarvex-sim: %s: stopped at t=%.3f s; writing what was flown\n", StopSignals::Name(interrupted_),
                 t_);
    return false;
  }
  if (steps_ < o_.max_steps) return true;
  std::fflush(out_);  // what the table showed so far comes first
  std::fprintf(err_,
               "tarvex-sim: stopped at t=%.3f s after %ld steps, the step cap (--max-steps); the run was to "
               "end at %.3f s\n",
               t_, steps_, duration_);
  capped_ = true;
  return false;
}

// On a terminal, a long run shows how far it got, once a second.
void Run::ShowProgress() {
  if (!progress_ || (steps_ & 1023) != 0) return;
  const std::time_t now = std::time(nullptr);
  if (now - started_ > 2 && now != last_progress_) {
    std::fprintf(err_, "\rtarvex-sim: t = %.1f of %.1f s", t_, duration_);
    last_progress_ = now, progress_shown_ = true;
  }
}

// Expectations, saves and HUD frames the run ended before fail.
void Run::FailUnreached() {
  for (size_t i = next_event_; i < events_.size(); ++i) {
    const Command c = events_[i].command;
    if (c == Command::Save || c == Command::HudFrame) {
      ++failed_;
      std::fflush(out_);
      std::fprintf(err_, "tarvex-sim: %s: %s to %s not reached: %s\n", events_[i].Where().c_str(),
                   c == Command::Save ? "save" : "hudframe", Printable(events_[i].name).c_str(), EndText().c_str());
      continue;
    }
    if (c < Command::Expect) continue;
    ++failed_;
    if (report_) report_->Expectation(events_[i], events_[i].time, "not reached", EndText());
    std::fflush(out_);  // what the table showed so far comes first
    std::fprintf(err_, "tarvex-sim: %s: expectation not reached: %s\n", events_[i].Where().c_str(), EndText().c_str());
  }
  ReportReactions();
}

void Run::WriteOutputs() {
  std::string error;
  const std::string rows =
      o_.csv_every == 1 ? "one row per step" : "a row every " + std::to_string(o_.csv_every) + " steps";
  if (csv_ && CsvToStdout())
    Wrote(std::fflush(csv_) == 0, "standard output (telemetry, " + rows + ")",
          "cannot write the telemetry to standard output");
  else if (csv_)
    Commit(csv_file_, o_.csv, "telemetry, " + rows);
  csv_ = nullptr;
  if (!o_.plot.empty()) {
    const bool ok = WriteOutput(o_.plot, PlotSvg(plot_.Points(), "Tarvex flight: " + scn_name_), true, error);
    Wrote(ok, o_.plot + " (chart of the flight)", error);
  }
  if (!o_.save.empty()) {
    const bool ok = SaveScenario(o_.save, error);
    Wrote(ok, o_.save + " (scenario saved at the end)", error);
  }
  if (trace_) {
    FlushTrace();
    Commit(trace_file_, o_.trace, "host calls of the module");
    trace_ = nullptr;
  }
  if (FileSize(kSoundLog) != sound_log_before_)
    written_.push_back(std::string(kSoundLog) + " (the sound connector's log, appended to)");
  if (report_) WriteReport();
}

int Run::Go() {
  if (!Prepare()) return kBadInput;
  if (!o_.report.empty()) report_.reset(new ReportRecorder(o_.hud_every, std::max(0.1, duration_ / 4000)));
  if (!Load()) return bad_host_lines_ ? kBadInput : kModuleFailed;
  if (!OpenOutputs()) return kOutputFailed;
  if (csv_ && !CsvToStdout()) std::setvbuf(csv_, nullptr, _IOFBF, 1 << 16);  // a row every step: fewer, larger writes
  FlushTrace();                                                              // the set-up calls, as step 0
  if (csv_) std::fprintf(csv_, "%s\n", CsvHeaderOf().c_str());
  if (!o_.quiet) std::fprintf(out_, "%s\n", TableHeader().c_str());
  Record(true);
  progress_ = Terminal(err_);
  started_ = last_progress_ = std::time(nullptr);
#if defined(__cpp_exceptions)
  // Memory running out stops the run like a signal: what was flown is
  // written, without the report's HUD frames, which hold the most.
  try {
#endif
    for (bool on = AtTime(); on && GoesOn(); on = AtTime()) {
      Step();
      Record(false);
      if (HudFrameWanted()) report_->AddFrame(HudFrameNow());
      ShowProgress();
    }
#if defined(__cpp_exceptions)
  } catch (const std::bad_alloc &) {
    if (report_) report_->DropFrames();
    std::fprintf(err_, "tarvex-sim: out of memory at t=%.3f s; writing what was flown\n", t_);
    capped_ = true;
  }
  try {
#endif
    if (progress_shown_) std::fprintf(err_, "\n");
    if (!o_.quiet && steps_ % o_.every != 0)
      std::fprintf(out_, "%s\n", TableRow(Measure(*focus_, t_, SoundId(focus_), Sound())).c_str());
    FailUnreached();
    WriteOutputs();
#if defined(__cpp_exceptions)
  } catch (const std::bad_alloc &) {
    WriteFailed("out of memory while writing the outputs; those not listed as written keep their previous content");
  }
#endif
  int code = Verdict();
  if (o_.quiet)  // what was written is said even so
    for (auto &f : written_) std::fprintf(out_, "wrote %s\n", f.c_str());
  else
    std::fprintf(out_, "\n%s", SummaryText(code).c_str());
  return code;
}

}  // namespace

int Fly(const Options &options, std::FILE *out, std::FILE *err) {
  // Telemetry on standard output: everything else goes to standard error.
  Run run(options, options.csv == "-" ? err : out, err, out);
  return run.Go();
}

}  // namespace sim
