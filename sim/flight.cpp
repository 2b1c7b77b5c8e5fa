#include "sim/flight.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <vector>

#include "host/harness.h"
#include "host/host_lines.h"
#include "host/physics.h"
#include "host/scenario_text.h"
#include "sim/conditions.h"
#include "sim/files.h"
#include "sim/guards.h"
#include "sim/hud_frame.h"
#include "sim/output_file.h"
#include "sim/plot.h"
#include "sim/report.h"
#include "sim/script.h"
#include "sim/telemetry.h"
#include "sound_service/service_control.h"

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

// A routine of a loaded library by name, and whether a stream is a terminal.
#if defined(_WIN32)
void *Symbol(void *lib, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
bool Terminal(std::FILE *f) { return _isatty(_fileno(f)) != 0; }
#else
void *Symbol(void *lib, const char *name) { return dlsym(lib, name); }
bool Terminal(std::FILE *f) { return isatty(fileno(f)) != 0; }
#endif

// The sound service's inspection routines, once it is loaded.
TarvexSound_AdvanceFn g_advance = nullptr;
TarvexSound_SlotStateFn g_slot_state = nullptr;
TarvexSound_ClearCallsFn g_clear_calls = nullptr;
TarvexSound_SlotFileFn g_slot_file = nullptr;

std::string Seconds(double t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", t);
  return buf;
}

std::string Rough(double x) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", x);
  return buf;
}

bool SlotPlaying(int id, int slot) { return g_slot_state && g_slot_state(id, slot, nullptr, nullptr, nullptr) != 0; }

// What the script's `set` controls act on.
void SetControl(host::HostVessel &hv, const std::string &name, double value) {
  if (name == "main")
    hv.SetGroupLevel(THGROUP_MAIN, value);
  else if (name == "hover")
    hv.SetGroupLevel(THGROUP_HOVER, value);
  else if (name == "elevator")
    hv.ctrl_level[AIRCTRL_ELEVATOR] = value;
  else if (name == "aileron")
    hv.ctrl_level[AIRCTRL_AILERON] = value;
  else if (name == "rudder")
    hv.ctrl_level[AIRCTRL_RUDDER] = value;
  else if (name == "trim")
    hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = value;
  else if (name == "forward")
    hv.body.pilot_linear[0] = value;
  else if (name == "back")
    hv.body.pilot_linear[1] = value;
  else if (name == "brake")
    hv.wheelbrake[0] = hv.wheelbrake[1] = value;
}

double ControlValue(const host::HostVessel &hv, const std::string &name) {
  if (name == "main") return hv.GroupLevel(THGROUP_MAIN);
  if (name == "hover") return hv.GroupLevel(THGROUP_HOVER);
  if (name == "elevator") return hv.ctrl_level[AIRCTRL_ELEVATOR];
  if (name == "aileron") return hv.ctrl_level[AIRCTRL_AILERON];
  if (name == "rudder") return hv.ctrl_level[AIRCTRL_RUDDER];
  if (name == "trim") return hv.ctrl_level[AIRCTRL_ELEVATORTRIM];
  if (name == "forward") return hv.body.pilot_linear[0];
  if (name == "back") return hv.body.pilot_linear[1];
  if (name == "brake") return hv.wheelbrake[0];
  return 0;
}

// A control moving linearly to a level (`set ... over N`).
struct Ramp {
  host::HostVessel *hv;
  std::string name;
  double from, to, start, over;
};

// Inputs that take the HUD out of view.
bool MovesHud(const ScriptEvent &ev) {
  return ev.command == Command::Camera || ev.command == Command::Cockpit || ev.command == Command::Hud;
}

class Run {
 public:
  Run(const Options &o, std::FILE *out, std::FILE *err) : o_(o), out_(out), err_(err) {}
  ~Run() {  // also when the run stops early, after a problem found in loading
    for (auto *hv : vessels_) host::DestroyVessel(api_, *hv);
  }
  Run(const Run &) = delete;
  Run &operator=(const Run &) = delete;
  int Go();

