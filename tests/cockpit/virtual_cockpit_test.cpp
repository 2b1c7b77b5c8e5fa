// Virtual cockpit: what entering it registers with the host, in order, and
// what a click on each area does.
#include "tests/cockpit/pilot_fixture.h"

using tarvex_test::CallsEqual;

namespace {

// The panel as the pilot sees it: area, centre, and the call a click makes
// (event 1, a left-button press).
struct Area {
  int id;
  const char *centre;
  const char *click;
};
const Area kAreas[] = {
    {8, "(-0.556556, -0.144701, 5.364927)", "oapiSendMFDKey(0, 1)"},
    {9, "(0.210176, -0.144993, 5.364927)", "oapiSendMFDKey(1, 1)"},
    {13, "(-0.229363, -0.147255, 5.364927)", "oapiSendMFDKey(0, 59)"},
    {14, "(0.545686, -0.146087, 5.364927)", "oapiSendMFDKey(1, 59)"},
    {19, "(-0.156994, -0.146087, 5.364927)", "oapiSendMFDKey(0, 41)"},
    {20, "(0.611051, -0.146087, 5.364927)", "oapiSendMFDKey(1, 41)"},
    {25, "(-0.647528, 0.293671, 5.364927)", "oapiProcessMFDButton(0, 0, 1)"},
    {26, "(-0.648695, 0.225388, 5.364927)", "oapiProcessMFDButton(0, 1, 1)"},
    {27, "(-0.648695, 0.152435, 5.364927)", "oapiProcessMFDButton(0, 2, 1)"},
    {28, "(-0.64782, 0.072187, 5.364927)", "oapiProcessMFDButton(0, 3, 1)"},
    {29, "(-0.64782, -0.002516, 5.364927)", "oapiProcessMFDButton(0, 4, 1)"},
    {30, "(-0.648987, -0.071384, 5.364927)", "oapiProcessMFDButton(0, 5, 1)"},
    {31, "(-0.104469, 0.282874, 5.364927)", "oapiProcessMFDButton(0, 6, 1)"},
    {32, "(-0.104469, 0.213423, 5.364927)", "oapiProcessMFDButton(0, 7, 1)"},
    {33, "(-0.104469, 0.141638, 5.364927)", "oapiProcessMFDButton(0, 8, 1)"},
    {34, "(-0.103885, 0.07102, 5.364927)", "oapiProcessMFDButton(0, 9, 1)"},
    {35, "(-0.103885, -0.0031, 5.364927)", "oapiProcessMFDButton(0, 10, 1)"},
    {36, "(-0.105052, -0.071967, 5.364927)", "oapiProcessMFDButton(0, 11, 1)"},
    {37, "(0.127813, 0.284042, 5.364927)", "oapiProcessMFDButton(1, 0, 1)"},
    {38, "(0.127813, 0.214007, 5.364927)", "oapiProcessMFDButton(1, 1, 1)"},
    {39, "(0.127229, 0.141638, 5.364927)", "oapiProcessMFDButton(1, 2, 1)"},
    {40, "(0.128396, 0.072187, 5.364927)", "oapiProcessMFDButton(1, 3, 1)"},
    {41, "(0.127813, -0.0031, 5.364927)", "oapiProcessMFDButton(1, 4, 1)"},
    {42, "(0.127229, -0.071967, 5.364927)", "oapiProcessMFDButton(1, 5, 1)"},
    {43, "(0.668829, 0.285792, 5.364927)", "oapiProcessMFDButton(1, 6, 1)"},
    {44, "(0.669413, 0.216342, 5.364927)", "oapiProcessMFDButton(1, 7, 1)"},
    {45, "(0.669413, 0.143972, 5.364927)", "oapiProcessMFDButton(1, 8, 1)"},
    {46, "(0.667662, 0.073938, 5.364927)", "oapiProcessMFDButton(1, 9, 1)"},
    {47, "(0.669997, -0.0031, 5.364927)", "oapiProcessMFDButton(1, 10, 1)"},
    {48, "(0.669413, -0.071967, 5.364927)", "oapiProcessMFDButton(1, 11, 1)"},
};

// Registration: the displays, then each group's areas followed by their spheres.
std::vector<std::string> ExpectedRegistration() {
  std::vector<std::string> calls = {"oapiVCRegisterHUD({3, 0, (0, 0.83, 4.7), 0.95})", "oapiVCRegisterMFD(0, {1, 28})",
                                    "oapiVCRegisterMFD(1, {1, 29})"};
  const std::vector<std::vector<int>> groups = {{0, 1},
                                                {2, 3},
                                                {4, 5},
                                                {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
                                                {18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}};
  for (auto &g : groups) {
    for (int i : g) calls.push_back("oapiVCRegisterArea(" + std::to_string(kAreas[i].id) + ", 0, 65)");
    for (int i : g)
      calls.push_back("oapiVCSetAreaClickmode_Spherical(" + std::to_string(kAreas[i].id) + ", " + kAreas[i].centre +
                      ", 0.03)");
  }
  return calls;
}

class VirtualCockpit : public tarvex_test::PilotTest {};

TEST_F(VirtualCockpit, EnteringRegistersHudMfdsAndThirtyAreasInOrderTheSameInBothViews) {
  for (double view : {0.0, 1.0, 0.5}) {
    camera_view = view;
    host::world().areas.clear();
    trace().Clear();
    EXPECT_TRUE(ship().clbkLoadVC(view == 0.0 ? 0 : 2)) << "view " << view;
    EXPECT_TRUE(CallsEqual(trace().Texts(), ExpectedRegistration())) << "view " << view;
    ASSERT_EQ(host::world().areas.size(), 30u);
    for (const host::VCArea &a : host::world().areas)
      EXPECT_TRUE(a.spherical && a.radius == 0.03 && a.mouse_event == 0x41) << "area " << a.id;
  }
}

TEST_F(VirtualCockpit, EveryAreaClickReachesItsMfdAndOtherIdentifiersAreRefused) {
  ship().clbkLoadVC(0);
  VECTOR3 p = _V(0, 0, 0);
  for (const Area &a : kAreas) {
    ASSERT_NE(host::world().FindArea(a.id), nullptr) << "area " << a.id << " is registered";
    trace().Clear();
    EXPECT_TRUE(ship().clbkVCMouseEvent(a.id, PANEL_MOUSE_LBDOWN, p)) << "area " << a.id;
    EXPECT_TRUE(CallsEqual(trace().Texts(), {a.click})) << "area " << a.id;
  }
  // The soft buttons hand the host's event on unchanged; the function buttons do not.
  trace().Clear();
  ship().clbkVCMouseEvent(36, 0x41, p);
  ship().clbkVCMouseEvent(8, 0x41, p);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiProcessMFDButton(0, 11, 65)", "oapiSendMFDKey(0, 1)"}));

  trace().Clear();
  for (int id : {-1, 0, 7, 10, 11, 12, 15, 18, 21, 24, 49, 100}) {
    EXPECT_FALSE(ship().clbkVCMouseEvent(id, PANEL_MOUSE_LBDOWN, p)) << "identifier " << id;
    EXPECT_EQ(host::world().FindArea(id), nullptr) << "identifier " << id << " is not registered";
  }
  EXPECT_TRUE(trace().Texts().empty()) << "refused clicks do nothing";
}

}  // namespace
