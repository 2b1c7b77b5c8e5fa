#include "host/scenario_lines.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

using B = LineBlock;
using V = LineValue;

}  // namespace

const std::vector<ScenarioLine> &ScenarioLines() {
  static const std::vector<ScenarioLine> lines = {
      {B::File, "BEGIN_DESC", "... END_DESC", "text, optional",
       "the scenario's description, kept whole (the report shows it)", V::None},
      {B::File, "BEGIN_ENVIRONMENT", "... END_ENVIRONMENT", "optional", "the host's settings for the whole run",
       V::None},
      {B::File, "BEGIN_FOCUS", "... END_FOCUS", "optional", "the vessel in focus", V::None},
      {B::File, "BEGIN_SHIPS", "... END_SHIPS", "required, one vessel block or more",
       "the vessels, each a block \"NAME:CLASS\" ... \"END\"; CLASS is Tarvex", V::None},
      {B::File, "BEGIN_SCRIPT", "... END_SCRIPT", "optional",
       "the script: timed inputs and expectations (also --script FILE)", V::None},
      {B::Environment, "Date MJD", "<days>", "Modified Julian Date, any finite number; default 51544.5",
       "the date at the start; it advances with the flight and saves write the date reached", V::None},
      {B::Environment, "TimeAcc", "<factor>", "above 0; default 1",
       "time acceleration: every step is --dt times this (at most 10000, never under 0.0001 s); the vessel's own "
       "rates count at most 10",
       V::None},
      {B::Environment, "Camera", "internal|external", "default internal",
       "the camera inside the cockpit or outside the vessel; the HUD shows only inside", V::None},
      {B::Environment, "Cockpit", "virtual|panel|generic", "default virtual",
       "the cockpit mode; only the virtual cockpit shows the vessel's HUD", V::None},
      {B::Environment, "HUD", "surface|orbit|docking|none", "default surface; off is the same as none",
       "the host's HUD mode; none hides the HUD", V::None},
      {B::Focus, "Ship", "<vessel name>", "a vessel of BEGIN_SHIPS; default the first",
       "the vessel in focus: it gets the keys, the HUD, the table and unqualified columns", V::None},
      {B::HostVessel, "STATUS", "Landed|Flying", "default Flying",
       "Landed rests the vessel on its gear at the ground (ALT, AIRSPEED, PITCH and BANK are then not used); "
       "Flying places it at ALT with PITCH and BANK",
       V::None},
      {B::HostVessel, "ALT", "<m>", "metres, -100 to 1e12; default 0",
       "height of the centre of gravity above the ground (Flying only)", V::None},
      {B::HostVessel, "AIRSPEED", "<m/s>", "m/s, 0 to 1e5; default 0",
       "speed along the nose (Flying only, and only without VEL)", V::None},
      {B::HostVessel, "PITCH", "<deg>", "degrees, -1e6 to 1e6; default 0", "nose above the horizon (Flying only)",
       V::None},
      {B::HostVessel, "BANK", "<deg>", "degrees, -1e6 to 1e6; default 0",
       "roll, positive with the right wing down (Flying only)", V::None},
      {B::HostVessel, "HEADING", "<deg>", "degrees, -1e6 to 1e6; default 0", "compass heading: 0 north, 90 east",
       V::None},
      {B::HostVessel, "FUEL", "<kg>", "kg, 0 to the tank's 20000; default a full tank",
       "propellant in the tank; more than it holds fills it (with a warning)", V::None},
      {B::HostVessel, "POS", "<x y z>", "metres: x east, y up, z north; default 0 0 0",
       "where the vessel stands; its height comes from ALT (Flying) or the gear (Landed)", V::None},
      {B::HostVessel, "VEL", "<x y z>", "m/s, world frame, each -1e5 to 1e5; default from AIRSPEED",
       "the velocity; given, it replaces AIRSPEED (a warning when they disagree)", V::None},
      {B::HostVessel, "ANGVEL", "<x y z>", "rad/s, vessel frame (x right, y up, z forward), -100 to 100; default 0",
       "the rotation rates", V::None},
      {B::ClassVessel, "GEAR", "<command> [<position>]", "command 0 at rest, 1 raise, 2 lower; position 0 down .. 1 up",
       "the gear command, and where the gear is when a position follows", V::WholeThenReal},
      {B::ClassVessel, "ENG STAT2", "<0|1>", "0 or 1",
       "written before ENG STAT when the main engine has thrust: whether its sound played. The ENG STAT entry reads "
       "it too and sets the engine state from it; the ENG STAT line after it sets the state again",
       V::WholeThenReal},
      {B::ClassVessel, "ENG STAT", "<0|1>", "1 running, 0 off", "the engine state", V::WholeThenReal},
      {B::ClassVessel, "NAVMODEALT", "[1]", "any value", "switches the altitude hold on", V::None},
      {B::ClassVessel, "NAVMODELVL", "[1]", "any value", "switches the horizon-level hold on", V::None},
      {B::ClassVessel, "NAVMODEROT", "[1]", "any value", "switches kill rotation on", V::None},
      {B::ClassVessel, "ENG TURN", "<drive> [<angle>]",
       "drive 0 at rest, 1 down to 1.0, 2 aft to 0; angle 0 aft .. 1.2 down",
       "the nozzle drive and the nozzle angle; a single number is split, its whole part the drive and its fraction "
       "the angle",
       V::WholeThenReal},
      {B::ClassVessel, "REHEAT", "<0|1>", "1 selected", "reheat selected (burns at full main thrust, nozzle aft)",
       V::Real},
      {B::ClassVessel, "LIGHTS", "<0|1>", "1 lights off", "the exterior lights switched off", V::Real},
      {B::ClassVessel, "SPOT", "<0|1>", "1 on", "the spot light", V::Real},
      {B::ClassVessel, "CAMERA", "<0|1>", "0 cockpit view, 1 open view",
       "the cockpit view, applied at the next view switch", V::Real},
      {B::ClassVessel, "TRIM", "<level>", "-1 to 1", "the elevator trim", V::Real},
  };
  return lines;
}

