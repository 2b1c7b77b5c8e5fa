#include "sim/hud_frame.h"

#include <algorithm>
#include <cstdio>

#include "host/scenario_text.h"
#include "host/world.h"

namespace sim {

namespace {

const char *kBackground = "#07140c";
const char *kInk = "#5dff7a";

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

}  // namespace

namespace {

// The length of the well-formed UTF-8 sequence at `s[i]` (of a byte above
// 0x7f), or 0 when it is not one (a stray byte, an overlong form, a
// surrogate, beyond U+10FFFF).
size_t Utf8Length(const std::string &s, size_t i) {
  const unsigned char c = (unsigned char)s[i];
  size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  const unsigned char c1 = (unsigned char)s[i + 1];
  const unsigned char lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
  const unsigned char hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
  if (c1 < lo || c1 > hi) return 0;
  for (size_t k = 2; k < n; ++k)
    if (((unsigned char)s[i + k] & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

std::string XmlEscape(const std::string &s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if ((unsigned char)c >= 0x80) {
      // Text that is not UTF-8 (a file name in another encoding) shows the
      // replacement character where its bytes do not read.
      const size_t n = Utf8Length(s, i);
      if (n == 0) {
        out += "\xEF\xBF\xBD";
      } else {
        out.append(s, i, n);
        i += n - 1;
      }
      continue;
    }
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters have no place in XML text.
        out += (unsigned char)c < 0x20 && c != '\n' && c != '\t' ? '?' : c;
    }
  }
  return out;
}

HudFrame FrameOfRedraw(double t, const HUDPAINTSPEC &paint, const host::RecordingSketchpad &skp, bool answered) {
  HudFrame f;
  f.t = t;
  f.paint = paint;
  f.shown = true;
  f.default_hud = answered;
  f.texts = skp.texts;
  f.shapes = skp.shapes;
  return f;
}

std::string HudHidden(int cockpit_mode, bool camera_internal, int hud_mode) {
  if (HudShown(cockpit_mode, camera_internal, hud_mode)) return "";
  if (!camera_internal) return "camera outside the vessel";
  if (cockpit_mode != COCKPIT_VIRTUAL) return std::string(host::CockpitModeName(cockpit_mode)) + " cockpit";
  return "HUD switched off";
}

std::string HudFrameSvg(const HudFrame &f) {
  int w = f.paint.W > 0 ? f.paint.W : 1, h = f.paint.H > 0 ? f.paint.H : 1;
  std::string W = std::to_string(w), H = std::to_string(h);
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"hud\" width=\"" + W + "\" height=\"" + H +
                    "\" viewBox=\"0 0 " + W + " " + H + "\" data-t=\"" + Num(f.t) +
                    "\" font-family=\"monospace\" font-size=\"11\">\n";
  svg += "<rect width=\"" + W + "\" height=\"" + H + "\" fill=\"" + kBackground + "\"/>\n";
  if (!f.shown) {
    svg += "<text x=\"" + std::to_string(w / 2) + "\" y=\"" + std::to_string(h / 2) +
           "\" fill=\"#6a7a70\" text-anchor=\"middle\">no HUD: " + XmlEscape(f.why_not) + "</text>\n</svg>\n";
    return svg;
  }
  if (f.default_hud) {
    // The host's own HUD elements are not drawn here: a faint frame and a
    // centre mark show where they go.
    int cx = f.paint.CX, cy = f.paint.CY, m = f.paint.Markersize > 0 ? f.paint.Markersize : 8;
    svg += "<g stroke=\"" + std::string(kInk) + "\" stroke-opacity=\"0.2\" fill=\"none\">";
    svg +=
        "<rect x=\"0.5\" y=\"0.5\" width=\"" + std::to_string(w - 1) + "\" height=\"" + std::to_string(h - 1) + "\"/>";
    svg += "<path d=\"M" + std::to_string(cx - m) + " " + std::to_string(cy) + "h" + std::to_string(2 * m) + "M" +
           std::to_string(cx) + " " + std::to_string(cy - m) + "v" + std::to_string(2 * m) + "\"/></g>\n";
  }
  // Texts are placed by their top left corner, as the Sketchpad places them.
  svg += "<g fill=\"" + std::string(kInk) + "\" xml:space=\"preserve\">\n";
  for (const auto &t : f.texts)
    svg += "<text x=\"" + std::to_string(t.x) + "\" y=\"" + std::to_string(t.y) + "\" dominant-baseline=\"hanging\">" +
           XmlEscape(t.text) + "</text>\n";
  svg += "</g>\n<g stroke=\"" + std::string(kInk) + "\" fill=\"none\">\n";
  for (const auto &s : f.shapes) {
    int x0 = std::min(s.x0, s.x1), x1 = std::max(s.x0, s.x1), y0 = std::min(s.y0, s.y1), y1 = std::max(s.y0, s.y1);
    if (s.kind == "line")
      svg += "<line x1=\"" + std::to_string(s.x0) + "\" y1=\"" + std::to_string(s.y0) + "\" x2=\"" +
             std::to_string(s.x1) + "\" y2=\"" + std::to_string(s.y1) + "\"/>\n";
    else if (s.kind == "ellipse")
      svg += "<ellipse cx=\"" + Num((x0 + x1) / 2.0) + "\" cy=\"" + Num((y0 + y1) / 2.0) + "\" rx=\"" +
             Num((x1 - x0) / 2.0) + "\" ry=\"" + Num((y1 - y0) / 2.0) + "\"/>\n";
    else
      svg += "<rect x=\"" + std::to_string(x0) + "\" y=\"" + std::to_string(y0) + "\" width=\"" +
             std::to_string(x1 - x0) + "\" height=\"" + std::to_string(y1 - y0) + "\"/>\n";
  }
  svg += "</g>\n</svg>\n";
  return svg;
}

}  // namespace sim
