#include "sim/telemetry.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "host/harness.h"
#include "host/physics.h"

namespace sim {

namespace {

enum Column {
  T,
  ALT,
  AIRSPEED,
  VS,
  PITCH,
  BANK,
  HEADING,
  FUEL,
  GROUND,
  MAIN_LEVEL,
  MAIN_MAX,
  HOVER_LEVEL,
  REHEAT_LEVEL,
  GEAR_ANIM,
  NOZZLE_ANIM,
  DRAG_CW_Z,
  WARNING,
  X,
  Z,
  GROUNDSPEED,
  AOA,
  MASS,
  HOVER_MAX,
  ELEVATOR,
  AILERON,
  RUDDER,
  TRIM,
  STRUT_ANIM,
  HOLDALT,
  HLEVEL,
  KILLROT,
  ATTITUDE_MODE,
  ENGINE_SOUND,
  REHEAT_SOUND,
  COLUMNS
};

const double kDeg = 180 / PI;

double FirstLevel(const host::HostVessel &hv, THGROUP_TYPE type, bool max) {
  host::ThrusterGroup *g = hv.Group(type);
  if (!g || g->members.empty()) return 0;
  return max ? g->members[0]->max0 : g->members[0]->level;
}

// Writes `v` at `p` as "%.6g" writes it, without the C library's format
// parsing; returns the end. Whole numbers below a million (flags, levels,
// limits) are their plain digits in that form, and are written directly.
char *WriteValue(char *p, char *end, double v) {
  if (v > -1e6 && v < 1e6 && v == static_cast<int>(v) && !(v == 0 && std::signbit(v)))
    return std::to_chars(p, end, static_cast<int>(v)).ptr;
  return std::to_chars(p, end, v, std::chars_format::general, 6).ptr;
}

}  // namespace

const std::vector<ColumnInfo> &Columns() {
  // In the order of the Column enumeration.
  static const std::vector<ColumnInfo> columns = {
      {"t", "s", "simulation time"},
      {"alt", "m", "altitude of the centre of gravity above the ground"},
      {"airspeed", "m/s", "airspeed"},
      {"vs", "m/s", "vertical speed, positive up"},
      {"pitch", "deg", "pitch, nose up positive"},
      {"bank", "deg", "bank, right wing down positive"},
      {"heading", "deg", "heading, 0 north, 90 east, 0 to 360"},
      {"fuel", "kg", "propellant in the tank"},
      {"ground", "0/1", "1 while a touchdown point touches the ground"},
      {"main_level", "0..1", "main engine level"},
      {"main_max", "N",
       "main engine maximum thrust: 0 off or outside the envelope, 300000 lift regime, 440000 conventional, 550000 "
       "with reheat"},
      {"hover_level", "0..1", "mean level of the two lift thrusters"},
      {"reheat_level", "0..1", "reheat flame level (1 burning)"},
      {"gear_anim", "0..1", "gear position: 0 down, 1 up"},
      {"nozzle_anim", "0..1", "nozzle cover panels, moved with the nozzle: 0 aft, 1 down"},
      {"drag_cw_z", "1", "drag coefficient forward: 0.3 in the envelope, 999 outside"},
      {"warning", "0/1", "flight-envelope warning: its sound playing (without a sound service: drag 999)"},
      {"x", "m", "position east"},
      {"z", "m", "position north"},
      {"groundspeed", "m/s", "horizontal speed over the ground"},
      {"aoa", "deg", "angle of attack"},
      {"mass", "kg", "vessel mass with propellant"},
      {"hover_max", "N", "lift thruster maximum thrust (100000 once the altitude hold has been on)"},
      {"elevator", "-1..1", "elevator level"},
      {"aileron", "-1..1", "aileron level"},
      {"rudder", "-1..1", "rudder level"},
      {"trim", "-1..1", "elevator trim level"},
      {"strut_anim", "0..1", "nose strut extension"},
      {"holdalt", "0/1", "altitude hold on"},
      {"hlevel", "0/1", "horizon-level hold on"},
      {"killrot", "0/1", "kill rotation on"},
      {"attitude_mode", "0..2", "host attitude mode: 0 off, 1 rotation, 2 linear"},
      {"engine_sound", "0/1", "engine sound (slot 10) playing"},
      {"reheat_sound", "0/1", "reheat sound (slot 13) playing"},
  };
  return columns;
}

const std::vector<std::string> &ColumnNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> out;
    for (const ColumnInfo &c : Columns()) out.push_back(c.name);
    return out;
  }();
  return names;
}

int ColumnIndex(const std::string &name) {
  const auto &n = ColumnNames();
  for (size_t i = 0; i < n.size(); ++i)
    if (n[i] == name) return (int)i;
  return -1;
}

SoundProbes FindSoundProbes(void *library) {
  SoundProbes p;
  p.advance = reinterpret_cast<TarvexSound_AdvanceFn>(host::LibrarySymbol(library, "TarvexSound_Advance"));
  p.slot_state = reinterpret_cast<TarvexSound_SlotStateFn>(host::LibrarySymbol(library, "TarvexSound_SlotState"));
  p.clear_calls = reinterpret_cast<TarvexSound_ClearCallsFn>(host::LibrarySymbol(library, "TarvexSound_ClearCalls"));
  p.slot_file = reinterpret_cast<TarvexSound_SlotFileFn>(host::LibrarySymbol(library, "TarvexSound_SlotFile"));
  return p;
}

