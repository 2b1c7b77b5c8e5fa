// HUD overlay: when it draws, what the pilot reads and where, the latched
// gear warning and the gear-down symbol.
#include "cockpit/hud.h"

#include <algorithm>
#include <cstring>

#include "tests/cockpit/pilot_fixture.h"

using tarvex_test::CallsEqual;

namespace {

std::string At(int x, int y, const std::string &text) {
  return std::to_string(x) + "," + std::to_string(y) + " " + text;
}

class Hud : public tarvex_test::PilotTest {
 protected:
  void SetUp() override {
    PilotTest::SetUp();
    navmode_alt = NAVMODE_HOLDALT, navmode_lvl = NAVMODE_HLEVEL,
    navmode_rot = NAVMODE_KILLROT;  // as each step sets them
    hv().altitude = 1000;
  }
  bool Draw(const HUDPAINTSPEC *hps = nullptr) {
    skp_.Clear();
    trace().Clear();
    return host::DrawHUD(hv(), skp_, host::world().hud_mode, hps);
  }
  // Every text drawn, in order; each must be handed over with its true length.
  std::vector<std::string> Texts(int only_y = -1) const {
    std::vector<std::string> out;
    for (auto &t : skp_.texts) {
      EXPECT_EQ((size_t)t.len, t.text.size()) << t.text;
      if (only_y < 0 || (t.y == only_y && t.text.rfind("TRIM", 0) && t.text.rfind("THRUST", 0)))
        out.push_back(At(t.x, t.y, t.text));
    }
    return out;
  }
  bool Warned() const { return skp_.HasText("WARNING !! GEAR DAMAGE"); }