 private:
  bool Prepare();
  bool Load();
  bool CheckOutputs(std::vector<host::ScenarioProblem> &problems);
  bool OpenOutputs();
  void Commit(OutputFile &f, const std::string &path, const std::string &what);
  void Step();
  void Apply(const ScriptEvent &ev);
  void Check(const ScriptEvent &ev);
  void MoveRamps();
  bool React(std::vector<const Trigger *> &fired);
  void ReportReactions();
  std::string EndText() const;
  void Record(bool force_table);
  bool SaveScenario(const std::string &path, std::string &error);
  std::string SummaryText(int code) const;
  // The exit status the run ends with: a file not written, a run stopped at
  // the step cap, a failed expectation, in that order.
  int Verdict() const {
    return output_failed_ ? kOutputFailed : capped_ ? kBadInput : failed_ ? kExpectationFailed : kPassed;
  }
  HudFrame HudFrameNow();
  // Whether the report wants a HUD frame now (HudFrameNow redraws for it).
  bool HudFrameWanted() const { return report_ && report_->WantsHudFrame(t_); }
  void WriteReport();
  host::HostVessel *Vessel(const std::string &name);
  int SoundId(const host::HostVessel *hv) const;
  void FlushTrace();
  void EnterVirtualCockpit();
  bool HudVisible() const;
  bool HudWanted() const;
  void DrawHud();

  const Options &o_;
  std::FILE *out_, *err_;
  host::ScenarioText scn_;
  std::string scn_name_;
  std::vector<ScriptEvent> events_;    // the timed lines, by time
  std::vector<ScriptEvent> reactive_;  // the others, in file order
  Reactions reactions_;
  std::vector<Sample> samples_;  // the telemetry of each vessel at this step, once a condition needs it
  std::vector<bool> measured_;
  std::vector<Ramp> ramps_;
  const Trigger *stopped_by_ = nullptr;
  size_t next_event_ = 0;
  double duration_ = 10;
  host::ModuleApi api_;
  bool sound_ = false;
  std::vector<host::HostVessel *> vessels_;
  host::HostVessel *focus_ = nullptr;
  host::RecordingSketchpad hud_;
  bool hud_drawn_ = false;     // some step showed the HUD, and hud_ holds what it showed
  bool hud_due_ = false;       // the last step showed the HUD, and hud_ is not drawn for it yet
  bool hud_answered_ = false;  // the module's answer to the last redraw (true: default HUD too)
  std::unique_ptr<ReportRecorder> report_;
  double t_ = 0;
  long steps_ = 0;
  OutputFile csv_file_, trace_file_;
  std::FILE *csv_ = nullptr, *trace_ = nullptr;
  bool output_failed_ = false, capped_ = false, bad_host_lines_ = false;
  double seg_t_ = 0, seg_dt_ = 0;  // time and step length where the current run of equal steps began
  long seg_steps_ = 0;
  PlotRecorder plot_;
  Sample sample_;  // the telemetry of the step, kept to reuse its storage
  CsvRowWriter csv_row_;
  std::vector<std::string> written_;
  int passed_ = 0, failed_ = 0;
  double max_alt_ = -1e300, max_speed_ = 0, fuel_start_ = 0;
  bool progress_ = false;
};

host::HostVessel *Run::Vessel(const std::string &name) {
  if (name.empty()) return focus_;
  for (auto *v : vessels_)
    if (v->name == name) return v;
  return nullptr;
}