Sample Measure(const host::HostVessel &hv, double t, int sound_id, const SoundProbes *sound) {
  Sample s;
  Measure(hv, t, sound_id, sound, s);
  return s;
}

void Measure(const host::HostVessel &hv, double t, int sound_id, const SoundProbes *sound, Sample &s) {
  s.v.assign(COLUMNS, 0.0);
  const host::RigidBody &b = hv.body;
  s.v[T] = t;
  s.v[ALT] = hv.altitude;
  s.v[AIRSPEED] = hv.airspeed;
  s.v[VS] = hv.horizon_airspeed.y;
  s.v[PITCH] = hv.pitch * kDeg;
  s.v[BANK] = hv.bank * kDeg;
  s.v[HEADING] = hv.heading * kDeg;
  s.v[FUEL] = hv.FuelMass();
  s.v[GROUND] = hv.ground_contact ? 1 : 0;
  s.v[MAIN_LEVEL] = FirstLevel(hv, THGROUP_MAIN, false);
  s.v[MAIN_MAX] = FirstLevel(hv, THGROUP_MAIN, true);
  s.v[HOVER_LEVEL] = hv.GroupLevel(THGROUP_HOVER);
  s.v[REHEAT_LEVEL] = FirstLevel(hv, THGROUP_USER, false);
  s.v[GEAR_ANIM] = hv.animations.size() > kGearAnimation ? hv.animations[kGearAnimation].state : 0;
  s.v[NOZZLE_ANIM] = hv.animations.size() > kNozzleAnimation ? hv.animations[kNozzleAnimation].state : 0;
  s.v[DRAG_CW_Z] = hv.cw[0];
  // Without the service the warning shows in the drag it raises.
  s.v[WARNING] = sound ? (sound->Playing(sound_id, kWarningSlot) ? 1 : 0) : (hv.cw[0] >= 999 ? 1 : 0);
  s.v[X] = b.pos.x;
  s.v[Z] = b.pos.z;
  s.v[GROUNDSPEED] = std::sqrt(b.vel.x * b.vel.x + b.vel.z * b.vel.z);
  s.v[AOA] = hv.aoa * kDeg;
  s.v[MASS] = host::VesselMass(hv);
  s.v[HOVER_MAX] = FirstLevel(hv, THGROUP_HOVER, true);
  s.v[ELEVATOR] = hv.ctrl_level[AIRCTRL_ELEVATOR];
  s.v[AILERON] = hv.ctrl_level[AIRCTRL_AILERON];
  s.v[RUDDER] = hv.ctrl_level[AIRCTRL_RUDDER];
  s.v[TRIM] = hv.ctrl_level[AIRCTRL_ELEVATORTRIM];
  s.v[STRUT_ANIM] = hv.animations.size() > kStrutAnimation ? hv.animations[kStrutAnimation].state : 0;
  s.v[HOLDALT] = hv.navmode[NAVMODE_HOLDALT];
  s.v[HLEVEL] = hv.navmode[NAVMODE_HLEVEL];
  s.v[KILLROT] = hv.navmode[NAVMODE_KILLROT];
  s.v[ATTITUDE_MODE] = hv.attitude_mode;
  s.v[ENGINE_SOUND] = sound && sound->Playing(sound_id, kEngineSlot);
  s.v[REHEAT_SOUND] = sound && sound->Playing(sound_id, kReheatSlot);
}

std::string CsvHeader() {
  std::string out;
  for (auto &n : ColumnNames()) out += (out.empty() ? "" : ",") + n;
  return out;
}

std::string CsvRow(const Sample &s) { return CsvRowWriter().Row(s); }

const std::string &CsvRowWriter::Row(const Sample &s) {
  if (last_.size() != s.v.size()) last_.assign(s.v.size(), Value{});
  row_.clear();
  for (size_t i = 0; i < s.v.size(); ++i) {
    Value &c = last_[i];
    // A column that holds the same value as in the last row keeps its text.
    if (!c.known || std::memcmp(&c.v, &s.v[i], sizeof c.v) != 0) {
      c.v = s.v[i];
      // The time in full, so that no two rows share it.
      char *end = i == T ? std::to_chars(c.text, c.text + sizeof c.text, c.v, std::chars_format::general).ptr
                         : WriteValue(c.text, c.text + sizeof c.text, c.v);
      c.len = static_cast<int>(end - c.text);
      c.known = true;
    }
    if (i) row_ += ',';
    row_.append(c.text, c.len);
  }
  return row_;
}

std::string TableHeader() {
  return "     t(s)   alt(m)  speed(m/s)  vs(m/s)  pitch  heading  fuel(kg)   main  hover  nozzle  gear  gnd  warn";
}

std::string TableRow(const Sample &s) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "%9.2f %8.1f %11.1f %8.2f %6.1f %8.1f %9.0f %6.3f %6.3f %7.3f %5.2f %4.0f %5.0f", s[T],
                s[ALT], s[AIRSPEED], s[VS], s[PITCH], s[HEADING], s[FUEL], s[MAIN_LEVEL], s[HOVER_LEVEL],
                s[NOZZLE_ANIM], s[GEAR_ANIM], s[GROUND], s[WARNING]);
  return buf;
}

}  // namespace sim
