// Cockpit view switching: the mesh slots, their visibility, the camera and
// the virtual-cockpit displays of each view.
#include "module/handles.h"
#include "tests/support/fixture.h"

using host::Num;
using tarvex_test::CallsEqual;

namespace {

const std::string kCockpit = "Pelgar\\TarvexB-Cpit", kCockpitLit = "Pelgar\\TarvexB-Cpit_n";

class Views : public tarvex_test::ModuleTest {
 protected:
  static std::string Slot(const host::HostVessel &hv, size_t i) {
    if (i >= hv.meshes.size() || !hv.meshes[i].present) return "empty";
    return hv.meshes[i].mesh ? static_cast<host::Mesh *>(hv.meshes[i].mesh)->name : "null";
  }
  static std::string Rad(double deg) { return Num(deg * RAD); }
  static std::vector<std::string> Place(const std::string &mesh, int slot, const std::string &ofs) {
    return {"InsertMesh(" + mesh + ", " + std::to_string(slot) + ", " + ofs + ")",
            "SetMeshVisibilityMode(" + std::to_string(slot) + ", 4)"};
  }
  static std::vector<std::string> Cat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (auto &p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  }
  const std::vector<std::string> kStatus = Place("Pelgar\\TarvexB-status", 2, "(0.01, 0.1, 5.4)");
  const std::vector<std::string> kCarrier = Place("Pelgar\\TarvexB-invisible", 3, "(0, 0.65, 5)");
  const std::vector<std::string> kMfds = {"oapiVCRegisterMFD(0, {1, 28})", "oapiVCRegisterMFD(1, {1, 29})"};
  std::vector<std::string> Camera(double side, double vert) const {
    return {"SetCameraOffset((0, 0.75, 3.1))",
            "SetCameraRotationRange(" + Rad(side) + ", " + Rad(side) + ", " + Rad(vert) + ", " + Rad(vert) + ")"};
  }
};

TEST_F(Views, CockpitAndOpenViewsPlaceTheirMeshesCameraAndDisplays) {
  const struct {
    const char *what;
    double lights_off;
    std::string slot1;
  } rows[] = {
      {"lights off: the unlit cockpit", 1.0, kCockpit},
      {"lights on: the lit cockpit", 0.0, kCockpitLit},
      {"a switch that is neither: no mesh at all", 0.5, ""},
  };
  for (const auto &r : rows) {
    host::HostVessel &hv = NewVessel(r.what, false);
    lights_off = r.lights_off;
    camera_view = 1;
    trace().Clear();
    Ship(hv).SelectViewCockpit();
    const std::vector<std::string> meshes =
        r.slot1.empty() ? std::vector<std::string>{} : Cat({Place(r.slot1, 1, "(0, 0.2, 4.5)"), kStatus, kCarrier});
    EXPECT_TRUE(CallsEqual(trace().Texts(), Cat({meshes, Camera(50, 30), kMfds}))) << r.what;
    EXPECT_EQ(camera_view, 0.0) << r.what;
    if (!r.slot1.empty()) {
      EXPECT_EQ(Slot(hv, 1), r.slot1) << r.what;
    }
  }
  host::HostVessel &hv = NewVessel("A");
  trace().Clear();
  Ship(hv).SelectViewOpen();
  EXPECT_TRUE(CallsEqual(trace().Texts(), Cat({kStatus,
                                               kCarrier,
                                               {"DelMesh(1, false)"},
                                               Camera(179, 100),
                                               {"oapiVCRegisterHUD({3, 0, (0, 0.83, 4.7), 0.95})"},
                                               kMfds})));
  EXPECT_EQ(camera_view, 1.0);
  EXPECT_EQ(Slot(hv, 0), "Pelgar\\TarvexB") << "the exterior stays";
  EXPECT_EQ(Slot(hv, 1), "empty");
}

TEST_F(Views, RefreshPutsTheLightsVariantInOnlyInTheCockpitView) {
  const struct {
    const char *what;
    double lights_off, camera_view;
    std::string inserted;
  } rows[] = {
      {"lights on, cockpit view", 0, 0, kCockpitLit},
      {"lights off, cockpit view", 1, 0, kCockpit},
      {"lights on, open view", 0, 1, ""},
      {"switch neither on nor off", 0.5, 0, ""},
      {"view neither 0 nor 1", 1, 0.5, ""},
  };
  host::HostVessel &hv = NewVessel("A", false);
  for (const auto &r : rows) {
    lights_off = r.lights_off;
    camera_view = r.camera_view;
    trace().Clear();
    Ship(hv).RefreshCockpitMesh();
    EXPECT_TRUE(CallsEqual(trace().Texts(),
                           r.inserted.empty() ? std::vector<std::string>{} : Place(r.inserted, 1, "(0, 0.2, 4.5)")))
        << r.what;
    EXPECT_EQ(camera_view, r.camera_view) << r.what << ": refreshing never changes the view";
  }
}

TEST_F(Views, SwitchingRepeatedlyReusesTheSameSlots) {
  host::HostVessel &hv = NewVessel("A");
  ShuttlePB &v = Ship(hv);
  for (int i = 0; i < 3; ++i) {
    v.SelectViewOpen();
    v.SelectViewCockpit();
    EXPECT_EQ((std::vector<std::string>{Slot(hv, 0), Slot(hv, 1), Slot(hv, 2), Slot(hv, 3), Slot(hv, 4)}),
              (std::vector<std::string>{"Pelgar\\TarvexB", kCockpitLit, "Pelgar\\TarvexB-status",
                                        "Pelgar\\TarvexB-invisible", "empty"}))
        << "cycle " << i;
  }
}

}  // namespace
