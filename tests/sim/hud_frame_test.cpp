// A HUD redraw as SVG.
#include "sim/hud_frame.h"

#include <gtest/gtest.h>

namespace {

bool Has(const std::string &svg, const std::string &part) { return svg.find(part) != std::string::npos; }

TEST(HudFrame, DrawsEachTextAtItsPixelAndEachShapeInItsBox) {
  host::RecordingSketchpad skp;
  skp.Text(0, 241, "HOLDALT", 7);
  skp.Text(52, 190, "A<B & \"C\"", 9);
  skp.Ellipse(244, 136, 256, 148);
  skp.Rectangle(30, 40, 20, 46);  // corners given the other way round
  std::string svg = sim::HudFrameSvg(sim::FrameOfRedraw(12.5, HUDPAINTSPEC{400, 300, 250, 160, 1, 24}, skp, true));
  for (const char *part : {"width=\"400\" height=\"300\" viewBox=\"0 0 400 300\"", "data-t=\"12.5\"",
                           "<text x=\"0\" y=\"241\" dominant-baseline=\"hanging\">HOLDALT</text>",
                           ">A&lt;B &amp; &quot;C&quot;</text>", "<ellipse cx=\"250\" cy=\"142\" rx=\"6\" ry=\"6\"/>",
                           "<rect x=\"20\" y=\"40\" width=\"10\" height=\"6\"/>", "M226 160h48M250 136v48"})
    EXPECT_TRUE(Has(svg, part)) << part << "\n" << svg;

  // Without the default HUD (the draw routine answered false) no frame or centre mark.
  EXPECT_FALSE(
      Has(sim::HudFrameSvg(sim::FrameOfRedraw(0, HUDPAINTSPEC{400, 300, 250, 160, 1, 24}, skp, false)), "M226 160h48"));
}

TEST(HudFrame, SaysWhyNoHudIsShown) {
  struct Row {
    int cockpit;
    bool inside;
    int hud;
    const char *why, *what;
  } rows[] = {{COCKPIT_VIRTUAL, true, HUD_SURFACE, "", "surface HUD shown"},
              {COCKPIT_VIRTUAL, true, HUD_ORBIT, "", "orbit HUD shown"},
              {COCKPIT_VIRTUAL, false, HUD_SURFACE, "camera outside the vessel", "outside"},
              {COCKPIT_GENERIC, true, HUD_SURFACE, "generic cockpit", "another cockpit"},
              {COCKPIT_VIRTUAL, true, HUD_NONE, "HUD switched off", "no HUD mode"}};
  for (const Row &r : rows) EXPECT_EQ(sim::HudHidden(r.cockpit, r.inside, r.hud), r.why) << r.what;
  sim::HudFrame f;
  f.paint = HUDPAINTSPEC{400, 300, 250, 160, 1, 24}, f.why_not = "HUD switched off";
  EXPECT_TRUE(Has(sim::HudFrameSvg(f),
                  "<text x=\"200\" y=\"150\" fill=\"#6a7a70\" text-anchor=\"middle\">no HUD: HUD switched off"))
      << "the reason stands in the middle of the surface";
}

}  // namespace

// Text for the chart and the report: UTF-8 kept at the edges of each lead
// byte's range, every byte that does not read as UTF-8 replaced.
TEST(HudFrame, XmlTextKeepsUtf8AndReplacesWhatDoesNotRead) {
  const std::string bad = "\xEF\xBF\xBD";
  const struct {
    std::string in, out, why;
  } rows[] = {
      {"<a & \"b\">", "&lt;a &amp; &quot;b&quot;&gt;", "markup characters escaped"},
      {"a\x01\tb\n", "a?\tb\n", "a control character shown as ?, tab and newline kept"},
      {"\xC2\x80\xDF\xBF", "\xC2\x80\xDF\xBF", "two-byte forms at both ends of the lead range"},
      {"\xC3\x80\xC3\xBF", "\xC3\x80\xC3\xBF", "continuation bytes at both ends of their range"},
      {"\xC1\xBF", bad + bad, "an overlong two-byte form"},
      {"\xE0\xA0\x80", "\xE0\xA0\x80", "the lowest three-byte form"},
      {"\xE0\x9F\xBF", bad + bad + bad, "an overlong three-byte form"},
      {"\xED\x9F\xBF", "\xED\x9F\xBF", "the last code point before the surrogates"},
      {"\xED\xA0\x80", bad + bad + bad, "a surrogate"},
      {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", "four-byte forms at both ends"},
      {"\xF4\x90\x80\x80", bad + bad + bad + bad, "past the last code point"},
      {"\xE2\x82", bad + bad, "a form cut short at the end"},
      {"\xE2\x28\xA1", bad + "(" + bad, "a form broken in the middle"},
  };
  for (const auto &r : rows) EXPECT_EQ(sim::XmlEscape(r.in), r.out) << r.why;
}
