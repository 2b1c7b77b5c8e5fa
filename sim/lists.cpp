#include "sim/lists.h"

#include <cstdio>

#include "host/scenario_lines.h"
#include "sim/conditions.h"
#include "sim/keys.h"
#include "sim/script.h"
#include "sim/telemetry.h"
#include "sound/slots.h"

namespace sim {

namespace {

// One row of a list: columns padded to the given widths.
std::string Row(const std::string &a, size_t wa, const std::string &b, size_t wb, const std::string &c) {
  std::string s = "  " + a;
  s.append(a.size() < wa ? wa - a.size() : 1, ' ');
  if (wb) {
    s += b;
    s.append(b.size() < wb ? wb - b.size() : 1, ' ');
  }
  return s + c + "\n";
}

std::string KeysList() {
  std::string s = "The Tarvex's keys (script: <time> key [shift+|ctrl+|alt+]NAME; the vessel ignores modifiers):\n";
  std::string other;
  for (const KeyName &k : Keys()) {
    if (*k.action)
      s += Row(k.name, 8, "", 0, k.action);
    else
      other += (other.empty() ? "" : " ") + std::string(k.name);
  }
  return s + "Other key names a script may press (the vessel does not use them):\n  " + other + "\n";
}

std::string ColumnsList() {
  std::string s = "Telemetry columns (--csv header, expect, [VESSEL.]column):\n";
  for (const ColumnInfo &c : Columns()) s += Row(c.name, 14, c.unit, 7, c.meaning);
  return s;
}

std::string LinesList() {
  std::string s;
  const host::LineBlock blocks[] = {host::LineBlock::File, host::LineBlock::Environment, host::LineBlock::Focus,
                                    host::LineBlock::HostVessel, host::LineBlock::ClassVessel};
  for (host::LineBlock b : blocks) {
    s += std::string("Scenario file, ") + host::LineBlockTitle(b) + ":\n";
    for (const host::ScenarioLine &l : host::ScenarioLines())
      if (l.block == b)
        s += Row(std::string(l.name) + " " + l.value, 30, "", 0, std::string(l.meaning) + " [" + l.range + "]");
  }
  s += "Script (BEGIN_SCRIPT or --script FILE), one line each: <time> <command> ...\n";
  for (const ScriptCommand &c : ScriptCommands())
    s += Row(std::string(c.name) + " " + c.arguments, 44, "", 0, c.meaning);
  s += "Script lines that react to the flight (CONDITION: COLUMN OP VALUE [TOLERANCE], joined by and):\n";
  for (const ScriptCommand &c : ReactingLines())
    s += Row(std::string(c.name) + " " + c.arguments, 44, "", 0, c.meaning);
  s += "Controls of set (level 0 to 1, or -1 to 1):\n";
  for (const SetControl &t : SetTargets()) s += Row(t.name, 10, t.lowest < 0 ? "-1..1" : "0..1", 7, t.meaning);
  return s;
}

std::string SoundsList() {
  std::string s = "Sound slots the vessel loads (expect sound SLOT|NAME playing|stopped):\n";
  for (const WaveSlotFile &f : kWaveSlotFiles)
    s += Row(std::to_string(f.slot), 4, f.name, 16, std::string(f.file) + "  " + f.use);
  return s;
}

}  // namespace

const char *ListNames() { return "keys, columns, lines, sounds"; }

std::string ListText(const std::string &which) {
  if (which.empty())
    return std::string("Lists: tarvex-sim --list keys|columns|lines|sounds\n") +
           "  keys      the keys a script presses and what the vessel does with each\n"
           "  columns   the telemetry columns with their units\n"
           "  lines     every line of a scenario file and of a script\n"
           "  sounds    the vessel's sound slots and their files\n";
  if (which == "keys") return KeysList();
  if (which == "columns") return ColumnsList();
  if (which == "lines") return LinesList();
  if (which == "sounds") return SoundsList();
  return "";
}

}  // namespace sim
