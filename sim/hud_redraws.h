// The HUD redraws of the vessel in focus. The host redraws the HUD every
// step it shows; the flight host draws it every step only while something
// records every step of it (the trace holds the module's calls while
// drawing). Otherwise a step merely marks the HUD due, and it is drawn when
// something looks at it: an `expect hud`, a HUD frame, or the last look
// before the script takes it out of view.
#pragma once

#include <vector>

#include "host/sketchpad.h"
#include "host/world.h"
#include "sim/hud_frame.h"

namespace sim {

class HudRedraws {
 public:
  // After each step: whether the HUD showed in it, and whether it is drawn
  // at once.
  void Stepped(host::HostVessel &focus, bool shown, bool draw_now);
  // Draws the redraw the last step owes, if any.
  void CatchUp(host::HostVessel &focus);
  // Whether the last step showed the HUD and it is not drawn for it yet.
  bool Due() const { return due_; }
  // Whether some step showed the HUD; Texts() are then what it showed last.
  bool Drawn() const { return drawn_; }
  const std::vector<host::RecordingSketchpad::TextItem> &Texts() const { return skp_.texts; }
  // The HUD as the host shows it at time `t`: the last step's redraw (made
  // now if there was none yet), or why none shows.
  HudFrame Frame(host::HostVessel &focus, double t);

 private:
  void Draw(host::HostVessel &focus);

  host::RecordingSketchpad skp_;
  bool drawn_ = false;
  bool due_ = false;
  bool answered_ = false;  // the module's answer to the last redraw (true: default HUD too)
};

}  // namespace sim
