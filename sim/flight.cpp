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
#include "host/physics.h"
#include "host/scenario_text.h"
#include "sim/hud_frame.h"
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
// Whether a path names a folder, and making one folder. (The system's own
// routines: the flight host is also built in the host's Microsoft ABI, which
// has the C++ library's headers only, no file streams or file-system library.)
#if defined(_WIN32)
void *Symbol(void *lib, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
bool Terminal(std::FILE *f) { return _isatty(_fileno(f)) != 0; }
bool IsFolder(const std::string &path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
void MakeFolder(const std::string &path) { CreateDirectoryA(path.c_str(), nullptr); }
#else
void *Symbol(void *lib, const char *name) { return dlsym(lib, name); }
bool Terminal(std::FILE *f) { return isatty(fileno(f)) != 0; }
bool IsFolder(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
void MakeFolder(const std::string &path) { mkdir(path.c_str(), 0777); }
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

bool SlotPlaying(int id, int slot) { return g_slot_state && g_slot_state(id, slot, nullptr, nullptr, nullptr) != 0; }

bool ReadFile(const std::string &path, std::string &text, std::string &error) {
  if (IsFolder(path)) return error = path + " is a directory, not a file", false;
  std::FILE *in = std::fopen(path.c_str(), "rb");
  if (!in) return error = "cannot read " + path + ": no such file or not readable", false;
  text.clear();
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) text.append(buf, n);
  const bool ok = !std::ferror(in);
  std::fclose(in);
  if (!ok) error = "cannot read " + path;
  return ok;
}

// Opens a file for writing, making its folders first.
std::FILE *OpenOutput(const std::string &path, std::string &error) {
  for (size_t slash = path.find_first_of("/\\", 1); slash != std::string::npos;
       slash = path.find_first_of("/\\", slash + 1))
    if (!IsFolder(path.substr(0, slash))) MakeFolder(path.substr(0, slash));
  std::FILE *f = std::fopen(path.c_str(), "w");
  if (!f) error = "cannot write " + path;
  return f;
}

bool WriteText(const std::string &path, const std::string &text, std::string &error) {
  std::FILE *f = OpenOutput(path, error);
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok) error = "cannot write " + path;
  return ok;
}

class Run {
 public:
  Run(const Options &o, std::FILE *out, std::FILE *err) : o_(o), out_(out), err_(err) {}
  ~Run() {
    if (csv_) std::fclose(csv_);
    if (trace_) std::fclose(trace_);
  }
  Run(const Run &) = delete;
  Run &operator=(const Run &) = delete;
  int Go();

 private:
  bool Prepare();
  bool Load();
  void Step();
  void Apply(const ScriptEvent &ev);
  void Check(const ScriptEvent &ev);
  void Record(bool force_table);
  bool SaveScenario(const std::string &path, std::string &error);
  std::string SummaryText(int code) const;
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
  std::vector<ScriptEvent> events_;
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
  std::FILE *csv_ = nullptr, *trace_ = nullptr;
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
    if (!ReadFile(o_.scenario, text, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
  }
  host::ParseScenarioText(text, scn_name_, scn_, problems);
  if (problems.empty() && scn_.vessels.empty())
    problems.push_back(host::ScenarioProblem{scn_name_, 0, "expected at least one vessel block in BEGIN_SHIPS"});
  ParseScript(scn_.script, scn_name_, events_, problems);
  if (!o_.script.empty()) {
    std::string stext;
    if (!ReadFile(o_.script, stext, error)) return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), false;
    std::vector<ScriptEvent> more;
    ParseScript(host::ScriptFileLines(stext), o_.script, more, problems);
    events_.insert(events_.end(), more.begin(), more.end());
    std::stable_sort(events_.begin(), events_.end(),
                     [](const ScriptEvent &a, const ScriptEvent &b) { return a.time < b.time; });
  }
  // Vessel qualifiers must name a vessel of the scenario.
  for (auto &ev : events_) {
    if (ev.vessel.empty()) continue;
    bool known = false;
    for (auto &v : scn_.vessels) known |= v.name == ev.vessel;
    if (!known)
      problems.push_back(host::ScenarioProblem{
          ev.file, ev.line, "expected the name of a vessel of the scenario before \".\", found \"" + ev.vessel + "\""});
  }
  if (!problems.empty()) {
    for (auto &p : problems) std::fprintf(err_, "tarvex-sim: %s\n", p.Text().c_str());
    // (%lu: msvcrt.dll's printf, which the Microsoft-ABI host uses, knows no %zu.)
    std::fprintf(err_, "tarvex-sim: %lu problem%s found; nothing flown\n", (unsigned long)problems.size(),
                 problems.size() == 1 ? "" : "s");
    return false;
  }
  duration_ = o_.duration >= 0 ? o_.duration : events_.empty() ? 10 : events_.back().time + 1;
  return true;
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
  return w.cockpit_mode == COCKPIT_VIRTUAL && w.camera_internal && w.hud_mode != HUD_NONE;
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
  double acc = w.time_acceleration;
  if (!(acc > 0) || !std::isfinite(acc)) acc = 1;
  double dt = o_.dt * std::min(acc, 10000.0);
  for (auto *hv : vessels_) host::PhysicsStep(*hv, dt);
  t_ += dt;
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
      if (ev.name == "main")
        hv->SetGroupLevel(THGROUP_MAIN, ev.value);
      else if (ev.name == "hover")
        hv->SetGroupLevel(THGROUP_HOVER, ev.value);
      else if (ev.name == "elevator")
        hv->ctrl_level[AIRCTRL_ELEVATOR] = ev.value;
      else if (ev.name == "aileron")
        hv->ctrl_level[AIRCTRL_AILERON] = ev.value;
      else if (ev.name == "rudder")
        hv->ctrl_level[AIRCTRL_RUDDER] = ev.value;
      else if (ev.name == "trim")
        hv->ctrl_level[AIRCTRL_ELEVATORTRIM] = ev.value;
      else if (ev.name == "forward")
        hv->body.pilot_linear[0] = ev.value;
      else if (ev.name == "back")
        hv->body.pilot_linear[1] = ev.value;
      else if (ev.name == "brake")
        hv->wheelbrake[0] = hv->wheelbrake[1] = ev.value;
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
      if (SaveScenario(ev.name, error))
        written_.push_back(ev.name + " (scenario saved at t=" + Seconds(t_) + " s)");
      else
        std::fprintf(err_, "tarvex-sim: %s: %s\n", ev.Where().c_str(), error.c_str()), ++failed_;
      break;
    }
    case Command::HudFrame: {
      std::string error;
      HudFrame f = HudFrameNow();
      if (WriteText(ev.name, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + HudFrameSvg(f), error))
        written_.push_back(ev.name + " (HUD frame at t=" + Seconds(t_) + " s)");
      else
        std::fprintf(err_, "tarvex-sim: %s: %s\n", ev.Where().c_str(), error.c_str()), ++failed_;
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
  return WriteText(path, host::FormatScenarioText(s), error);
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
  for (auto &f : written_) s += "  wrote " + f + "\n";
  s += code == kPassed ? "result: passed\n" : "result: FAILED\n";
  return s;
}

// The report goes last, so that its summary names every other file written.
void Run::WriteReport() {
  std::vector<PlotMark> marks = report_->Marks();
  std::string chart = PlotSvg(plot_.Points(), "Tarvex flight: " + scn_name_, marks);
  written_.push_back(o_.report + " (flight report)");
  std::string summary = SummaryText(failed_ ? kExpectationFailed : kPassed);
  Report r = report_->Finish("Tarvex flight: " + scn_name_, scn_.description, summary, chart, t_);
  std::string error;
  if (!WriteText(o_.report, ReportHtml(r), error)) {
    written_.pop_back();
    std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), ++failed_;
  }
}

