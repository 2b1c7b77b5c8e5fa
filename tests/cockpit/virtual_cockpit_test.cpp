// Virtual cockpit: what entering it registers with the host, in order, and
// what a click on each area does; the areas are listed in tests/data/vc_areas.txt.
#include "tests/cockpit/pilot_fixture.h"

using tarvex_test::CallsEqual;

namespace {

struct Area {
  int id;
  std::string centre, click;
};

std::vector<Area> Areas() {
  std::vector<Area> out;
  for (const std::string &l : tarvex_test::DataLines("vc_areas.txt")) {
    const size_t open = l.find('('), close = l.find(')');
    out.push_back({std::stoi(l), l.substr(open, close + 1 - open), l.substr(close + 2)});
  }
  return out;
}

using VirtualCockpit = tarvex_test::PilotTest;

TEST_F(VirtualCockpit, EnteringRegistersHudMfdsAndThirtyAreasInOrderAndEachClickReachesItsMfd) {
  const std::vector<Area> areas = Areas();
  ASSERT_EQ(areas.size(), 30u);
  std::vector<std::string> expected = {"oapiVCRegisterHUD({3, 0, (0, 0.83, 4.7), 0.95})",
                                       "oapiVCRegisterMFD(0, {1, 28})", "oapiVCRegisterMFD(1, {1, 29})"};
  size_t first = 0;
  for (size_t size : {2, 2, 2, 12, 12}) {  // each group of areas, then their spheres
    for (size_t i = first; i < first + size; ++i)
      expected.push_back("oapiVCRegisterArea(" + std::to_string(areas[i].id) + ", 0, 65)");
    for (size_t i = first; i < first + size; ++i)
      expected.push_back("oapiVCSetAreaClickmode_Spherical(" + std::to_string(areas[i].id) + ", " + areas[i].centre +
                         ", 0.03)");
    first += size;
  }
  for (double view : {0.0, 1.0, 0.5}) {  // the same in both views
    camera_view = view;
    host::world().areas.clear();
    trace().Clear();
    EXPECT_TRUE(ship().clbkLoadVC(view == 0.0 ? 0 : 2)) << "view " << view;
    EXPECT_TRUE(CallsEqual(trace().Texts(), expected)) << "view " << view;
  }
  VECTOR3 p = _V(0, 0, 0);
  for (const Area &a : areas) {
    trace().Clear();
    EXPECT_TRUE(ship().clbkVCMouseEvent(a.id, PANEL_MOUSE_LBDOWN, p)) << "area " << a.id;
    EXPECT_TRUE(CallsEqual(trace().Texts(), {a.click})) << "area " << a.id;
  }
  // The soft buttons hand the host's event on unchanged; the function buttons do not.
  trace().Clear();
  ship().clbkVCMouseEvent(36, 0x41, p);
  ship().clbkVCMouseEvent(8, 0x41, p);
  for (int id : {-1, 0, 7, 10, 11, 12, 15, 18, 21, 24, 49, 100})
    EXPECT_FALSE(ship().clbkVCMouseEvent(id, PANEL_MOUSE_LBDOWN, p)) << "identifier " << id;
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiProcessMFDButton(0, 11, 65)", "oapiSendMFDKey(0, 1)"}))
      << "refused clicks do nothing";
}

}  // namespace
