#include "package/manual_probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/harness.h"
#include "module/shuttlepb.h"
#include "sim/keys.h"
#include "sound_service/service_control.h"

namespace manual {

namespace {

// The vessel's animation identifiers by name, so the art list can say which
// part each group belongs to. Every animation the module creates must be
// one of these (the manual refuses to be written otherwise).
struct AnimationMember {
  const char *name;
  UINT ShuttlePB::*member;
};
const AnimationMember kAnimationMembers[] = {
    {"anim_wheel", &ShuttlePB::anim_wheel},
    {"anim_gear", &ShuttlePB::anim_gear},
    {"anim_rudder", &ShuttlePB::anim_rudder},
    {"anim_elevator", &ShuttlePB::anim_elevator},
    {"anim_laileron", &ShuttlePB::anim_laileron},
    {"anim_raileron", &ShuttlePB::anim_raileron},
    {"anim_rbrake", &ShuttlePB::anim_rbrake},
    {"anim_lbrake", &ShuttlePB::anim_lbrake},
    {"anim_cover", &ShuttlePB::anim_cover},
    {"anim_nozzle_ind", &ShuttlePB::anim_nozzle_ind},
    {"anim_fandoors", &ShuttlePB::anim_fandoors},
    {"anim_liftfan", &ShuttlePB::anim_liftfan},
    {"anim_nosewheel_steer", &ShuttlePB::anim_nosewheel_steer},
    {"anim_canopy", &ShuttlePB::anim_canopy},
    {"anim_status_c", &ShuttlePB::anim_status_c},
    {"anim_status_d", &ShuttlePB::anim_status_d},
    {"anim_status_e", &ShuttlePB::anim_status_e},
    {"anim_status_a", &ShuttlePB::anim_status_a},
    {"anim_status_b", &ShuttlePB::anim_status_b},
    {"anim_status_f", &ShuttlePB::anim_status_f},
    {"anim_status_dial", &ShuttlePB::anim_status_dial},
    {"anim_nose_strut", &ShuttlePB::anim_nose_strut},
    {"anim_main_strut", &ShuttlePB::anim_main_strut},
};

std::string Unquote(const std::string &s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

// A key's name as a script writes it.
std::string KeyName(unsigned code) {
  for (const sim::KeyName &k : sim::Keys())
    if (k.code == code) return k.name;
  return "code " + std::to_string(code);
}

std::string MeshName(MESHHANDLE h) { return h ? static_cast<host::Mesh *>(h)->name : "(none)"; }

std::string Fixed(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.3f", v);
  return b;
}

// The text a HUD line is known by: what comes before its number.
std::string Label(const std::string &text) {
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    bool number_starts = (c >= '0' && c <= '9') ||
                         ((c == '-' || c == '.') && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9');
    if (number_starts && (i == 0 || text[i - 1] == ' ')) break;
    ++i;
  }
  std::string l = text.substr(0, i);
  while (!l.empty() && l.back() == ' ') l.pop_back();
  return l;
}

void SetUpFindings(host::HostVessel &hv, Findings &f, TarvexSound_CallCountFn count, TarvexSound_CallFn call) {
  for (const host::TraceEntry &e : host::world().trace.Entries()) {
    if (e.name == "oapiLoadMeshGlobal") f.meshes_loaded.push_back(Unquote(e.args));
    if (e.name == "oapiRegisterExhaustTexture") f.exhaust_textures.push_back(Unquote(e.args));
  }
  for (const host::MeshSlot &m : hv.meshes) f.mesh_slots.push_back(m.present ? MeshName(m.mesh) : "(none)");

  auto *ship = static_cast<ShuttlePB *>(hv.vessel);
  for (UINT id = 0; id < hv.animations.size(); ++id) {
    AnimationUse a{id, "", {}};
    for (const AnimationMember &m : kAnimationMembers)
      if (ship->*m.member == id) a.member = m.name;
    for (const host::AnimComponent *c : hv.animations[id].components) {
      AnimationPart p{"none", 0, {}, c->state0, c->state1};
      if (c->trans) {
        MGROUP_TRANSFORM::TYPE t = c->trans->Type();
        p.kind = t == MGROUP_TRANSFORM::ROTATE      ? "rotation"
                 : t == MGROUP_TRANSFORM::TRANSLATE ? "translation"
                                                    : "scale";
        p.mesh = c->trans->mesh;
        for (UINT g = 0; g < c->trans->ngrp && c->trans->grp; ++g) p.groups.push_back(c->trans->grp[g]);
      }
      a.parts.push_back(p);
    }
    f.animations.push_back(a);
  }

  // The sound service's calls of the set-up: the slots and their files.
  for (int i = 0, n = count ? count() : 0; i < n; ++i) {
    std::string c = call(i);
    int id, slot, mode, which;
    char file[512];
    if (std::sscanf(c.c_str(), "LoadVesselWaveOBSound3(%d, %d, \"%511[^\"]\", %d)", &id, &slot, file, &mode) == 4)
      f.slots.push_back({slot, file, mode});
    else if (std::sscanf(c.c_str(), "ReplaceStockOBSound3(%d, \"%511[^\"]\", %d)", &id, file, &which) == 3)
      f.replaced_stock_sounds.push_back(std::string(file) + " (stock sound " + std::to_string(which) + ")");
  }
  std::stable_sort(f.slots.begin(), f.slots.end(),
                   [](const SoundSlot &a, const SoundSlot &b) { return a.slot < b.slot; });
}

// The HUD as drawn in the states that show every line: parked, with the
// three holds on, at the hover nozzle setting, beyond it, and in a hard
// descent low down with the gear down.
void HudFindings(host::HostVessel &hv, Findings &f) {
  host::Step(hv);  // the first step gives the holds their numbers
  host::RecordingSketchpad skp;
  auto draw = [&] {
    skp.Clear();
    host::DrawHUD(hv, skp);
    for (const auto &t : skp.texts) {
      std::string label = Label(t.text), at = std::to_string(t.x) + ", " + std::to_string(t.y);
      HudLine *known = nullptr;
      for (HudLine &l : f.hud_lines)
        if (l.label == label) known = &l;
      if (!known)
        f.hud_lines.push_back({at, label, t.text});
      else if (known->at.find(at) == std::string::npos)
        known->at += "; " + at, known->example += "; " + t.text;
    }
    for (const auto &s : skp.shapes) f.gear_symbol = f.gear_symbol || s.kind == "ellipse";
  };
  draw();
  hv.navmode[NAVMODE_HOLDALT] = hv.navmode[NAVMODE_HLEVEL] = hv.navmode[NAVMODE_KILLROT] = true;
  draw();
  hv.navmode[NAVMODE_HOLDALT] = hv.navmode[NAVMODE_HLEVEL] = hv.navmode[NAVMODE_KILLROT] = false;
  for (int i = 0; i < 10; ++i) host::Key(hv, OAPI_KEY_9);
  draw();
  for (int i = 0; i < 2; ++i) host::Key(hv, OAPI_KEY_9);
  draw();
  hv.altitude = 50;
  hv.horizon_airspeed = _V(0, -10, 0);
  draw();
  host::Key(hv, OAPI_KEY_2);  // the warning acknowledged
  hv.altitude = 0;
  hv.horizon_airspeed = _V(0, 0, 0);
  for (int i = 0; i < 12; ++i) host::Key(hv, OAPI_KEY_8);
}

void AreaFindings(host::HostVessel &hv, Findings &f) {
  host::World &w = host::world();
  host::Callbacks(hv)->clbkLoadVC(0);
  char b[160];
  std::snprintf(b, sizeof b, "mesh %lu, group %lu, centre (%s, %s, %s), size %s", (unsigned long)w.hud.nmesh,
                (unsigned long)w.hud.ngroup, Fixed(w.hud.hudcnt.x).c_str(), Fixed(w.hud.hudcnt.y).c_str(),
                Fixed(w.hud.hudcnt.z).c_str(), Fixed(w.hud.size).c_str());
  f.hud_spec = b;
  f.display_groups.push_back({(unsigned)w.hud.nmesh, (unsigned)w.hud.ngroup, "HUD"});
  for (int m = 0; m < 2; ++m) {
    std::snprintf(b, sizeof b, "mesh %lu, group %lu", (unsigned long)w.mfd[m].nmesh, (unsigned long)w.mfd[m].ngroup);
    f.mfd_specs[m] = b;
    f.display_groups.push_back({(unsigned)w.mfd[m].nmesh, (unsigned)w.mfd[m].ngroup, m ? "right MFD" : "left MFD"});
  }
  const char *mfd_name[] = {"left MFD", "right MFD"};
  for (const host::VCArea &a : w.areas) {
    w.mfd_keys.clear();
    w.mfd_buttons.clear();
    VECTOR3 p = _V(0, 0, 0);
    host::Callbacks(hv)->clbkVCMouseEvent(a.id, PANEL_MOUSE_LBDOWN, p);
    std::string action = "nothing";
    if (!w.mfd_keys.empty()) {
      auto k = w.mfd_keys.front();
      action = std::string(mfd_name[k.first == MFD_RIGHT]) + ": key " + KeyName(k.second);
    } else if (!w.mfd_buttons.empty()) {
      auto bp = w.mfd_buttons.front();
      action = std::string(mfd_name[bp.mfd == MFD_RIGHT]) + ": button " + std::to_string(bp.button + 1);
    }
    f.areas.push_back({a.id, a.centre.x, a.centre.y, a.centre.z, a.radius, action});
  }
}

// A key is one the vessel uses when the host sees it consumed or the vessel
// calls the host for it, in flight or on the ground.
void KeyFindings(host::HostVessel &hv, Findings &f) {
  host::Trace &trace = host::world().trace;
  for (unsigned code = 1; code < 256; ++code) {
    bool used = false;
    for (bool ground : {false, true}) {
      hv.ground_contact = ground;
      size_t before = trace.Entries().size();
      int consumed = host::Key(hv, code);
      used = used || consumed != 0 || trace.Entries().size() > before;
    }
    if (used) f.keys.push_back({code, KeyName(code)});
  }
  hv.ground_contact = true;
}

// The vessel's own scenario lines: every line the manual describes is
// loaded with a value that is not the default (a line the module does not
// take would reach the host's parser), then the vessel is saved and every
// line it writes is read back by name.
void LineFindings(host::HostVessel &hv, const std::vector<std::string> &lines, Findings &f) {
  host::ScenarioFile file;
  file.lines = lines;
  host::Callbacks(hv)->clbkLoadStateEx(&file, &file);
  f.lines_not_taken = file.parsed;
  host::Step(hv);
  if (host::Thruster *th = hv.ThrusterByIndex(0)) th->level = 0.5;
  // The host writes its own lines first; the vessel's go through the
  // host's scenario-writing functions.
  host::Trace &trace = host::world().trace;
  size_t before = trace.Entries().size();
  std::vector<std::string> written = host::Save(hv);
  size_t own = 0;
  for (size_t i = before; i < trace.Entries().size(); ++i)
    own += trace.Entries()[i].name.rfind("oapiWriteScenario_", 0) == 0;
  for (size_t i = written.size() - std::min(own, written.size()); i < written.size(); ++i)
    f.saved_lines.push_back(written[i].substr(written[i].find_first_not_of(' ')));
}

// A vessel set up before the sound service is there: what it writes to the
// service's log, in the working folder, as a pilot's host would find it.
void SilentFindings(const host::ModuleApi &api, Findings &f) {
  const char *log = "OrbiterSound_Log.txt";
  std::string before, after;
  auto read = [log](std::string &text) {
    text.clear();
    if (std::FILE *in = std::fopen(log, "rb")) {
      char b[4096];
      for (size_t n; (n = std::fread(b, 1, sizeof b, in)) > 0;) text.append(b, n);
      std::fclose(in);
    }
  };
  read(before);
  host::HostVessel &hv = host::AddVessel("Silent");
  hv.ground_contact = true;
  if (host::CreateVessel(api, hv)) {
    host::SetUpVessel(hv, {});
    f.silent_id = static_cast<ShuttlePB *>(hv.vessel)->MyID;
  }
  host::DestroyVessel(api, hv);
  host::world().trace.Clear();
  read(after);
  std::string added = after.size() > before.size() ? after.substr(before.size()) : "";
  size_t start = 0;
  for (size_t end; (end = added.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = added.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("ERR", 0) == 0) f.silent_log.push_back(line);
  }
}

}  // namespace

bool Probe(const std::string &module_path, const std::string &sound_path, const std::vector<std::string> &lines,
           Findings &f, std::string &error) {
  host::ModuleApi api;
  if (!host::LoadModule(module_path, api, error)) return false;
  SilentFindings(api, f);
  void *sound = host::LoadLibraryPath(sound_path, error);
  if (!sound) return false;
  auto keep = reinterpret_cast<TarvexSound_KeepCallsFn>(host::LibrarySymbol(sound, "TarvexSound_KeepCalls"));
  auto count = reinterpret_cast<TarvexSound_CallCountFn>(host::LibrarySymbol(sound, "TarvexSound_CallCount"));
  auto call = reinterpret_cast<TarvexSound_CallFn>(host::LibrarySymbol(sound, "TarvexSound_Call"));
  if (keep) keep(1);
  if (api.ModuleDate) f.module_date = api.ModuleDate();
  if (api.GetModuleVersion) f.module_version = api.GetModuleVersion();

  host::HostVessel &hv = host::AddVessel("Tarvex1");
  hv.ground_contact = true;
  if (!host::CreateVessel(api, hv)) return error = "the module created no vessel", false;
  host::SetUpVessel(hv, {});
  SetUpFindings(hv, f, count, call);

  // Mesh index 1 holds one cockpit variant for each position of the lights
  // switch; the open view takes the cockpit away.
  auto cockpit = [&hv] { return hv.meshes.size() > 1 && hv.meshes[1].present ? MeshName(hv.meshes[1].mesh) : ""; };
  f.cockpit_lights_on = cockpit();
  host::Key(hv, OAPI_KEY_K);
  host::Step(hv);
  f.cockpit_lights_off = cockpit();
  host::Key(hv, OAPI_KEY_K);
  host::Step(hv);
  host::Key(hv, OAPI_KEY_V);
  f.open_view_cockpit_mesh = cockpit();
  host::Key(hv, OAPI_KEY_V);

  HudFindings(hv, f);
  AreaFindings(hv, f);
  KeyFindings(hv, f);
  LineFindings(hv, lines, f);
  host::DestroyVessel(api, hv);
  return true;
}

}  // namespace manual
