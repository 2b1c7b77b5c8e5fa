// HUD overlay: when it draws, what the pilot reads and where, the latched
// gear warning and the gear-down symbol.
#include "cockpit/hud.h"

#include <algorithm>
#include <cstring>

#include "tests/cockpit/pilot_fixture.h"

using tarvex_test::CallsEqual;

namespace {

// A text as the pilot sees it: where, and what.
std::string At(int x, int y, const std::string &text) {
  return std::to_string(x) + "," + std::to_string(y) + " " + text;
}

class Hud : public tarvex_test::PilotTest {
 protected:
  void SetUp() override {
    PilotTest::SetUp();
    // The hold-mode numbers as every flight step leaves them.
    navmode_alt = NAVMODE_HOLDALT;
    navmode_lvl = NAVMODE_HLEVEL;
    navmode_rot = NAVMODE_KILLROT;
    hv().altitude = 1000;
  }
  bool Draw(const HUDPAINTSPEC *hps = nullptr) {
    skp_.Clear();
    trace().Clear();
    return host::DrawHUD(hv(), skp_, host::world().hud_mode, hps);
  }
  // Every text drawn, in order; each must be handed over with its true length.
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (auto &t : skp_.texts) {
      EXPECT_EQ((size_t)t.len, t.text.size()) << "length passed with \"" << t.text << "\"";
      out.push_back(At(t.x, t.y, t.text));
    }
    return out;
  }
  // The texts of the line the hover cue and the nozzle number share, besides
  // trim and thrust.
  std::vector<std::string> NozzleLine() const {
    std::vector<std::string> out;
    for (auto &t : skp_.texts)
      if (t.y == 230 && t.text.rfind("TRIM", 0) != 0 && t.text.rfind("THRUST", 0) != 0)
        out.push_back(At(t.x, t.y, t.text));
    return out;
  }
  bool Warned() const { return skp_.HasText("WARNING !! GEAR DAMAGE"); }

  host::RecordingSketchpad skp_;
};

TEST_F(Hud, OutsideTheVirtualCockpitNothingIsDrawnAndTheDefaultHudIsNotCalled) {
  host::world().cockpit_mode = COCKPIT_PANELS;
  EXPECT_FALSE(Draw());
  EXPECT_TRUE(skp_.texts.empty() && skp_.shapes.empty());
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiCockpitMode()"}));
}

TEST_F(Hud, SurfaceHudDrawsTheReadoutsInOrderAtTheirPlaces) {
  hv().airspeed = 100;   // 194.38 kts
  hv().altitude = 1000;  // 3280.84 ft
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
  // The vertical speed is read after the thrust line is drawn.
  auto calls = trace().Texts();
  auto thrust = std::find(calls.begin(), calls.end(), "Sketchpad::Text(178, 230, \"THRUST 105.0\", 12)");
  auto vs = std::find(calls.begin(), calls.end(), "GetHorizonAirspeedVector()");
  EXPECT_LT(thrust, vs) << "the vertical speed is read after the thrust line";

  // Altitude hold on: its label takes the vertical-speed place.
  hv().navmode[NAVMODE_HOLDALT] = true;
  Draw();
  auto texts = Texts();
  EXPECT_EQ(texts.front(), At(0, 241, "HOLDALT"));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), At(0, 241, "VERTSPD -3.3")), 0) << "one or the other";
}

TEST_F(Hud, HoverCueReplacesTheNozzleNumberStrictlyBetween99And101) {
  struct Row {
    double deflection;
    std::vector<std::string> line;
    const char *what;
  } rows[] = {
      {0.98, {At(94, 230, "NOZZLE# 98")}, "below 99: number on the left place"},
      {0.99, {}, "exactly 99: neither"},
      {0.995, {At(97, 230, "HOVER SET")}, "99.5: cue"},
      {1.01, {}, "exactly 101: neither"},
      {1.02, {At(92, 230, "NOZZLE# 102")}, "above 101: number on the right place"},
  };
  for (const Row &r : rows) {
    nozzle_deflection = r.deflection;
    Draw();
    EXPECT_EQ(NozzleLine(), r.line) << r.what;
  }
}

TEST_F(Hud, HardDescentLatchesTheGearWarningUntilTheKeyClearsIt) {
  struct Row {
    double altitude, vs, gear;
    bool warns;
    const char *what;
  } rows[] = {
      {50, -9.49, 0.0, false, "sinking slower than 9.5 m/s"},
      {100, -12, 0.0, false, "at exactly 100 m"},
      {50, -12, 0.01, false, "gear not fully down"},
      {50, -12, 1.0, false, "gear up"},
      {99.9, -9.5, 0.0, true, "9.5 m/s below 100 m with the gear down"},
  };
  for (const Row &r : rows) {
    gear_warning = 0.0;
    hv().altitude = r.altitude;
    hv().horizon_airspeed = _V(0, r.vs, 30);
    gear_pos = r.gear;
    Draw();
    EXPECT_EQ(gear_warning, r.warns ? 1.0 : 0.0) << r.what;
    EXPECT_EQ(Warned(), r.warns) << r.what;
  }
  const auto warning = At(52, 190, "WARNING !! GEAR DAMAGE");
  EXPECT_EQ(Texts().back(), warning) << "the warning is the last line";

  // Climbing away with the gear raised does not clear it.
  hv().altitude = 800;
  hv().horizon_airspeed = _V(0, 15, 80);
  gear_pos = 1.0;
  Draw();
  EXPECT_TRUE(Warned());
  // The other HUD modes do not show it, nor clear it.
  host::world().hud_mode = HUD_ORBIT;
  Draw();
  EXPECT_FALSE(Warned());
  host::world().hud_mode = HUD_SURFACE;
  Draw();
  EXPECT_TRUE(Warned());

  EXPECT_EQ(Press(OAPI_KEY_2), 1);
  Draw();
  EXPECT_FALSE(Warned());
  EXPECT_EQ(gear_warning, 0.0);
}