int Run::Go() {
  if (!Prepare()) return kBadInput;
  std::string error;
  if (!o_.csv.empty() && !(csv_ = OpenOutput(o_.csv, error)))
    return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), kBadInput;
  if (csv_) std::setvbuf(csv_, nullptr, _IOFBF, 1 << 16);  // a row every step: fewer, larger writes
  if (!o_.trace.empty() && !(trace_ = OpenOutput(o_.trace, error)))
    return std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), kBadInput;
  if (!o_.report.empty()) report_.reset(new ReportRecorder(o_.hud_every, std::max(0.1, duration_ / 4000)));
  if (!Load()) return kModuleFailed;
  FlushTrace();  // the set-up calls, as step 0
  if (csv_) std::fprintf(csv_, "%s\n", CsvHeader().c_str());
  if (!o_.quiet) std::fprintf(out_, "%s\n", TableHeader().c_str());
  Record(true);
  progress_ = Terminal(err_);
  const std::time_t started = std::time(nullptr);
  std::time_t last_progress = started;
  bool progress_shown = false;
  const double eps = 1e-9;
  while (true) {
    // Expectations see the state reached; then this time's inputs apply.
    for (size_t i = next_event_; i < events_.size() && events_[i].time <= t_ + eps; ++i) Check(events_[i]);
    // The HUD as the last step showed it, before this time's inputs move it
    // out of view (later looks see that picture, as they would on screen).
    for (size_t i = next_event_; hud_due_ && i < events_.size() && events_[i].time <= t_ + eps; ++i)
      if (events_[i].command == Command::Camera || events_[i].command == Command::Cockpit ||
          events_[i].command == Command::Hud)
        DrawHud();
    for (; next_event_ < events_.size() && events_[next_event_].time <= t_ + eps; ++next_event_)
      Apply(events_[next_event_]);
    if (t_ >= duration_ - eps) break;
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
    if (report_)
      report_->Expectation(events_[i], events_[i].time, "not reached", "the run ended at t=" + Seconds(t_) + " s");
    std::fprintf(err_, "tarvex-sim: %s: expectation not reached: the run ended at t=%.3f s\n",
                 events_[i].Where().c_str(), t_);
  }
  if (csv_) {
    if (std::fclose(csv_) != 0)
      std::fprintf(err_, "tarvex-sim: cannot write %s\n", o_.csv.c_str()), ++failed_;
    else
      written_.push_back(o_.csv + " (telemetry, one row per step)");
    csv_ = nullptr;
  }
  if (!o_.plot.empty()) {
    if (WriteText(o_.plot, PlotSvg(plot_.Points(), "Tarvex flight: " + scn_name_), error))
      written_.push_back(o_.plot + " (chart of the flight)");
    else
      std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), ++failed_;
  }
  if (!o_.save.empty()) {
    if (SaveScenario(o_.save, error))
      written_.push_back(o_.save + " (scenario saved at the end)");
    else
      std::fprintf(err_, "tarvex-sim: %s\n", error.c_str()), ++failed_;
  }
  if (trace_) {
    FlushTrace();
    std::fclose(trace_);
    trace_ = nullptr;
    written_.push_back(o_.trace + " (host calls of the module)");
  }
  if (report_) WriteReport();
  int code = failed_ ? kExpectationFailed : kPassed;
  if (!o_.quiet) std::fprintf(out_, "\n%s", SummaryText(code).c_str());
  for (auto *hv : vessels_) host::DestroyVessel(api_, *hv);
  return code;
}

}  // namespace

int Fly(const Options &options, std::FILE *out, std::FILE *err) {
  Run run(options, out, err);
  return run.Go();
}

}  // namespace sim