  host::RecordingSketchpad skp_;
};

TEST_F(Hud, SurfaceHudDrawsTheReadoutsInOrderAtTheirPlacesOnlyInTheVirtualCockpit) {
  hv().airspeed = 100;  // 194.38 kts; 1000 m is 3280.84 ft
  hv().ctrl_level[AIRCTRL_ELEVATORTRIM] = -0.256;
  nozzle_deflection = 0.5;
  hv().vessel->SetThrusterLevel(th_main, 0.8);
  hv().vessel->SetThrusterLevel(th_reheat, 0.5);  // counts half
  hv().horizon_airspeed = _V(0, -3.26, 100);
  hv().navmode[NAVMODE_HLEVEL] = hv().navmode[NAVMODE_KILLROT] = true;
  EXPECT_TRUE(Draw());
  EXPECT_TRUE(CallsEqual(Texts(), {At(108, 241, "HLEVEL"), At(200, 241, "KILLROT"), At(178, 230, "THRUST 105.0"),
                                   At(0, 128, "KTS 194"), At(194, 128, "FT 3281"), At(94, 230, "NOZZLE# 50"),
                                   At(0, 230, "TRIM -0.26"), At(0, 241, "VERTSPD -3.3")}));
  auto calls = trace().Texts();
  EXPECT_LT(std::find(calls.begin(), calls.end(), "Sketchpad::Text(178, 230, \"THRUST 105.0\", 12)"),
            std::find(calls.begin(), calls.end(), "GetHorizonAirspeedVector()"))
      << "the vertical speed is read after the thrust line";
  hv().navmode[NAVMODE_HOLDALT] = true;
  Draw();
  auto texts = Texts();
  EXPECT_EQ(texts.front(), At(0, 241, "HOLDALT")) << "altitude hold takes the vertical-speed place";
  EXPECT_EQ(std::count(texts.begin(), texts.end(), At(0, 241, "VERTSPD -3.3")), 0);

  host::world().cockpit_mode = COCKPIT_PANELS;
  EXPECT_FALSE(Draw());
  EXPECT_ALL(skp_.texts.empty(), skp_.shapes.empty());
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiCockpitMode()"})) << "the default HUD is not called";
}

TEST_F(Hud, HoverCueReplacesTheNozzleNumberStrictlyBetween99And101) {
  const struct {
    double deflection;
    std::vector<std::string> line;
    const char *what;
  } rows[] = {{0.98, {At(94, 230, "NOZZLE# 98")}, "below the cue: the number"},
              {0.99, {}, "99 exactly: neither"},
              {0.995, {At(97, 230, "HOVER SET")}, "inside: the cue"},
              {1.01, {}, "101 exactly: neither"},
              {1.02, {At(92, 230, "NOZZLE# 102")}, "above: the number, moved left"}};
  for (const auto &r : rows) {
    nozzle_deflection = r.deflection;
    Draw();
    EXPECT_EQ(Texts(230), r.line) << r.what;
  }
}

TEST_F(Hud, HardDescentLatchesTheGearWarning) {
  const struct {
    double altitude, vs, gear;
    bool warns;
    const char *what;
  } rows[] = {
      {50, -9.49, 0.0, false, "sinking slower than 9.5 m/s"},
      {100, -12, 0.0, false, "at exactly 100 m"},
      {50, -12, 0.01, false, "gear not fully down"},
      {99.9, -9.5, 0.0, true, "9.5 m/s below 100 m with the gear down"},
  };
  for (const auto &r : rows) {
    gear_warning = 0.0, gear_pos = r.gear, hv().altitude = r.altitude;
    hv().horizon_airspeed = _V(0, r.vs, 30);
    Draw();
    EXPECT_EQ(gear_warning, r.warns ? 1.0 : 0.0) << r.what;
    EXPECT_EQ(Warned(), r.warns) << r.what;
  }
  EXPECT_EQ(Texts().back(), At(52, 190, "WARNING !! GEAR DAMAGE")) << "the warning is the last line";
  hv().altitude = 800, hv().horizon_airspeed = _V(0, 15, 80), gear_pos = 1.0;
  Draw();
  EXPECT_TRUE(Warned()) << "climbing away with the gear raised does not clear it";
  host::world().hud_mode = HUD_ORBIT;
  Draw();
  EXPECT_FALSE(Warned()) << "the other HUD modes do not show it, nor clear it";
  host::world().hud_mode = HUD_SURFACE;
  Draw();
  EXPECT_TRUE(Warned()) << "until key 2 clears it";
}

TEST_F(Hud, OtherHudModesGetOnlyTheGearSymbolAboveTheCentreWithinItsBounds) {
  for (int mode : {HUD_ORBIT, HUD_DOCKING}) {
    host::world().hud_mode = mode;
    gear_pos = 0.0;
    EXPECT_TRUE(Draw()) << mode;
    EXPECT_ALL(skp_.texts.empty(), skp_.shapes.size() == 3u) << mode;
    EXPECT_TRUE(trace().Contains("VESSEL3::clbkDrawHUD(" + std::to_string(mode) + ")"));
    gear_pos = 0.3;
    Draw();
    EXPECT_TRUE(skp_.shapes.empty()) << "gear not down: no symbol";
  }
  gear_pos = 0.0;
  HUDPAINTSPEC hps{400, 300, 200, 150, 1.0, 27};  // d = 13, h = 6
  Draw(&hps);
  ASSERT_EQ(skp_.shapes.size(), 3u);
  const int want[3][4] = {{194, 85, 206, 98}, {161, 124, 174, 137}, {226, 124, 239, 137}};
  for (int i = 0; i < 3; ++i) {
    auto &s = skp_.shapes[i];
    EXPECT_EQ((std::vector<int>{s.x0, s.y0, s.x1, s.y1}), (std::vector<int>(want[i], want[i] + 4))) << s.kind << i;
  }
  // The centre may stray off the surface by the symbol's size (d = 12 here).
  const struct {
    int cx, cy;
    bool drawn;
    const char *what;
  } rows[] = {{-36, 256, true, "left edge"},   {-37, 256, false, "past it"}, {547, 256, true, "right edge"},
              {548, 256, false, "past it"},    {256, 12, true, "top edge"},  {256, 11, false, "past it"},
              {256, 571, true, "bottom edge"}, {256, 572, false, "past it"}};
  for (const auto &r : rows) {
    HUDPAINTSPEC p{512, 512, r.cx, r.cy, 1.0, 24};
    Draw(&p);
    EXPECT_EQ(skp_.shapes.size(), r.drawn ? 3u : 0u) << r.what << " (" << r.cx << ", " << r.cy << ")";
  }
}

TEST_F(Hud, ValuesTooLongAreCutAtTheBufferEndAndBadQueriesReadAsLevelFlight) {
  hv().airspeed = 1e300, hv().altitude = -1e300;
  Draw();
  ASSERT_GE(Texts().size(), 5u);
  EXPECT_EQ(skp_.texts[1].text.substr(0, 12) + std::to_string(skp_.texts[1].len), "KTS 19438444255");
  EXPECT_EQ(skp_.texts[2].text.substr(0, 11) + std::to_string(skp_.texts[2].len), "FT -3280839255");
  EXPECT_EQ(skp_.texts[3].text, "NOZZLE# 0") << "the next line starts from a clean buffer";
  char buf[kHudTextSize];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(HudPrintf(buf, "%s", std::string(255, 'a').c_str()), 255);
  EXPECT_EQ(HudPrintf(buf, "%s", std::string(256, 'b').c_str()), 255);
  EXPECT_ALL(buf[255] == '\0', buf[254] == 'b');
  EXPECT_EQ(HudPrintf(buf, "%s", ""), 0);
#if !defined(_WIN32)
  const wchar_t unencodable[] = {0xD800, 0};  // no multibyte form in the C locale: the formatter fails
  EXPECT_EQ(HudPrintf(buf, "x%ls", unencodable), 0) << "a failed format gives an empty text";
  EXPECT_EQ(buf[0], '\0');
#endif
  hv().horizon_query_fails = true;
  hv().altitude = 10;
  Draw();
  EXPECT_TRUE(skp_.HasText("VERTSPD 0.0")) << "a refused horizon query reads as level flight";
  EXPECT_EQ(gear_warning, 0.0);
  EXPECT_TRUE(ship().clbkDrawHUD(HUD_SURFACE, nullptr, nullptr)) << "without a surface nothing is drawn";
}

}  // namespace
