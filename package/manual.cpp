// tarvex-manual: writes the pilot's manual, one HTML page that opens offline
// (styles and charts inline, nothing fetched). Everything the module defines
// (keys, click areas, HUD lines, scenario lines, sound slots, meshes and
// their animated groups, the exhaust texture, the envelope's numbers) is read
// from the module itself through the stand-in host; the words beside them
// come from the tables below, and a thing the module has without words, or
// words for a thing it lacks, stops the manual with exit status 1.
//
//   tarvex-manual --module LIB --sound LIB --out FILE.html
//                 [--charts DIR] PROCEDURE.scn...
// Each procedure is a scenario whose description holds the pilot's steps
// and whose script flies them; with --charts, DIR/<name>.svg is its chart.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "flight/blocks.h"
#include "flight/hold_modes.h"
#include "flight/propulsion.h"
#include "host/scenario_lines.h"
#include "package/manual_probe.h"
#include "sim/keys.h"
#include "sim/output_file.h"
#include "sound/slots.h"

namespace {

// --- Words for what the module has --------------------------------------------

struct Words {
  const char *name;
  const char *meaning;
};

// HUD lines by the text before their number.
const Words kHudLines[] = {
    {"KTS", "airspeed in knots"},
    {"FT", "altitude above the ground in feet"},
    {"THRUST", "main engine level plus half the reheat flame, in per cent"},
    {"TRIM", "elevator trim, -1 to 1; moved by the altitude hold above 70 m/s"},
    {"NOZZLE#", "nozzle rotation in per cent: 0 aft, 100 down, up to 120 toward the front"},
    {"HOVER SET", "the nozzle stands at the hover setting (99 to 101 per cent)"},
    {"VERTSPD", "vertical speed in m/s, shown while the altitude hold is off"},
    {"HOLDALT", "the altitude hold is on"},
    {"HLEVEL", "the horizon-level hold is on"},
    {"KILLROT", "kill rotation is on"},
    {"WARNING !! GEAR DAMAGE",
     "a descent of 9.5 m/s or more below 100 m with the gear down; stays until key 2 acknowledges it"},
};

// The vessel's own scenario lines, from the table the flight host reads
// scenario files with.
std::vector<const host::ScenarioLine *> ClassLines() {
  std::vector<const host::ScenarioLine *> out;
  for (const host::ScenarioLine &l : host::ScenarioLines())
    if (l.block == host::LineBlock::ClassVessel) out.push_back(&l);
  return out;
}

const host::ScenarioLine *FindLine(const std::string &name) {
  for (const host::ScenarioLine *l : ClassLines())
    if (name == l->name) return l;
  return nullptr;
}

const WaveSlotFile *FindSlot(int slot) {
  for (const WaveSlotFile &w : kWaveSlotFiles)
    if (w.slot == slot) return &w;
  return nullptr;
}

// What each animation moves.
const Words kAnimations[] = {
    {"anim_wheel", "wheels rolling"},
    {"anim_gear", "undercarriage retracting (0 down, 1 up)"},
    {"anim_rudder", "rudder"},
    {"anim_elevator", "elevators"},
    {"anim_laileron", "left aileron"},
    {"anim_raileron", "right aileron"},
    {"anim_rbrake", "right speed-brake panel"},
    {"anim_lbrake", "left speed-brake panel"},
    {"anim_cover", "nozzle cover panels, following the nozzle"},
    {"anim_nozzle_ind", "cockpit nozzle indicator"},
    {"anim_fandoors", "lift-fan doors"},
    {"anim_liftfan", "lift-fan rotor turning"},
    {"anim_nosewheel_steer", "nose wheel steering"},
    {"anim_canopy", "canopy"},
    {"anim_status_c", "status display, lamp C"},
    {"anim_status_d", "status display, lamp D"},
    {"anim_status_e", "status display, lamp E"},
    {"anim_status_a", "status display, lamp A"},
    {"anim_status_b", "status display, lamp B"},
    {"anim_status_f", "status display, lamp F"},
    {"anim_status_dial", "status display, fuel dial"},
    {"anim_nose_strut", "nose strut compressing"},
    {"anim_main_strut", "main struts compressing"},
};

// --- Text helpers ----------------------------------------------------------------

std::string Esc(const std::string &s) {
  std::string o;
  for (char c : s) {
    if (c == '<')
      o += "&lt;";
    else if (c == '>')
      o += "&gt;";
    else if (c == '&')
      o += "&amp;";
    else if (c == '"')
      o += "&quot;";
    else
      o += c;
  }
  return o;
}

std::string Num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

std::string Thousands(double v) {
  std::string s = Num(v);
  for (int i = (int)s.size() - 3; i > 0; i -= 3) s.insert((size_t)i, ",");
  return s;
}

template <typename T, size_t N>
const char *Find(const T (&table)[N], const std::string &name) {
  for (const T &w : table)
    if (name == w.name) return w.meaning;
  return nullptr;
}

bool ReadFile(const std::string &path, std::string &text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return true;
}

std::vector<std::string> Lines(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    out.push_back(l);
  }
  return out;
}

