// The host's global functions and the world they act on.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/host_lines.h"
#include "host/scenario_file.h"
#include "host/world.h"

using namespace host;

namespace host {

World &world() {
  static World *w = new World();  // lives for the whole process, never destroyed
  return *w;
}

void ResetWorld() {
  World &w = world();
  w.time_acceleration = 1.0;
  w.camera_internal = true;
  w.cockpit_mode = COCKPIT_VIRTUAL;
  w.hud_mode = HUD_SURFACE;
  w.vessels.clear();
  w.failing_meshes.clear();
  w.hud_registered = false;
  w.mfd_registered[0] = w.mfd_registered[1] = false;
  w.areas.clear();
  w.mfd_keys.clear();
  w.mfd_buttons.clear();
  w.trace.Clear();
  w.trace.enabled = true;
  w.trace.step_counter = 0;
}

// Newest first: a vessel is looked up as it is made, and the flight host
// destroys its vessels newest first.
HostVessel *World::FindVessel(OBJHANDLE h) const {
  for (auto v = vessels.rbegin(); v != vessels.rend(); ++v)
    if (v->get() == h) return v->get();
  return nullptr;
}

HostVessel *World::FindVessel(const std::string &name) const {
  for (auto &v : vessels)
    if (v->name == name) return v.get();
  return nullptr;
}

VCArea *World::FindArea(int id) {
  for (auto &a : areas)
    if (a.id == id) return &a;
  return nullptr;
}

// The module's vessel objects are always created on a host vessel record; the
// handle the object was constructed with is that record.
HostVessel &HostOf(const VESSEL *v) { return *static_cast<HostVessel *>(v->hObj_); }

}  // namespace host

namespace {
void RecGlobal(const char *name, std::string args = std::string()) {
  World &w = world();
  if (w.trace.enabled) w.trace.Add("", name, std::move(args));
}
}  // namespace

// --- Library set-up -----------------------------------------------------------

extern "C" void InitLib(HINSTANCE hModule) {
  World &w = world();
  w.initlib_handle = hModule;
  ++w.initlib_calls;
  RecGlobal("InitLib", hModule ? "module" : "null");
}

// Date2Int encodes a date text "Mmm dd yyyy" (as the compiler's __DATE__
// writes it) as the integer yyyymmdd; "Aug 30 2010" gives 20100830. A text
// that is not such a date gives 0.
extern "C" int Date2Int(const char *date) {
  World &w = world();
  ++w.date2int_calls;
  RecGlobal("Date2Int", Str(date));
  if (!date) return 0;
  static const char *months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char mon[4] = {0};
  int day = 0, year = 0;
  if (std::sscanf(date, "%3s %d %d", mon, &day, &year) != 3) return 0;
  for (int m = 0; m < 12; ++m)
    if (std::strcmp(mon, months[m]) == 0) {
      if (day < 1 || day > 31 || year < 0 || year > 9999) return 0;
      return year * 10000 + (m + 1) * 100 + day;
    }
  return 0;
}

// --- Meshes and textures --------------------------------------------------------

MESHHANDLE oapiLoadMeshGlobal(const char *fname) {
  RecGlobal("oapiLoadMeshGlobal", Str(fname));
  World &w = world();
  std::string name = fname ? fname : "";
  if (!fname || w.failing_meshes.count(name)) return nullptr;
  auto &slot = w.meshes[name];  // a global mesh is loaded once and shared
  if (!slot) slot = std::make_unique<Mesh>(Mesh{name});
  return slot.get();
}

SURFHANDLE oapiRegisterExhaustTexture(const char *name) {
  RecGlobal("oapiRegisterExhaustTexture", Str(name));
  World &w = world();
  std::string n = name ? name : "";
  auto &slot = w.textures[n];
  if (!slot) slot = std::make_unique<Mesh>(Mesh{n});
  return slot.get();
}

// --- Host-wide settings -------------------------------------------------------

double oapiGetTimeAcceleration() {
  RecGlobal("oapiGetTimeAcceleration");
  return world().time_acceleration;
}

void oapiSetTimeAcceleration(double warp) {
  RecGlobal("oapiSetTimeAcceleration", Num(warp));
  world().time_acceleration = warp;
}

bool oapiCameraInternal() {
  RecGlobal("oapiCameraInternal");
  return world().camera_internal;
}

int oapiCockpitMode() {
  RecGlobal("oapiCockpitMode");
  return world().cockpit_mode;
}

int oapiGetHUDMode() {
  RecGlobal("oapiGetHUDMode");
  return world().hud_mode;
}

// Induced drag coefficient of a wing: the usual cl^2 / (pi * A * e) with
// aspect ratio A and span efficiency e.
double oapiGetInducedDrag(double cl, double A, double e) {
  // Called for every airfoil in every sub-step: the world is looked up once.
  static const Trace &trace = world().trace;
  if (trace.enabled) RecGlobal("oapiGetInducedDrag", Args(Num(cl), Num(A), Num(e)));
  return cl * cl / (PI * A * e);
}

// --- Virtual cockpit ------------------------------------------------------------