TEST_F(Hud, OtherHudModesGetTheGearSymbolOnly) {
  for (int mode : {HUD_ORBIT, HUD_DOCKING}) {
    host::world().hud_mode = mode;
    gear_pos = 0.0;
    EXPECT_TRUE(Draw()) << "HUD mode " << mode;
    EXPECT_TRUE(skp_.texts.empty()) << "HUD mode " << mode;
    EXPECT_EQ(skp_.shapes.size(), 3u) << "HUD mode " << mode;
    EXPECT_TRUE(trace().Contains("VESSEL3::clbkDrawHUD(" + std::to_string(mode) + ")"));
    gear_pos = 0.3;
    Draw();
    EXPECT_TRUE(skp_.shapes.empty()) << "gear not down: no symbol";
  }
}

TEST_F(Hud, GearSymbolMarksAboveTheCentreWithinItsBounds) {
  // Markersize 27: d = 13, h = 6.
  HUDPAINTSPEC hps{400, 300, 200, 150, 1.0, 27};
  Draw(&hps);
  ASSERT_EQ(skp_.shapes.size(), 3u);
  const int want[3][4] = {{194, 85, 206, 98}, {161, 124, 174, 137}, {226, 124, 239, 137}};
  for (int i = 0; i < 3; ++i) {
    auto &s = skp_.shapes[i];
    EXPECT_EQ(s.kind, "ellipse");
    EXPECT_EQ((std::vector<int>{s.x0, s.y0, s.x1, s.y1}), (std::vector<int>(want[i], want[i] + 4))) << "mark " << i;
  }

  // The centre may stray off the surface by the symbol's size (d = 12 here).
  struct Row {
    int cx, cy;
    bool drawn;
    const char *what;
  } rows[] = {
      {-36, 256, true, "cx at -3d"},          {-37, 256, false, "cx below -3d"}, {547, 256, true, "cx just below W+3d"},
      {548, 256, false, "cx at W+3d"},        {256, 12, true, "cy at d"},        {256, 11, false, "cy below d"},
      {256, 571, true, "cy just below H+5d"}, {256, 572, false, "cy at H+5d"},
  };
  for (const Row &r : rows) {
    HUDPAINTSPEC p{512, 512, r.cx, r.cy, 1.0, 24};
    Draw(&p);
    EXPECT_EQ(skp_.shapes.size(), r.drawn ? 3u : 0u) << r.what;
  }
}

TEST_F(Hud, ValuesTooLongForTheBufferAreCutAtItsEnd) {
  hv().airspeed = 1e300;
  hv().altitude = -1e300;
  Draw();
  ASSERT_GE(skp_.texts.size(), 5u);
  const auto &kts = skp_.texts[1];
  EXPECT_EQ(kts.len, 255);
  EXPECT_EQ(kts.text.size(), 255u);
  EXPECT_EQ(kts.text.rfind("KTS 19438444", 0), 0u);
  EXPECT_EQ(skp_.texts[2].len, 255);
  EXPECT_EQ(skp_.texts[2].text.rfind("FT -3280839", 0), 0u);
  EXPECT_EQ(skp_.texts[3].text, "NOZZLE# 0") << "the next line starts from a clean buffer";

  // The formatter itself, at the edge of the buffer.
  char buf[kHudTextSize];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(HudPrintf(buf, "%s", std::string(255, 'a').c_str()), 255);
  EXPECT_EQ(std::strlen(buf), 255u);
  EXPECT_EQ(HudPrintf(buf, "%s", std::string(256, 'b').c_str()), 255);
  EXPECT_EQ(buf[255], '\0');
  EXPECT_EQ(buf[254], 'b');
  EXPECT_EQ(HudPrintf(buf, "%s", ""), 0);
#if !defined(_WIN32)
  const wchar_t unencodable[] = {0xD800, 0};  // no multibyte form in the C locale: the formatter fails
  EXPECT_EQ(HudPrintf(buf, "x%ls", unencodable), 0) << "a failed format gives an empty text";
  EXPECT_EQ(buf[0], '\0');
#endif
}

TEST_F(Hud, ARefusedHorizonQueryReadsAsLevelFlightAndAMissingSurfaceIsSkipped) {
  hv().horizon_query_fails = true;
  hv().altitude = 10;
  Draw();
  EXPECT_TRUE(skp_.HasText("VERTSPD 0.0"));
  EXPECT_EQ(gear_warning, 0.0);
  // Without a surface or its sizes nothing is drawn, and nothing breaks.
  EXPECT_TRUE(ship().clbkDrawHUD(HUD_SURFACE, nullptr, nullptr));
}

}  // namespace