std::string Trim(const std::string &s) {
  size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
  return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

// A saved line's name: its words up to the first number.
std::string LineName(const std::string &line) {
  std::istringstream in(line);
  std::string w, name;
  while (in >> w) {
    char c = w[0];
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') break;
    name += (name.empty() ? "" : " ") + w;
  }
  return name;
}

// --- Procedures ------------------------------------------------------------------

struct ScriptStep {
  std::string time, input, note;
};

struct Procedure {
  std::string stem, title;
  std::vector<std::string> summary, steps;
  std::vector<ScriptStep> inputs, checks;
  std::string chart;
};

// The description's first lines tell what the procedure is; lines starting
// with a number and a full stop are the pilot's steps. The script's lines
// are the inputs, and its expectations what CI checks.
bool ReadProcedure(const std::string &path, const std::string &charts, Procedure &p, std::string &error) {
  std::string text;
  if (!ReadFile(path, text)) return error = path + ": cannot be read", false;
  size_t slash = path.find_last_of("/\\");
  p.stem = path.substr(slash == std::string::npos ? 0 : slash + 1);
  p.stem = p.stem.substr(0, p.stem.rfind('.'));
  std::string block;
  int n = 0;
  for (const std::string &raw : Lines(text)) {
    ++n;
    std::string l = Trim(raw);
    if (l == "BEGIN_DESC" || l == "BEGIN_SCRIPT") {
      block = l;
      continue;
    }
    if (l == "END_DESC" || l == "END_SCRIPT") {
      block.clear();
      continue;
    }
    if (block == "BEGIN_DESC" && !l.empty()) {
      if (p.title.empty())
        p.title = l;
      else if (l[0] >= '0' && l[0] <= '9' && l.find(". ") != std::string::npos)
        p.steps.push_back(l.substr(l.find(". ") + 2));
      else if (!p.steps.empty())
        p.steps.back() += " " + l;
      else
        p.summary.push_back(l);
    }
    if (block == "BEGIN_SCRIPT" && !l.empty() && l[0] != ';') {
      std::string code = l, note;
      size_t semi = l.find(';');
      if (semi != std::string::npos) code = Trim(l.substr(0, semi)), note = Trim(l.substr(semi + 1));
      // "<time> LINE", "<from>..<to> expect ...", "when CONDITION: LINE" or
      // "stop when CONDITION": the first column says when.
      std::string t, rest;
      size_t colon = code.find(':');
      if (code.rfind("when ", 0) == 0 && colon != std::string::npos) {
        t = Trim(code.substr(0, colon)), rest = code.substr(colon + 1);
      } else if (code.rfind("stop when ", 0) == 0) {
        t = code.substr(5), rest = "stop";
      } else {
        std::istringstream in(code);
        in >> t;
        std::getline(in, rest);
      }
      ScriptStep s{t, Trim(rest), note};
      (s.input.rfind("expect", 0) == 0 ? p.checks : p.inputs).push_back(s);
    }
  }
  if (p.title.empty() || p.steps.empty())
    return error = path + ": the description needs a title line and numbered steps (\"1. ...\")", false;
  if (p.checks.empty()) return error = path + ": the script has no expectations", false;
  if (!charts.empty()) {
    std::string svg, file = charts + "/" + p.stem + ".svg";
    if (!ReadFile(file, svg)) return error = file + ": no chart (fly the procedure with --plot first)", false;
    size_t start = svg.find("<svg");
    p.chart = start == std::string::npos ? svg : svg.substr(start);
  }
  return true;
}

// --- Checks: the module against the words ---------------------------------------

std::vector<std::string> Mismatches(const manual::Findings &f) {
  std::vector<std::string> bad;
  std::set<unsigned> used;
  for (const manual::KeyUse &k : f.keys) {
    used.insert(k.code);
    if (!*sim::KeyAction(k.code)) bad.push_back("key " + k.name + " is used by the vessel and not described");
  }
  for (unsigned code = 1; code < 256; ++code)
    if (*sim::KeyAction(code) && !used.count(code))
      bad.push_back(std::string("key code ") + std::to_string(code) + " is described and not used by the vessel");

  std::set<std::string> drawn;
  for (const manual::HudLine &l : f.hud_lines) {
    drawn.insert(l.label);
    if (!Find(kHudLines, l.label)) bad.push_back("HUD line \"" + l.example + "\" is drawn and not described");
  }
  for (const Words &w : kHudLines)
    if (!drawn.count(w.name)) bad.push_back(std::string("HUD line ") + w.name + " is described and never drawn");

  for (const std::string &l : f.lines_not_taken)
    bad.push_back("scenario line \"" + l + "\" is described and not read by the vessel");
  std::set<std::string> saved;
  for (const std::string &l : f.saved_lines) {
    saved.insert(LineName(l));
    if (!FindLine(LineName(l))) bad.push_back("scenario line \"" + l + "\" is saved and not described");
  }
  for (const host::ScenarioLine *w : ClassLines())
    if (!saved.count(w->name)) bad.push_back(std::string("scenario line ") + w->name + " is described and not saved");

  std::set<int> loaded;
  for (const manual::SoundSlot &s : f.slots) {
    loaded.insert(s.slot);
    if (!FindSlot(s.slot)) bad.push_back("sound slot " + std::to_string(s.slot) + " is loaded and not described");
  }
  for (const WaveSlotFile &w : kWaveSlotFiles)
    if (!loaded.count(w.slot)) bad.push_back("sound slot " + std::to_string(w.slot) + " is described and not loaded");

  for (const manual::AnimationUse &a : f.animations)
    if (a.member.empty() || !Find(kAnimations, a.member))
      bad.push_back("animation " + std::to_string(a.id) + (a.member.empty() ? "" : " (" + a.member + ")") +
                    " is created and not described");
  if (f.animations.size() != sizeof kAnimations / sizeof kAnimations[0])
    bad.push_back(std::to_string(f.animations.size()) + " animations created, " +
                  std::to_string(sizeof kAnimations / sizeof kAnimations[0]) + " described");
  if (f.silent_log.empty() || f.silent_id != -1)
    bad.push_back(
        "a vessel without the sound service wrote nothing to OrbiterSound_Log.txt, or still got a sound "
        "identifier");
  if (f.keys.empty() || f.areas.empty() || f.meshes_loaded.empty() || f.exhaust_textures.empty())
    bad.push_back("the vessel declared no keys, click areas, meshes or exhaust texture: is this the module?");
  return bad;
}

// --- The page ---------------------------------------------------------------------

const char *kStyle =
    "body{font:15px/1.45 system-ui,sans-serif;max-width:60em;margin:2em auto;padding:0 1em;color:#222}"
    "h1{font-size:1.8em;margin-bottom:0}h2{border-bottom:2px solid #345;padding-bottom:.2em;margin-top:2em}"
    "table{border-collapse:collapse;margin:.6em 0}td,th{border:1px solid #bbb;padding:.25em .6em;text-align:left;"
    "vertical-align:top}th{background:#e8edf2}code,kbd{font-family:ui-monospace,monospace}"
    "kbd{border:1px solid #888;border-radius:3px;padding:0 .35em;background:#f4f4f4;box-shadow:0 1px 0 #888}"
    ".keycard{display:grid;grid-template-columns:repeat(auto-fill,minmax(17em,1fr));gap:.3em .8em}"
    ".keycard div{border:1px solid #ccc;border-radius:4px;padding:.3em .5em}"
    "pre{white-space:pre-wrap}.chart svg{max-width:100%;height:auto}nav a{margin-right:.8em}.note{color:#555}"
    "@media print{nav{display:none}h2{page-break-before:always}}";

std::string Row(const std::vector<std::string> &cells, bool head = false) {
  std::string o = "<tr>";
  for (const std::string &c : cells) o += (head ? "<th>" : "<td>") + c + (head ? "</th>" : "</td>");
  return o + "</tr>\n";
}

std::string Page(const manual::Findings &f, const std::vector<Procedure> &procs, const std::string &version) {
  std::ostringstream o;
  o << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>Tarvex " << Esc(version)
    << " pilot's manual</title>\n<style>" << kStyle << "</style></head><body>\n";
  o << "<h1>Tarvex</h1>\n<p>Pilot's manual, version " << Esc(version) << " (module dated " << Esc(f.module_date)
    << ", interface " << f.module_version << ")</p>\n";
  o << "<nav><a href=\"#aircraft\">Aircraft</a><a href=\"#install\">Installing</a><a href=\"#keys\">Keys</a>"
       "<a href=\"#cockpit\">Cockpit</a><a href=\"#hud\">HUD</a><a href=\"#envelope\">Regimes and envelope</a>"
       "<a href=\"#holds\">Holds</a><a href=\"#procedures\">Procedures</a><a href=\"#lines\">Scenario lines</a>"
       "<a href=\"#sound\">Sound</a><a href=\"#art\">Art</a></nav>\n";

  o << "<h2 id=\"aircraft\">The aircraft</h2>\n<p>The Tarvex is a single-engine short-take-off and vertical-landing "
       "jet fighter. Its one main engine has a nozzle that swivels from straight aft (wing-borne flight) to pointing "
       "down (hover); two lift thrusters fore and aft help in the hover under the altitude hold; reheat adds thrust "
       "in wing-borne flight. It has a retractable gear with bouncing struts, a canopy, a speed brake, lift-fan "
       "doors, exterior beacons and a nose spot light, two cockpit views with a virtual cockpit (HUD and two "
       "MFDs), and engine sounds through the sound service.</p>\n";

  o << "<h2 id=\"install\">Installing</h2>\n<p>Unpack the archive into the simulator's folder, keeping its "
       "folders: <code>Modules\\Tarvex.dll</code> is the vessel module, <code>Config\\Vessels\\Tarvex.cfg</code> "
       "the class file that names it (<code>ClassName = Tarvex</code>, <code>Module = Tarvex</code>), and this "
       "manual goes to <code>Doc\\Tarvex.html</code>. A scenario then names a vessel of class <code>Tarvex</code>. "
       "The archive does not hold the art: the meshes, the exhaust texture and the sounds listed under "
       "<a href=\"#art\">Art</a> come separately. Without them the vessel still flies, invisible and silent.</p>\n";

  o << "<h2 id=\"keys\">Key card</h2>\n<p>The vessel's " << f.keys.size()
    << " keys, with or without modifier keys (the vessel does not read them). Everything else on the keyboard "
       "is the simulator's own.</p>\n<div class=\"keycard\">\n";
  for (const manual::KeyUse &k : f.keys)
    o << "<div><kbd>" << Esc(k.name) << "</kbd> " << Esc(sim::KeyAction(k.code)) << "</div>\n";
  o << "</div>\n<p class=\"note\">The engine starts and stops only on the ground, the gear moves only in the air, "
       "refuelling (J) only at a standstill with the engine off. The strut keys 1, 3 to 6 adjust the strut "
       "extension, the bounces allowed and the bounce damping in steps.</p>\n";

  o << "<h2 id=\"cockpit\">Cockpit views and virtual cockpit</h2>\n<p>Key <kbd>V</kbd> switches between the two "
       "inside views: the full cockpit (mesh index 1 holds <code>"
    << Esc(f.cockpit_lights_on) << "</code> with the exterior lights on, <code>" << Esc(f.cockpit_lights_off)
    << "</code> with them off) and the open view, "
    << (f.open_view_cockpit_mesh.empty() ? std::string("without the cockpit mesh")
                                         : "with <code>" + Esc(f.open_view_cockpit_mesh) + "</code>")
    << ", which lets the head turn almost a full circle. Both views carry the same displays: the HUD ("
    << Esc(f.hud_spec) << "), the left MFD (" << Esc(f.mfd_specs[0]) << ") and the right MFD (" << Esc(f.mfd_specs[1])
    << ").</p>\n<p>Click areas of the virtual cockpit (spheres on the panel, in metres in the vessel's frame):</p>\n"
       "<table>\n"
    << Row({"Area", "Centre (x, y, z)", "Radius", "A click"}, true);
  for (const manual::AreaUse &a : f.areas)
    o << Row({std::to_string(a.id), Num(a.x) + ", " + Num(a.y) + ", " + Num(a.z), Num(a.radius), Esc(a.action)});
  o << "</table>\n";

  o << "<h2 id=\"hud\">HUD lines</h2>\n<p>Drawn over the simulator's own HUD in the virtual cockpit with the "
       "surface HUD mode, at these pixel positions of the HUD surface:</p>\n<table>\n"
    << Row({"Line", "Position", "Example", "Meaning"}, true);
  for (const manual::HudLine &l : f.hud_lines)
    o << Row({"<code>" + Esc(l.label) + "</code>", Esc(l.at), "<code>" + Esc(l.example) + "</code>",
              Esc(Find(kHudLines, l.label))});
  o << "</table>\n";
  if (f.gear_symbol) o << "<p>While the gear is down, three wheel marks above the HUD centre show it.</p>\n";

  o << "<h2 id=\"envelope\">Thrust regimes and the flight envelope</h2>\n<p>The nozzle position decides the "
       "regime: below "
    << Num(kLiftNozzle) << " of its rotation (<code>NOZZLE#</code> under " << Num(kLiftNozzle * 100)
    << ") the conventional regime, from " << Num(kLiftNozzle) << " on the lift regime.</p>\n<table>\n"
    << Row({"Regime", "Main engine thrust", "Outside the envelope when"}, true)
    << Row({"conventional, dry", Thousands(kDryThrust) + " N",
            "airspeed " + Num(kMaxConventionalSpeed) + " m/s or more, or altitude " + Thousands(kMaxAltitude) +
                " m or more"})
    << Row({"conventional, reheat (key 7, main level at least " + Num(kReheatLevel) + ")",
            Thousands(kReheatThrust) + " N; the flame burns with the nozzle under " + Num(kNozzleAftStop * 100) +
                " per cent",
            "the same"})
    << Row({"lift (nozzle at least " + Num(kLiftNozzle * 100) + " per cent)", Thousands(kLiftRegimeThrust) + " N",
            "airspeed " + Num(kMaxLiftSpeed) + " m/s or more, or altitude " + Thousands(kMaxAltitude) + " m or more"})
    << "</table>\n<p>Outside the envelope the engine gives no thrust, the drag coefficients jump to "
    << Num(kWarningDrag)
    << " and the warning sound loops, for as long as the condition lasts: slow down (or bring the nozzle aft, or "
       "descend) and the next step restores thrust and drag. The lift thrusters (up to "
    << Thousands(kLiftThrusterMax) << " N each) work only under the altitude hold. A running engine idles at level "
    << Num(kIdleLevel) << ". With the nozzle at 100 per cent or more in the air, a brake force of "
    << Thousands(kNozzleBrakeForce) << " N acts rearward.</p>\n";

  o << "<h2 id=\"holds\">Holds</h2>\n<p>The simulator's navigation modes, switched on and off with its own "
       "controls; the vessel shapes how they act, and releases all three when the engine stops.</p>\n<ul>\n"
       "<li><b>Altitude hold</b> (HOLDALT): enables the lift thrusters; up to "
    << Num(kSlowFlightSpeed) << " m/s it nudges the main engine level by up to " << Num(kNudgeLimit / 1.5)
    << " a step against a vertical speed beyond " << Num(kDeadBand * 10) << " m/s; above " << Num(kSlowFlightSpeed)
    << " m/s it sets the elevator trim instead, and the trim goes back to 0 once when the hold ends.</li>\n"
       "<li><b>Horizon level</b> (HLEVEL): keeps the wings level and, in the hover, turns the fore-and-aft "
       "translation inputs into nozzle vectoring against the drift.</li>\n"
       "<li><b>Kill rotation</b> (KILLROT): the simulator stops the rotation.</li>\n</ul>\n"
       "<p>In a slow hover (under "
    << Num(kHoverSetSpeed) << " m/s, above " << Num(kHoverSetAltitude)
    << " m, no fore-and-aft input) the nozzle swivels fully down by itself.</p>\n";

  o << "<h2 id=\"procedures\">Procedures</h2>\n<p>Each procedure is also a scenario that the project's tests fly "
       "with the steps below and check; the chart is that flight (altitude, airspeed and vertical speed above, "
       "engine level, nozzle and gear below).</p>\n";
  for (const Procedure &p : procs) {
    o << "<h3 id=\"" << Esc(p.stem) << "\">" << Esc(p.title) << "</h3>\n";
    for (const std::string &s : p.summary) o << Esc(s) << "\n";
    o << "<ol>\n";
    for (const std::string &s : p.steps) o << "<li>" << Esc(s) << "</li>\n";
    o << "</ol>\n<details><summary>As flown (script <code>" << Esc(p.stem) << ".scn</code>)</summary>\n<table>\n"
      << Row({"When (s)", "Input", ""}, true);
    for (const ScriptStep &s : p.inputs) o << Row({Esc(s.time), "<code>" + Esc(s.input) + "</code>", Esc(s.note)});
    o << "</table>\n<table>\n" << Row({"When (s)", "Checked", ""}, true);
    for (const ScriptStep &s : p.checks) o << Row({Esc(s.time), "<code>" + Esc(s.input) + "</code>", Esc(s.note)});
    o << "</table></details>\n";
    if (!p.chart.empty()) o << "<div class=\"chart\">" << p.chart << "</div>\n";
  }

  o << "<h2 id=\"lines\">What a saved scenario holds</h2>\n<p>Besides the simulator's own lines, the vessel "
       "writes these lines into its block (each only when it is not at its default) and reads them back:</p>\n"
       "<table>\n"
    << Row({"Line", "Values", "Meaning"}, true);
  for (const host::ScenarioLine *w : ClassLines())
    o << Row({"<code>" + Esc(w->name) + " " + Esc(w->value) + "</code>", Esc(w->range), Esc(w->meaning)});
  o << "</table>\n";

  o << "<h2 id=\"sound\">Sound</h2>\n<p>Sounds are played by the OrbiterSound service (version 3.5), a module of "
       "the simulator that must be activated before the vessel is created. Without it the vessel flies silently "
       "and writes the reason to <code>OrbiterSound_Log.txt</code> in the simulator's folder:</p>\n<pre>";
  for (const std::string &l : f.silent_log) o << Esc(l) << "\n";
  o << "</pre>\n<p>The vessel's slots:</p>\n<table>\n" << Row({"Slot", "Name", "File", "Plays"}, true);
  for (const manual::SoundSlot &s : f.slots) {
    const WaveSlotFile *w = FindSlot(s.slot);
    o << Row({std::to_string(s.slot), w ? Esc(w->name) : "", "<code>" + Esc(s.file) + "</code>", w ? Esc(w->use) : ""});
  }
  o << "</table>\n";
  for (const std::string &r : f.replaced_stock_sounds)
    o << "<p>It also replaces one of the service's stock sounds with <code>" << Esc(r) << "</code>.</p>\n";

  o << "<h2 id=\"art\">What the art must provide</h2>\n<p>The archive holds no art. These are the names the "
       "module asks the simulator for, as it declares them at set-up; mesh groups are numbered in each mesh's "
       "file from 0.</p>\n<h3>Meshes</h3>\n<table>\n"
    << Row({"Mesh (under Meshes\\)", "Used as"}, true);
  for (const std::string &m : f.meshes_loaded) {
    std::string use;
    for (size_t i = 0; i < f.mesh_slots.size(); ++i)
      if (f.mesh_slots[i] == m) use += (use.empty() ? "" : ", ") + std::string("mesh index ") + std::to_string(i);
    if (m == f.cockpit_lights_off && use.empty()) use = "mesh index 1 with the exterior lights off";
    if (m == f.cockpit_lights_on && !use.empty()) use += " with the exterior lights on";
    o << Row({"<code>" + Esc(m) + ".msh</code>", Esc(use.empty() ? "loaded" : use)});
  }
  std::map<unsigned, unsigned> highest;  // mesh index -> highest group an animation moves
  for (const manual::AnimationUse &a : f.animations)
    for (const manual::AnimationPart &p : a.parts)
      for (unsigned g : p.groups) highest[p.mesh] = std::max(highest[p.mesh], g);
  o << "</table>\n<p>";
  for (const auto &h : highest)
    o << "Mesh index " << h.first
      << (h.first < f.mesh_slots.size() ? " (<code>" + Esc(f.mesh_slots[h.first]) + "</code>)" : std::string())
      << " needs at least " << h.second + 1 << " groups. ";
  o << "</p>\n<h3>Animated groups</h3>\n<table>\n"
    << Row({"Animation", "Moves", "Mesh index", "Groups", "Transform"}, true);
  for (const manual::AnimationUse &a : f.animations)
    for (const manual::AnimationPart &p : a.parts) {
      std::string groups;
      for (unsigned g : p.groups) groups += (groups.empty() ? "" : ", ") + std::to_string(g);
      const char *m = Find(kAnimations, a.member);
      bool first = &p == &a.parts.front();  // later parts of the same animation name it once
      o << Row({first ? "<code>" + Esc(a.member) + "</code>" : "", first && m ? Esc(m) : "", std::to_string(p.mesh),
                groups, Esc(p.kind) + " (states " + Num(p.state0) + " to " + Num(p.state1) + ")"});
    }
  o << "</table>\n<h3>Display surfaces</h3>\n<table>\n" << Row({"Mesh index", "Group", "Shows"}, true);
  for (const manual::Findings::DisplayGroup &d : f.display_groups)
    o << Row({std::to_string(d.mesh), std::to_string(d.group), Esc(d.what)});
  o << "</table>\n<h3>Exhaust texture</h3>\n<ul>\n";
  for (const std::string &t : f.exhaust_textures) o << "<li><code>Textures\\" << Esc(t) << ".dds</code></li>\n";
  o << "</ul>\n<h3>Sound files</h3>\n<table>\n" << Row({"Slot", "File (from the simulator's folder)"}, true);
  for (const manual::SoundSlot &s : f.slots) o << Row({std::to_string(s.slot), "<code>" + Esc(s.file) + "</code>"});
  for (const std::string &r : f.replaced_stock_sounds) o << Row({"stock", "<code>" + Esc(r) + "</code>"});
  o << "</table>\n</body></html>\n";
  return o.str();
}

}  // namespace