void oapiVCRegisterMFD(int mfd, const VCMFDSPEC *spec) {
  RecGlobal("oapiVCRegisterMFD", Args(std::to_string(mfd), spec ? "{" + std::to_string(spec->nmesh) + ", " +
                                                                      std::to_string(spec->ngroup) + "}"
                                                                : std::string("null")));
  World &w = world();
  if (mfd == 0 || mfd == 1) {
    w.mfd_registered[mfd] = spec != nullptr;
    if (spec) w.mfd[mfd] = *spec;
  }
}

void oapiVCRegisterHUD(const VCHUDSPEC *spec) {
  RecGlobal("oapiVCRegisterHUD", spec ? "{" + std::to_string(spec->nmesh) + ", " + std::to_string(spec->ngroup) + ", " +
                                            Vec(spec->hudcnt) + ", " + Num(spec->size) + "}"
                                      : std::string("null"));
  World &w = world();
  w.hud_registered = spec != nullptr;
  if (spec) w.hud = *spec;
}

void oapiVCRegisterArea(int id, int draw_event, int mouse_event) {
  RecGlobal("oapiVCRegisterArea", Args(std::to_string(id), std::to_string(draw_event), std::to_string(mouse_event)));
  World &w = world();
  VCArea *a = w.FindArea(id);
  if (!a) {
    w.areas.push_back(VCArea{});
    a = &w.areas.back();
  }
  a->id = id, a->draw_event = draw_event, a->mouse_event = mouse_event;
}

void oapiVCSetAreaClickmode_Spherical(int id, const VECTOR3 &cnt, double rad) {
  RecGlobal("oapiVCSetAreaClickmode_Spherical", Args(std::to_string(id), Vec(cnt), Num(rad)));
  if (VCArea *a = world().FindArea(id)) a->spherical = true, a->centre = cnt, a->radius = rad;
}

bool oapiProcessMFDButton(int mfd, int bt, int event) {
  RecGlobal("oapiProcessMFDButton", Args(std::to_string(mfd), std::to_string(bt), std::to_string(event)));
  world().mfd_buttons.push_back(World::ButtonPress{mfd, bt, event});
  return true;
}

int oapiSendMFDKey(int mfd, DWORD key) {
  RecGlobal("oapiSendMFDKey", Args(std::to_string(mfd), std::to_string(key)));
  world().mfd_keys.emplace_back(mfd, key);
  return 1;
}

// --- Scenario files -------------------------------------------------------------

bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line) {
  RecGlobal("oapiReadScenario_nextline");
  auto *f = static_cast<ScenarioFile *>(scn);
  if (!f || f->next >= f->lines.size()) return false;
  // The line without its indentation, in a buffer of its own that the
  // module may read (and edit) up to the terminator, whatever its length.
  const std::string &stored = f->lines[f->next++];
  size_t start = stored.find_first_not_of(" \t");
  f->current = start == std::string::npos ? std::string() : stored.substr(start);
  line = &f->current[0];  // std::string keeps a terminator after its data
  return true;
}

void oapiWriteScenario_int(FILEHANDLE scn, const char *item, int i) {
  RecGlobal("oapiWriteScenario_int", Args(Str(item), std::to_string(i)));
  if (auto *f = static_cast<ScenarioFile *>(scn))
    f->written.push_back("  " + std::string(item ? item : "") + " " + std::to_string(i));
}

void oapiWriteScenario_float(FILEHANDLE scn, const char *item, double d) {
  RecGlobal("oapiWriteScenario_float", Args(Str(item), Num(d)));
  if (auto *f = static_cast<ScenarioFile *>(scn))
    f->written.push_back("  " + std::string(item ? item : "") + " " + Num(d));
}

void oapiWriteScenario_string(FILEHANDLE scn, const char *item, const char *string) {
  RecGlobal("oapiWriteScenario_string", Args(Str(item), Str(string)));
  if (auto *f = static_cast<ScenarioFile *>(scn))
    f->written.push_back("  " + std::string(item ? item : "") + " " + std::string(string ? string : ""));
}

// The host's parser for its own lines; `status` is the host's scenario
// reader, which keeps every line it was handed.
void VESSEL::ParseScenarioLineEx(char *line, void *status) const {
  RecGlobal("ParseScenarioLineEx", Args(Str(line), status ? "status" : "null"));
  std::string why;
  HostLineVerdict verdict = CheckHostLine(HostOf(this), line, why);
  if (auto *f = static_cast<ScenarioFile *>(status)) {
    f->parsed.push_back(line ? line : "");
    f->parsed_from.push_back(f->next ? f->next - 1 : 0);
    f->parsed_verdict.push_back(static_cast<int>(verdict));
    f->parsed_why.push_back(why);
  }
}

// The host's standard vessel lines.
void VESSEL2::clbkSaveState(FILEHANDLE scn) {
  RecGlobal("VESSEL2::clbkSaveState");
  if (auto *f = static_cast<ScenarioFile *>(scn))
    for (auto &l : HostLines(HostOf(this))) f->written.push_back(l);
}

// The host's default load: every line goes to the host's own parser.
void VESSEL2::clbkLoadStateEx(FILEHANDLE scn, void *status) {
  char *line;
  while (oapiReadScenario_nextline(scn, line)) ParseScenarioLineEx(line, status);
}
