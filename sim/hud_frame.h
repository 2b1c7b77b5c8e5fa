// One HUD redraw as a picture: what the module drew on the host's HUD
// surface (each text at its pixel position, the gear-symbol shapes), as SVG
// of the surface's own size on a dark background, with a faint frame where
// the host's own default HUD elements go.
#pragma once

#include <string>
#include <vector>

#include "host/sketchpad.h"

namespace sim {

struct HudFrame {
  double t = 0;              // simulation time of the redraw, s
  HUDPAINTSPEC paint{};      // the surface handed to the module
  bool shown = false;        // the host showed a HUD (virtual cockpit, inside camera, a HUD mode on)
  bool default_hud = false;  // the module's draw routine answered true: the default HUD was drawn
  std::string why_not;       // when not shown: what keeps the HUD away
  std::vector<host::RecordingSketchpad::TextItem> texts;
  std::vector<host::RecordingSketchpad::Shape> shapes;
};

// The frame of a redraw recorded on `skp`, its surface `paint` and what the
// module's draw routine answered.
HudFrame FrameOfRedraw(double t, const HUDPAINTSPEC &paint, const host::RecordingSketchpad &skp, bool answered);

// Whether the host shows a HUD for these settings: the virtual cockpit seen
// from inside, with a HUD mode on.
inline bool HudShown(int cockpit_mode, bool camera_internal, int hud_mode) {
  return cockpit_mode == COCKPIT_VIRTUAL && camera_internal && hud_mode != HUD_NONE;
}
// Why the host shows no HUD for these settings, or "" when it shows one.
std::string HudHidden(int cockpit_mode, bool camera_internal, int hud_mode);

// The `<svg>` element of a frame (no XML declaration: it goes inline in a
// page as it stands; a file of its own adds one).
std::string HudFrameSvg(const HudFrame &f);

// Text made safe inside XML or HTML.
std::string XmlEscape(const std::string &s);

}  // namespace sim
