// The vessel's own lines in the host's scenario files: written after the
// host's standard lines, read back line by line, every line the vessel does
// not know handed on whole to the host's parser.
#include <strings.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "flight/propulsion.h"
#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

// --- Reading numbers -----------------------------------------------------------
// Numbers are read as "%d" and "%lf" read them, with one difference: a number
// that does not fit its variable (an integer beyond 32 bits, a real beyond
// the double range, or no number at all such as "nan" and "inf") counts as a
// conversion that did not take place, so the variable keeps its value.

// An integer after any white space: optional sign, decimal digits. On success
// `p` moves past the digits, where the next conversion starts.
bool ScanInt(const char *&p, int32_t &out) {
  char *end = nullptr;
  errno = 0;
  // long is 32 bits on Windows: a value beyond it reads as out of range.
  long v = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
  out = (int32_t)v;
  p = end;
  return true;
}

// A real after any white space. It is the last conversion of every format,
// so where it ends does not matter.
bool ScanReal(const char *p, double &out) {
  char *end = nullptr;
  double checked = std::strtod(p, &end);
  if (end == p || !std::isfinite(checked)) return false;
  // In range: the value "%lf" itself reads, so lines load exactly as they
  // always did (a result too small for a double reads as "%lf" rounds it).
  double v;
  if (std::sscanf(p, "%lf", &v) != 1) return false;
  out = v;
  return true;
}

// The line begins with `key` over exactly its length, in any case.
bool KeyIs(const char *line, const char *key, size_t length) { return strncasecmp(line, key, length) == 0; }

// --- Writing numbers -----------------------------------------------------------

// "WHOLE REAL" with the real in the shortest text that reads back as the
// same double.
struct WholeRealText {
  char text[64];
  WholeRealText(int whole, double v) {
    const int n = std::snprintf(text, sizeof text, "%d ", whole);
    for (int precision = 1; precision <= 17; ++precision) {
      std::snprintf(text + n, sizeof text - n, "%.*g", precision, v);
      if (std::strtod(text + n, nullptr) == v) break;
    }
  }
};

// Reads "%d%lf" from `p`: the integer goes to `whole`; a real that
// follows goes to `real`. Returns whether the real was read.
template <typename Whole>
bool ScanWholeThenReal(const char *p, Whole &whole, double &real) {
  int32_t i;
  if (!ScanInt(p, i)) return false;
  whole = (Whole)i;
  return ScanReal(p, real);
}

// A position or level read from a line is kept to the range the vessel gives
// it: a hand-edited "GEAR 2 1e300" would otherwise put a drag factor of
// -1e300 on the gear. The module's own saves hold values inside.
double KeptTo(double v, double lowest, double highest) { return v < lowest ? lowest : v > highest ? highest : v; }

// The lines whose one real goes straight into a state variable.
struct RealLine {
  const char *key;
  size_t length;
  double *variable;
};
const RealLine kRealLines[] = {
    {"REHEAT", 6, &reheat}, {"LIGHTS", 6, &lights_off}, {"SPOT", 4, &spot_on}, {"CAMERA", 6, &camera_view}};

