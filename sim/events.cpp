#include "sim/events.h"

#include <cstdio>

#include "host/scenario_text.h"
#include "sim/keys.h"
#include "sound/slots.h"

namespace sim {

namespace {

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

std::string Prefix(const std::string &who) { return who.empty() ? "" : who + ": "; }

}  // namespace

bool InputEvent(const ScriptEvent &ev, double t, FlightEvent &out) {
  out.t = t;
  std::string who = Prefix(ev.vessel);
  switch (ev.command) {
    case Command::Key: {
      out.kind = "key";
      std::string mods = ev.shift ? "shift+" : ev.ctrl ? "ctrl+" : ev.alt ? "alt+" : "";
      const char *action = KeyAction(ev.key);
      out.text = who + "key " + mods + ev.name + (*action ? std::string(": ") + action : ": not used by the vessel");
      return true;
    }
    case Command::Set:
      out.kind = "control";
      out.text = who + ev.name + " " + Number(ev.value) + (ev.over > 0 ? " over " + Number(ev.over) + " s" : "");
      return true;
    case Command::Navmode:
      out.kind = "navmode";
      out.text = who + ev.name + (ev.on ? " on" : " off");
      return true;
    case Command::TimeAcc:
      out.kind = "timeacc";
      out.text = "time acceleration " + Number(ev.value) + "x";
      return true;
    case Command::Camera:
      out.kind = "camera";
      out.text = ev.on ? "camera inside the vessel" : "camera outside the vessel";
      return true;
    case Command::Cockpit:
      out.kind = "cockpit";
      out.text = std::string(host::CockpitModeName(ev.mode)) + " cockpit";
      return true;
    case Command::Hud:
      out.kind = "hud";
      out.text = std::string(host::HudModeName(ev.mode)) + " HUD";
      return true;
    case Command::Save:
      out.kind = "save";
      out.text = "scenario saved to " + ev.name;
      return true;
    case Command::HudFrame:
      out.kind = "hud";
      out.text = "HUD frame written to " + ev.name;
      return true;
    default:
      return false;
  }
}

void SlotWatch::Observe(double t, int slot, bool playing, bool loop, const char *wave, std::vector<FlightEvent> &out) {
  if (slot < 0 || slot > 60) return;
  bool was = playing_[slot], looped = loop_[slot];
  playing_[slot] = playing, loop_[slot] = playing && loop;
  std::string what;
  if (playing && !was)
    what = loop ? "starts looping" : "starts";
  else if (!playing && was)
    what = "stops";
  else if (playing && loop && !looped)
    what = "turns to looping";
  else
    return;
  std::string name;
  for (const WaveSlotFile &f : kWaveSlotFiles)
    if (f.slot == slot) name = std::string(" ") + f.name;
  out.push_back(FlightEvent{
      t, "sound",
      Prefix(who_) + "slot " + std::to_string(slot) + name + " " + what + " (" + (wave ? wave : "no wave") + ")"});
}

void WarningWatch::Observe(double t, double drag_cw_z, std::vector<FlightEvent> &out) {
  bool on = drag_cw_z >= 999;
  if (on == on_) return;
  on_ = on;
  out.push_back(FlightEvent{t, "warning",
                            Prefix(who_) + (on ? "flight-envelope warning: engine cut, drag 999"
                                               : "flight-envelope warning over: drag restored")});
}

}  // namespace sim