// The service hands out identifiers in the order vessels connect, and every
// vessel connects in its post-creation set-up, in the order of the ships block.
int Run::SoundId(const host::HostVessel *hv) const {
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
  ParseScript(scn_.script, scn_name_, events_, problems);
  if (!o_.script.empty()) {
    std::string stext;
    if (!ReadInputFile(o_.script, stext, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
    std::vector<ScriptEvent> more;
    ParseScript(host::ScriptFileLines(stext), o_.script, more, problems);
    events_.insert(events_.end(), more.begin(), more.end());
    std::stable_sort(events_.begin(), events_.end(),
                     [](const ScriptEvent &a, const ScriptEvent &b) { return a.time < b.time; });
  }
  // The lines that react to the flight go their own way, in file order.
  for (auto &ev : events_)
    if (ev.timing != Timing::At) reactive_.push_back(ev);
  events_.erase(
      std::remove_if(events_.begin(), events_.end(), [](const ScriptEvent &ev) { return ev.timing != Timing::At; }),
      events_.end());
  std::stable_sort(reactive_.begin(), reactive_.end(), [this](const ScriptEvent &a, const ScriptEvent &b) {
    return a.file != b.file ? a.file == scn_name_ : a.line < b.line;
  });
  // Vessel qualifiers must name a vessel of the scenario.
  auto check_vessel = [&](const ScriptEvent &ev, const std::string &name) {
    if (name.empty()) return;
    bool known = false;
    for (auto &v : scn_.vessels) known |= v.name == name;
    if (!known)
      problems.push_back(host::ScenarioProblem{
          ev.file, ev.line, "expected the name of a vessel of the scenario before \".\", found \"" + name + "\""});
  };
  double last = -1;
  for (auto &ev : events_) check_vessel(ev, ev.vessel), last = std::max(last, ev.time);
  for (auto &ev : reactive_) {
    check_vessel(ev, ev.vessel);
    for (auto &c : ev.condition) check_vessel(ev, c.vessel);
    if (ev.timing == Timing::During) last = std::max(last, ev.until);
    reactions_.Add(ev);
  }
  duration_ = o_.duration >= 0 ? o_.duration : last < 0 ? 10 : last + 1;
  CheckOutputs(problems);
  if (!problems.empty()) {
    PrintProblems(err_, problems);
    // (%lu: msvcrt.dll's printf, which the Microsoft-ABI host uses, knows no %zu.)
    std::fprintf(err_, "tarvex-sim: %lu problem%s found; nothing flown\n", (unsigned long)problems.size(),
                 problems.size() == 1 ? "" : "s");
    return false;
  }
  return true;
}

// Before anything flies: no output may be the scenario or script being read
// (or another output), script saves stay inside the output folder, and every
// script time and the end of the run lie within the step cap.
bool Run::CheckOutputs(std::vector<host::ScenarioProblem> &problems) {
  size_t before = problems.size();
  std::vector<std::string> inputs;
  if (!o_.scenario.empty()) inputs.push_back(o_.scenario);
  if (!o_.script.empty()) inputs.push_back(o_.script);
  auto clash = [&](const std::string &out) -> std::string {
    for (auto &in : inputs)
      if (SameFile(out, in)) return in + ", which this run reads";
    return std::string();
  };
  struct Named {
    const char *option;
    const std::string &path;
  } outputs[] = {
      {"--csv", o_.csv}, {"--plot", o_.plot}, {"--trace", o_.trace}, {"--save", o_.save}, {"--report", o_.report}};
  for (size_t i = 0; i < sizeof outputs / sizeof outputs[0]; ++i) {
    if (outputs[i].path.empty()) continue;
    std::string why = clash(outputs[i].path);
    for (size_t j = 0; j < i && why.empty(); ++j)
      if (!outputs[j].path.empty() &&
          (outputs[i].path == outputs[j].path || SameFile(outputs[i].path, outputs[j].path)))
        why = std::string("the file ") + outputs[j].option + " writes";
    if (!why.empty())
      problems.push_back(
          host::ScenarioProblem{std::string(outputs[i].option) + " " + outputs[i].path, 0, "refused: it is " + why});
  }
  double steps_per_event = 0;
  std::vector<const ScriptEvent *> lines;
  for (auto &ev : events_) lines.push_back(&ev);
  for (auto &ev : reactive_) lines.push_back(&ev);
  for (const ScriptEvent *line : lines) {
    const ScriptEvent &ev = *line;
    if (ev.command == Command::Save || ev.command == Command::HudFrame) {
      const bool save = ev.command == Command::Save;
      std::string why = ScriptSaveProblem(ev.name, save ? ".scn" : ".svg");
      if (why.empty() && !clash(ev.name).empty()) why = "it is " + clash(ev.name);
      if (!why.empty())
        problems.push_back(host::ScenarioProblem{ev.file, ev.line,
                                                 (save ? "save to " : "hudframe to ") + ev.name + " refused: " + why});
    }
    if (ev.timing == Timing::When || ev.timing == Timing::Stop || ev.timing == Timing::Always) continue;
    const double at = ev.timing == Timing::During ? ev.until : ev.time;
    steps_per_event = StepsToReach(at, o_.dt, scn_.environment.time_acceleration, events_);
    if (steps_per_event > (double)o_.max_steps)
      problems.push_back(host::ScenarioProblem{ev.file, ev.line,
                                               "time " + Rough(at) + " s is out of reach: it needs about " +
                                                   Rough(steps_per_event) + " steps, more than the cap of " +
                                                   std::to_string(o_.max_steps) + " (--max-steps)"});
  }
  double steps = StepsToReach(duration_, o_.dt, scn_.environment.time_acceleration, events_);
  if (steps > (double)o_.max_steps && problems.size() == before)
    problems.push_back(host::ScenarioProblem{o_.duration >= 0 ? "--duration" : "the run", 0,
                                             Rough(duration_) + " s need about " + Rough(steps) +
                                                 " steps, more than the cap of " + std::to_string(o_.max_steps) +
                                                 " (--max-steps)"});
  return problems.size() == before;
}

bool Run::Load() {
  host::World &w = host::world();
  w.trace.enabled = !o_.trace.empty();
  w.time_acceleration = scn_.environment.time_acceleration;
  w.camera_internal = scn_.environment.camera_internal;
  w.cockpit_mode = scn_.environment.cockpit_mode;
  w.hud_mode = scn_.environment.hud_mode;
  std::string error;
  if (!o_.no_sound) {
    void *lib = host::LoadLibraryPath(o_.sound, error);
    if (!lib) {
      std::fprintf(err_, "tarvex-sim: %s (flying without sound)\n", error.c_str());
    } else {
      sound_ = true;
      auto find = [&](const char *name) { return Symbol(lib, name); };
      g_advance = reinterpret_cast<TarvexSound_AdvanceFn>(find("TarvexSound_Advance"));
      g_slot_state = reinterpret_cast<TarvexSound_SlotStateFn>(find("TarvexSound_SlotState"));
      g_clear_calls = reinterpret_cast<TarvexSound_ClearCallsFn>(find("TarvexSound_ClearCalls"));
      g_slot_file = reinterpret_cast<TarvexSound_SlotFileFn>(find("TarvexSound_SlotFile"));
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
    vessels_.push_back(&hv);
    VESSEL3 *v = host::Callbacks(hv);
    v->clbkSetClassCaps(nullptr);
    files[i].lines = b.lines;
    v->clbkLoadStateEx(&files[i], &files[i]);
    // The lines the module handed to the host: unknown ones are only noted,
    // impossible ones refused.
    for (size_t k = 0; k < files[i].parsed.size(); ++k) {
      size_t at = files[i].parsed_from[k];
      int line = at < b.line_numbers.size() ? b.line_numbers[at] : b.line;
      const std::string &why = files[i].parsed_why[k];
      auto verdict = static_cast<host::HostLineVerdict>(files[i].parsed_verdict[k]);
      if (verdict == host::HostLineVerdict::kUnknown)
        std::fprintf(err_, "tarvex-sim: %s:%d: warning: \"%s\" is neither a host line nor one of %s's; ignored\n",
                     scn_name_.c_str(), line, files[i].parsed[k].c_str(), b.class_name.c_str());
      else if (verdict == host::HostLineVerdict::kRefused)
        host_problems.push_back(host::ScenarioProblem{scn_name_, line, why});
    }
  }
  if (!host_problems.empty()) {
    PrintProblems(err_, host_problems);
    std::fprintf(err_, "tarvex-sim: %lu problem%s found; nothing flown\n", (unsigned long)host_problems.size(),
                 host_problems.size() == 1 ? "" : "s");
    bad_host_lines_ = true;
    return false;
  }
  for (auto *hv : vessels_) host::Callbacks(*hv)->clbkPostCreation();
  for (auto *hv : vessels_) host::PlaceBody(*hv);
  focus_ = Vessel(scn_.focus.empty() ? vessels_.front()->name : scn_.focus);
  fuel_start_ = focus_->FuelMass();
  EnterVirtualCockpit();
  return true;
}

// The host loads the virtual cockpit of the vessel in focus when its
// cockpit view turns virtual.
void Run::EnterVirtualCockpit() {
  if (host::world().cockpit_mode == COCKPIT_VIRTUAL) host::Callbacks(*focus_)->clbkLoadVC(0);
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

// Whether the HUD is drawn every step it shows: only while something records
// every step of it (the trace holds the module's calls while drawing).
// Otherwise a step merely marks the HUD due, and it is drawn when something
// looks at it: an `expect hud`, or the last look before the script takes it
// out of view.
bool Run::HudWanted() const { return trace_ != nullptr; }

void Run::DrawHud() {
  hud_.Clear();
  hud_answered_ = host::DrawHUD(*focus_, hud_, host::world().hud_mode);
  hud_drawn_ = true;
  hud_due_ = false;
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
    host::Callbacks(*hv)->clbkPostStep(t_, dt, mjd);
  }
  hud_due_ = HudVisible();
  if (hud_due_ && HudWanted()) DrawHud();
  if (g_advance) g_advance(dt);
  if (g_clear_calls) g_clear_calls();  // the service's call record is not needed here
  if (report_)
    report_->Observe(t_, vessels_, (size_t)SoundId(focus_), sound_ ? SlotPlaying : nullptr, g_slot_state, g_slot_file);
  FlushTrace();
}

// The HUD as the host shows it now: this step's redraw, made now if there
// was none yet.
HudFrame Run::HudFrameNow() {
  host::World &w = host::world();
  std::string hidden = HudHidden(w.cockpit_mode, w.camera_internal, w.hud_mode);
  if (!hidden.empty()) {
    HudFrame f;
    f.t = t_, f.paint = host::DefaultHudPaint(), f.why_not = hidden;
    return f;
  }
  if (hud_due_ || !hud_drawn_) DrawHud();
  return FrameOfRedraw(t_, host::DefaultHudPaint(), hud_, hud_answered_);
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
      ramps_.erase(
          std::remove_if(ramps_.begin(), ramps_.end(), [&](const Ramp &r) { return r.hv == hv && r.name == ev.name; }),
          ramps_.end());
      if (ev.over > 0)
        ramps_.push_back(Ramp{hv, ev.name, ControlValue(*hv, ev.name), ev.value, t_, ev.over});
      else
        SetControl(*hv, ev.name, ev.value);
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
      if (PrepareScriptSave(ev.name, error) && SaveScenario(ev.name, error))
        written_.push_back(ev.name + " (scenario saved at t=" + Seconds(t_) + " s)");
      else
        std::fprintf(err_, "tarvex-sim: %s: %s\n", ev.Where().c_str(), error.c_str()), output_failed_ = true;
      break;
    }
    case Command::HudFrame: {
      std::string error;
      HudFrame f = HudFrameNow();
      if (PrepareScriptSave(ev.name, error) &&
          WriteOutput(ev.name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + HudFrameSvg(f), true, error))
        written_.push_back(ev.name + " (HUD frame at t=" + Seconds(t_) + " s)");
      else
        std::fprintf(err_, "tarvex-sim: %s: %s\n", ev.Where().c_str(), error.c_str()), output_failed_ = true;
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
      double v = Measure(*hv, t_, SoundId(hv), sound_ ? SlotPlaying : nullptr)[ev.column];
      ok = Holds(ev.op, v, ev.value, ev.tolerance);
      std::snprintf(buf, sizeof buf, "%.10g", v);
      actual = buf;
      break;
    }
    case Command::ExpectHud:
      if (hud_due_) DrawHud();
      if (!hud_drawn_) {
        actual = "no HUD drawn yet";
        break;
      }
      for (auto &item : hud_.texts) {
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
      ok = SlotPlaying(SoundId(hv), ev.mode) == ev.on;
      actual = SlotPlaying(SoundId(hv), ev.mode) ? "playing" : "stopped";
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
  std::fprintf(err_, "tarvex-sim: %s: expectation failed at t=%.3f s: %s (actual %s)\n", ev.Where().c_str(), t_,
               ev.source.c_str(), actual.c_str());
}

void Run::MoveRamps() {
  for (size_t i = 0; i < ramps_.size();) {
    Ramp &r = ramps_[i];
    double f = (t_ - r.start) / r.over;
    if (f < 1 - 1e-9) {
      SetControl(*r.hv, r.name, r.from + (r.to - r.from) * f);
      ++i;
    } else {
      SetControl(*r.hv, r.name, r.to);
      ramps_.erase(ramps_.begin() + (long)i);
    }
  }
}

// Hands the reacting lines this step's telemetry, measured for each vessel
// once a line asks for it; checks the `expect` of every `when` that fires.
bool Run::React(std::vector<const Trigger *> &fired) {
  if (samples_.size() != vessels_.size()) samples_.resize(vessels_.size());
  measured_.assign(vessels_.size(), false);
  auto value = [this](const std::string &vessel, int column) {
    host::HostVessel *hv = Vessel(vessel);
    size_t i = (size_t)SoundId(hv);
    if (!measured_[i]) Measure(*hv, t_, (int)i, sound_ ? SlotPlaying : nullptr, samples_[i]), measured_[i] = true;
    return samples_[i][(size_t)column];
  };
  bool stop = reactions_.Observe(t_, value, fired);
  for (const Trigger *tr : fired) {
    if (report_) report_->Fired(*tr);
    if (tr->line.command >= Command::Expect) Check(tr->line);
    if (tr->line.timing == Timing::Stop && !stopped_by_) stopped_by_ = tr;
  }
  return stop;
}

std::string Run::EndText() const {
  if (!stopped_by_) return "the run ended at t=" + Seconds(t_) + " s";
  return "the run stopped at t=" + Seconds(t_) + " s by " + stopped_by_->line.Where() + " \"" +
         stopped_by_->line.source + "\"";
}

// At the end: the checks over time give their verdicts, and the conditions
// that never fired are told (a failure when they carry an expectation).
void Run::ReportReactions() {
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
  if (!csv_ && o_.plot.empty() && !report_ && !table) return;
  Sample &s = sample_;
  Measure(*focus_, t_, SoundId(focus_), sound_ ? SlotPlaying : nullptr, s);
  if (csv_) {
    const std::string &row = csv_row_.Row(s);
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
  s.description.push_back("Saved by tarvex-sim at t=" + Seconds(t_) + " s of " + scn_name_ + ".");
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
  for (auto &f : written_) s += "  wrote " + f + "\n";
  s += code == kPassed ? "result: passed\n" : "result: FAILED\n";
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
    std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), output_failed_ = true;
  }
}

bool Run::OpenOutputs() {
  std::string error;
  if (!o_.csv.empty()) {
    if (!csv_file_.Open(o_.csv, true, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
    csv_ = csv_file_.Stream();
  }
  if (!o_.trace.empty()) {
    if (!trace_file_.Open(o_.trace, true, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
    trace_ = trace_file_.Stream();
  }
  return true;
}

void Run::Commit(OutputFile &f, const std::string &path, const std::string &what) {
  std::string error;
  if (f.Commit(error))
    written_.push_back(path + " (" + what + ")");
  else
    std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), output_failed_ = true;
}

int Run::Go() {
  if (!Prepare()) return kBadInput;
  std::string error;
  if (!o_.report.empty()) report_.reset(new ReportRecorder(o_.hud_every, std::max(0.1, duration_ / 4000)));
  if (!Load()) return bad_host_lines_ ? kBadInput : kModuleFailed;
  if (!OpenOutputs()) return kOutputFailed;
  if (csv_) std::setvbuf(csv_, nullptr, _IOFBF, 1 << 16);  // a row every step: fewer, larger writes
  FlushTrace();                                            // the set-up calls, as step 0
  if (csv_) std::fprintf(csv_, "%s\n", CsvHeader().c_str());
  if (!o_.quiet) std::fprintf(out_, "%s\n", TableHeader().c_str());
  Record(true);
  progress_ = Terminal(err_);
  const std::time_t started = std::time(nullptr);
  std::time_t last_progress = started;
  bool progress_shown = false;
  const double eps = 1e-9;
  std::vector<const Trigger *> fired;
  while (true) {
    // Controls on a ramp take their level for now, so that what is checked
    // now sees it.
    if (!ramps_.empty()) MoveRamps();
    // Expectations see the state reached, conditions too (a `when` with an
    // `expect` is checked as it fires); then this time's inputs apply,
    // the timed ones first. A `stop when` ends the run after the checks.
    for (size_t i = next_event_; i < events_.size() && events_[i].time <= t_ + eps; ++i) Check(events_[i]);
    fired.clear();
    if (!reactions_.Empty() && React(fired)) break;
    // The HUD as the last step showed it, before this time's inputs move it
    // out of view (later looks see that picture, as they would on screen).
    for (size_t i = next_event_; hud_due_ && i < events_.size() && events_[i].time <= t_ + eps; ++i)
      if (MovesHud(events_[i])) DrawHud();
    for (const Trigger *tr : fired)
      if (hud_due_ && MovesHud(tr->line)) DrawHud();
    for (; next_event_ < events_.size() && events_[next_event_].time <= t_ + eps; ++next_event_)
      Apply(events_[next_event_]);
    for (const Trigger *tr : fired)
      if (tr->line.command < Command::Expect) Apply(tr->line);
    if (t_ >= duration_ - eps) break;
    if (steps_ >= o_.max_steps) {
      std::fprintf(err_,
                   "tarvex-sim: stopped at t=%.3f s after %ld steps, the step cap (--max-steps); the run was to "
                   "end at %.3f s\n",
                   t_, steps_, duration_);
      capped_ = true;
      break;
    }
    Step();
    Record(false);
    if (HudFrameWanted()) report_->AddFrame(HudFrameNow());
    if (progress_ && (steps_ & 1023) == 0) {
      const std::time_t now = std::time(nullptr);
      if (now - started > 2 && now != last_progress) {
        std::fprintf(err_, "\rtarvex-sim: t = %.1f of %.1f s", t_, duration_);
        last_progress = now, progress_shown = true;
      }
    }
  }
  if (progress_shown) std::fprintf(err_, "\n");
  if (!o_.quiet && steps_ % o_.every != 0)
    std::fprintf(out_, "%s\n", TableRow(Measure(*focus_, t_, SoundId(focus_), sound_ ? SlotPlaying : nullptr)).c_str());
  for (size_t i = next_event_; i < events_.size(); ++i) {
    if (events_[i].command < Command::Expect) continue;
    ++failed_;
    if (report_) report_->Expectation(events_[i], events_[i].time, "not reached", EndText());
    std::fprintf(err_, "tarvex-sim: %s: expectation not reached: %s\n", events_[i].Where().c_str(), EndText().c_str());
  }
  ReportReactions();
  if (csv_) Commit(csv_file_, o_.csv, "telemetry, one row per step");
  csv_ = nullptr;
  if (!o_.plot.empty()) {
    if (WriteOutput(o_.plot, PlotSvg(plot_.Points(), "Tarvex flight: " + scn_name_), true, error))
      written_.push_back(o_.plot + " (chart of the flight)");
    else
      std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), output_failed_ = true;
  }
  if (!o_.save.empty()) {
    if (SaveScenario(o_.save, error))
      written_.push_back(o_.save + " (scenario saved at the end)");
    else
      std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), output_failed_ = true;
  }
  if (trace_) {
    FlushTrace();
    Commit(trace_file_, o_.trace, "host calls of the module");
    trace_ = nullptr;
  }
  if (report_) WriteReport();
  int code = Verdict();
  if (o_.quiet)  // what was written is said even so
    for (auto &f : written_) std::fprintf(out_, "wrote %s\n", f.c_str());
  else
    std::fprintf(out_, "\n%s", SummaryText(code).c_str());
  return code;
}

}  // namespace

int Fly(const Options &options, std::FILE *out, std::FILE *err) {
  Run run(options, out, err);
  return run.Go();
}

}  // namespace sim