int main(int argc, char **argv) {
  std::string module, sound, out, charts;
  std::vector<std::string> procedures;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string &v) {
      if (i + 1 >= argc) return false;
      v = argv[++i];
      return true;
    };
    bool ok = true;
    if (a == "--module")
      ok = value(module);
    else if (a == "--sound")
      ok = value(sound);
    else if (a == "--out")
      ok = value(out);
    else if (a == "--charts")
      ok = value(charts);
    else if (!a.empty() && a[0] == '-')
      ok = false;
    else
      procedures.push_back(a);
    if (!ok || (a[0] == '-' && a.size() < 3)) {
      std::fprintf(stderr, "tarvex-manual: bad option %s\n", a.c_str());
      return 2;
    }
  }
  if (module.empty() || sound.empty() || out.empty()) {
    std::fprintf(stderr, "usage: tarvex-manual --module LIB --sound LIB --out FILE.html [--charts DIR] SCN...\n");
    return 2;
  }
  std::string error;
  std::vector<Procedure> procs;
  for (const std::string &path : procedures) {
    Procedure p;
    if (!ReadProcedure(path, charts, p, error)) return std::fprintf(stderr, "tarvex-manual: %s\n", error.c_str()), 2;
    procs.push_back(p);
  }
  std::vector<std::string> lines;
  // Every line with a value that is not its default, so the save writes it.
  for (const host::ScenarioLine *w : ClassLines()) lines.push_back(std::string(w->name) + " 1");
  manual::Findings f;
  if (!manual::Probe(module, sound, lines, f, error))
    return std::fprintf(stderr, "tarvex-manual: %s\n", error.c_str()), 3;
  std::vector<std::string> bad = Mismatches(f);
  for (const std::string &b : bad) std::fprintf(stderr, "tarvex-manual: %s\n", b.c_str());
  if (!bad.empty()) return 1;
  if (!sim::WriteOutput(out, Page(f, procs, TARVEX_VERSION), true, error))
    return std::fprintf(stderr, "tarvex-manual: %s\n", error.c_str()), 4;
  return 0;
}