// One scenario line, matched against the vessel's keys in their fixed order;
// the first match takes the line.
void LoadLine(ShuttlePB &v, char *line, void *status) {
  if (KeyIs(line, "GEAR", 4)) {
    // The position, when the line has one, also puts the gear where it is.
    if (ScanWholeThenReal(line + 4, gear_status, gear_pos)) {
      gear_pos = KeptTo(gear_pos, 0, 1);
      v.SetAnimation(v.anim_gear, gear_pos);
    }
    return;
  }
  if (KeyIs(line, "ENG STAT", 8)) {
    // Also takes "ENG STAT2": the "2" is read as the integer and the saved
    // answer that follows replaces it.
    ScanWholeThenReal(line + 8, eng_status, eng_status);
    return;
  }
  if (KeyIs(line, "NAVMODEALT", 10)) {
    v.ActivateNavmode(NAVMODE_HOLDALT);
    return;
  }
  if (KeyIs(line, "NAVMODELVL", 10)) {
    v.ActivateNavmode(NAVMODE_HLEVEL);
    return;
  }
  if (KeyIs(line, "NAVMODEROT", 10)) {
    v.ActivateNavmode(NAVMODE_KILLROT);
    return;
  }
  if (KeyIs(line, "ENG TURN", 8)) {
    // The angle, when the line has one, also sets the cover panels and the
    // nozzle pointer to it.
    if (ScanWholeThenReal(line + 8, nozzle_mode, nozzle_angle)) {
      nozzle_angle = KeptTo(nozzle_angle, 0, kNozzleAngleMax);
      v.SetAnimation(v.anim_cover, nozzle_angle);
      v.SetAnimation(v.anim_nozzle_ind, nozzle_angle);
    }
    return;
  }
  for (const RealLine &r : kRealLines)
    if (KeyIs(line, r.key, r.length)) {
      ScanReal(line + r.length, *r.variable);
      return;
    }
  if (KeyIs(line, "TRIM", 4)) {
    double trim;
    if (ScanReal(line + 4, trim)) v.SetControlSurfaceLevel(AIRCTRL_ELEVATORTRIM, KeptTo(trim, -1, 1));
    return;
  }
  v.ParseScenarioLineEx(line, status);
}

}  // namespace

void ShuttlePB::clbkLoadStateEx(FILEHANDLE scn, void *status) {
  const ModuleFpuMode fpu_mode;
  char *line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    if (line) LoadLine(*this, line, status);
    SetThrusterLevel(th_main, 0);
  }
}

void ShuttlePB::clbkSaveState(FILEHANDLE scn) {
  const ModuleFpuMode fpu_mode;
  const double main_level = GetThrusterLevel(th_main);
  // The hold-mode numbers hold, for the rest of the save, whether each hold
  // is active; the next flight step puts the numbers back.
  navmode_alt = GetNavmodeState(TruncateToInt(navmode_alt)) ? 1.0 : 0.0;
  navmode_lvl = GetNavmodeState(TruncateToInt(navmode_lvl)) ? 1.0 : 0.0;
  navmode_rot = GetNavmodeState(TruncateToInt(navmode_rot)) ? 1.0 : 0.0;

  VESSEL2::clbkSaveState(scn);

  // The gear line carries the motion command and the position, so a vessel
  // loads with its gear where it was and moving as it was.
  if (gear_pos != 0 || gear_status != 0)
    oapiWriteScenario_string(scn, "GEAR", WholeRealText(gear_status, gear_pos).text);
  // The engine-sound answer comes before the engine state: a reader takes
  // both lines into the engine flag, and the last one read must be the
  // engine state itself.
  if (main_level != 0) oapiWriteScenario_int(scn, "ENG STAT2", IsPlayingVesselWave3(MyID, kWaveEngine));
  if (eng_status != 0) oapiWriteScenario_int(scn, "ENG STAT", TruncateToInt(eng_status));
  if (navmode_alt != 0) oapiWriteScenario_int(scn, "NAVMODEALT", TruncateToInt(navmode_alt));
  if (navmode_lvl != 0) oapiWriteScenario_int(scn, "NAVMODELVL", TruncateToInt(navmode_lvl));
  if (navmode_rot != 0) oapiWriteScenario_int(scn, "NAVMODEROT", TruncateToInt(navmode_rot));
  // The nozzle line carries the drive command and the angle apart, as the
  // reader splits them.
  if (nozzle_deflection != 0 || nozzle_angle != 0 || nozzle_mode != 0)
    oapiWriteScenario_string(scn, "ENG TURN", WholeRealText((int32_t)nozzle_mode, nozzle_angle).text);
  for (const RealLine &r : kRealLines)
    if (*r.variable != 0) oapiWriteScenario_float(scn, r.key, *r.variable);
  const double trim = GetControlSurfaceLevel(AIRCTRL_ELEVATORTRIM);
  if (trim != 0) oapiWriteScenario_float(scn, "TRIM", trim);
}
