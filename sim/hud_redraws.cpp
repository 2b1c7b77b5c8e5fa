#include "sim/hud_redraws.h"

#include "host/harness.h"

namespace sim {

void HudRedraws::Draw(host::HostVessel &focus) {
  skp_.Clear();
  answered_ = host::DrawHUD(focus, skp_, host::world().hud_mode);
  drawn_ = true;
  due_ = false;
}

void HudRedraws::Stepped(host::HostVessel &focus, bool shown, bool draw_now) {
  due_ = shown;
  if (due_ && draw_now) Draw(focus);
}

void HudRedraws::CatchUp(host::HostVessel &focus) {
  if (due_) Draw(focus);
}

HudFrame HudRedraws::Frame(host::HostVessel &focus, double t) {
  const host::World &w = host::world();
  std::string hidden = HudHidden(w.cockpit_mode, w.camera_internal, w.hud_mode);
  if (!hidden.empty()) {
    HudFrame f;
    f.t = t, f.paint = host::DefaultHudPaint(), f.why_not = hidden;
    return f;
  }
  if (due_ || !drawn_) Draw(focus);
  return FrameOfRedraw(t, host::DefaultHudPaint(), skp_, answered_);
}

}  // namespace sim
