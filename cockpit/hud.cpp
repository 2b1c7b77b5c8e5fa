// HUD overlay of the virtual cockpit: the readouts added to the host's own
// head-up display, the latched gear-damage warning and the gear-down symbol.
#include "cockpit/hud.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"

int HudPrintf(char (&buffer)[kHudTextSize], const char *format, ...) {
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, kHudTextSize, format, args);
  va_end(args);
  // vsnprintf answers with the length the whole text would have; a longer
  // text was cut at the buffer's end, so only what is there is reported.
  if (n < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return n < kHudTextSize ? n : kHudTextSize - 1;
}

namespace {

const double kKnotsPerMetrePerSecond = 1.94384449;
const double kFeetPerMetre = 3.2808399;

class HudText {
 public:
  explicit HudText(oapi::Sketchpad *skp) : skp_(skp) { std::memset(buffer_, 0, sizeof buffer_); }

  void Line(int x, int y, const char *format, double value) {
    int len = HudPrintf(buffer_, format, value);
    skp_->Text(x, y, buffer_, len);
  }
  void Line(int x, int y, const char *literal) {
    int len = HudPrintf(buffer_, "%s", literal);
    skp_->Text(x, y, buffer_, len);
  }

 private:
  oapi::Sketchpad *skp_;
  char buffer_[kHudTextSize];
};

// The readouts of the surface HUD, in the order they are drawn.
void DrawHudText(ShuttlePB &v, oapi::Sketchpad *skp) {
  HudText out(skp);

  double kts = v.GetAirspeed() * kKnotsPerMetrePerSecond;
  double ft = v.GetAltitude() * kFeetPerMetre;
  double trim = v.GetControlSurfaceLevel(AIRCTRL_ELEVATORTRIM);
  double noz = nozzle_deflection * 100.0;
  double thrust = (v.GetThrusterLevel(th_main) + 0.5 * v.GetThrusterLevel(th_reheat)) * 100.0;

  bool alt_hold = v.GetNavmodeState(TruncateToInt(navmode_alt));
  if (alt_hold) out.Line(0, 241, "HOLDALT");
  if (v.GetNavmodeState(TruncateToInt(navmode_lvl))) out.Line(108, 241, "HLEVEL");
  if (v.GetNavmodeState(TruncateToInt(navmode_rot))) out.Line(200, 241, "KILLROT");
  // Around the hover setting the cue replaces the nozzle number.
  if (noz > 99 && noz < 101) out.Line(97, 230, "HOVER SET");
  out.Line(178, 230, "THRUST %.1f", thrust);

  // Vertical speed in the horizon frame; a refused query reads as level flight.
  VECTOR3 hspd = _V(0, 0, 0);
  v.GetHorizonAirspeedVector(hspd);
  double vs = hspd.y;

  out.Line(0, 128, "KTS %.0f", kts);
  out.Line(194, 128, "FT %.0f", ft);
  if (noz > 101) out.Line(92, 230, "NOZZLE# %.0f", noz);
  if (noz < 99) out.Line(94, 230, "NOZZLE# %.0f", noz);
  out.Line(0, 230, "TRIM %.2f", trim);
  if (!alt_hold) out.Line(0, 241, "VERTSPD %.1f", vs);

  // A hard descent low down with the gear down latches the warning until
  // the pilot acknowledges it.
  if (v.GetAltitude() < 100 && gear_pos == 0.0 && vs <= -9.5) {
    gear_warning = 1.0;
    out.Line(52, 190, "WARNING !! GEAR DAMAGE");
  } else if (gear_warning == 1.0) {
    out.Line(52, 190, "WARNING !! GEAR DAMAGE");
  }
}

// Three wheel marks above the HUD centre while the gear is down: the nose
// wheel on the centre line, the main wheels below it to the sides.
void DrawGearSymbol(const HUDPAINTSPEC *hps, oapi::Sketchpad *skp) {
  if (oapiCockpitMode() != COCKPIT_VIRTUAL || gear_pos != 0.0) return;
  // Wide arithmetic: the host's sizes are ints, their multiples may not be.
  const long long d = hps->Markersize / 2, h = d / 2;
  const long long cx = hps->CX, cy = hps->CY;
  if (!(cx >= -3 * d && cx < hps->W + 3 * d && cy >= d && cy < hps->H + 5 * d)) return;
  auto mark = [skp](long long x0, long long y0, long long x1, long long y1) {
    skp->Ellipse(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
  };
  mark(cx - h, cy - 5 * d, cx + h, cy - 4 * d);
  mark(cx - 3 * d, cy - 2 * d, cx - 2 * d, cy - d);
  mark(cx + 2 * d, cy - 2 * d, cx + 3 * d, cy - d);
}

}  // namespace

bool ShuttlePB::clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, oapi::Sketchpad *skp) {
  const ModuleFpuMode fpu_mode;
  if (oapiCockpitMode() != COCKPIT_VIRTUAL) return false;
  VESSEL3::clbkDrawHUD(mode, hps, skp);
  if (!hps || !skp) return true;  // nothing to draw on
  if (oapiGetHUDMode() == HUD_SURFACE) DrawHudText(*this, skp);
  DrawGearSymbol(hps, skp);
  return true;
}