const char *LineBlockTitle(LineBlock b) {
  switch (b) {
    case B::File:
      return "blocks of the file";
    case B::Environment:
      return "BEGIN_ENVIRONMENT";
    case B::Focus:
      return "BEGIN_FOCUS";
    case B::HostVessel:
      return "vessel block, the host's lines";
    case B::ClassVessel:
      return "vessel block, the Tarvex class's lines";
  }
  return "";
}

std::vector<std::string> LineNames(LineBlock b) {
  std::vector<std::string> out;
  for (auto &l : ScenarioLines())
    if (l.block == b) out.push_back(l.name);
  return out;
}

std::string NearestName(const std::string &word, const std::vector<std::string> &names) {
  auto lower = [](std::string s) {
    for (char &c : s) c = (char)std::tolower((unsigned char)c);
    return s;
  };
  const std::string w = lower(word);
  std::string best;
  size_t best_d = (size_t)-1;
  for (const std::string &name : names) {
    // Edit distance, a swap of two neighbours counting as one slip.
    const std::string n = lower(name);
    std::vector<std::vector<size_t>> d(w.size() + 1, std::vector<size_t>(n.size() + 1));
    for (size_t i = 0; i <= w.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= n.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= w.size(); ++i)
      for (size_t j = 1; j <= n.size(); ++j) {
        d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (w[i - 1] != n[j - 1])});
        if (i > 1 && j > 1 && w[i - 1] == n[j - 2] && w[i - 2] == n[j - 1])
          d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    if (d[w.size()][n.size()] < best_d) best_d = d[w.size()][n.size()], best = name;
  }
  // A slip: at most a third of the name's letters, and never the whole word.
  if (best.empty() || word == best || best_d > std::max<size_t>(1, best.size() / 3) ||
      (best_d > 0 && best_d >= w.size()))
    return "";
  return best;
}

bool CheckClassLine(const std::string &line, std::string &why) {
  auto blank = [](const char *p) {
    while (*p == ' ' || *p == '\t') ++p;
    return *p == 0;
  };
  const ScenarioLine *taker = nullptr, *named = nullptr;
  for (auto &l : ScenarioLines()) {
    if (l.block != LineBlock::ClassVessel) continue;
    size_t n = std::strlen(l.name);
    if (strncasecmp(line.c_str(), l.name, n) != 0) continue;
    if (!taker) taker = &l;
    if (!named && (line[n] == 0 || line[n] == ' ' || line[n] == '\t')) named = &l;
  }
  if (!taker) return true;
  if (!named) {
    why = "\"" + line + "\" begins with " + taker->name + ", which the class reads as its own line; expected \"" +
          taker->name + " " + taker->value + "\"";
    return false;
  }
  const char *v = line.c_str() + std::strlen(named->name);
  char *end = nullptr;
  bool ok = true;
  switch (named->kind) {
    case LineValue::None:
      return true;
    case LineValue::WholeThenReal:
      std::strtol(v, &end, 10);
      ok = end != v;
      if (ok && !blank(end)) {  // the real may follow at once: "1.2" is 1, then .2
        const char *r = end;
        ok = std::isfinite(std::strtod(r, &end)) && end != r && blank(end);
      }
      break;
    case LineValue::Real:
      ok = std::isfinite(std::strtod(v, &end)) && end != v && blank(end);
      break;
  }
  if (!ok) why = std::string("expected \"") + named->name + " " + named->value + "\", found \"" + line + "\"";
  return ok;
}

std::string DidYouMean(const std::string &word, const std::vector<std::string> &names) {
  std::string n = NearestName(word, names);
  return n.empty() ? "" : " (did you mean " + n + "?)";
}

}  // namespace host
