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

TEST_F(Views, CockpitViewPlacesTheVariantOfTheLightsSwitch) {
  struct Row {
    const char *what;
    double lights_off;
    std::string slot1;
  };
  const Row rows[] = {
      {"lights off: the unlit cockpit", 1.0, kCockpit},
      {"lights on: the lit cockpit", 0.0, kCockpitLit},
      {"a switch that is neither: no mesh at all", 0.5, ""},
  };
  for (const Row &r : rows) {
    host::HostVessel &hv = NewVessel(r.what, false);
    lights_off = r.lights_off;
    camera_view = 1;
    trace().Clear();
    Ship(hv).SelectViewCockpit();
    const std::vector<std::string> meshes =
        r.slot1.empty() ? std::vector<std::string>{} : Cat({Place(r.slot1, 1, "(0, 0.2, 4.5)"), kStatus, kCarrier});
    EXPECT_TRUE(CallsEqual(trace().Texts(), Cat({meshes, Camera(50, 30), kMfds}))) << r.what;
    EXPECT_EQ(camera_view, 0.0) << r.what;
    EXPECT_EQ(trace().Count("oapiVCRegisterHUD"), 0u) << r.what << ": no HUD registered in this view";
    if (!r.slot1.empty()) {
      EXPECT_EQ(Slot(hv, 1), r.slot1) << r.what;
      EXPECT_EQ(Slot(hv, 2), "Pelgar\\TarvexB-status") << r.what;
      EXPECT_EQ(Slot(hv, 3), "Pelgar\\TarvexB-invisible") << r.what;
      for (size_t i = 1; i <= 3; ++i) EXPECT_EQ(hv.meshes[i].vis, MESHVIS_VC) << r.what << ", slot " << i;
      EXPECT_EQ(hv.meshes[1].ofs.z, 4.5) << r.what;
    } else {
      EXPECT_TRUE(hv.meshes.empty()) << r.what;
    }
    EXPECT_EQ(hv.camera_range[0], 50 * RAD) << r.what;
    EXPECT_EQ(hv.camera_range[3], 30 * RAD) << r.what;
    EXPECT_EQ(hv.camera_offset.y, 0.75) << r.what;
  }
}

TEST_F(Views, OpenViewRemovesTheCockpitAndRegistersItsHud) {
  host::HostVessel &hv = NewVessel("A");
  ASSERT_EQ(Slot(hv, 0), "Pelgar\\TarvexB");
  ASSERT_EQ(Slot(hv, 1), kCockpitLit);
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
  EXPECT_EQ(Slot(hv, 2), "Pelgar\\TarvexB-status");
  EXPECT_EQ(Slot(hv, 3), "Pelgar\\TarvexB-invisible");
  const host::World &w = host::world();
  ASSERT_TRUE(w.hud_registered);
  EXPECT_EQ(w.hud.nmesh, 3u);
  EXPECT_EQ(w.hud.hudcnt.y, 0.83);
  EXPECT_EQ(w.hud.size, 0.95);
  EXPECT_EQ(w.mfd[MFD_LEFT].ngroup, 28u);
  EXPECT_EQ(w.mfd[MFD_RIGHT].ngroup, 29u);
  EXPECT_EQ(hv.camera_range[1], 179 * RAD);
  EXPECT_EQ(hv.camera_range[2], 100 * RAD);
}

TEST_F(Views, RefreshPutsTheLightsVariantInOnlyInTheCockpitView) {
  struct Row {
    const char *what;
    double lights_off, camera_view;
    std::string inserted;
  };
  const Row rows[] = {
      {"lights on, cockpit view", 0, 0, kCockpitLit},
      {"lights off, cockpit view", 1, 0, kCockpit},
      {"lights on, open view", 0, 1, ""},
      {"lights off, open view", 1, 1, ""},
      {"switch neither on nor off", 0.5, 0, ""},
      {"view neither 0 nor 1", 1, 0.5, ""},
  };
  host::HostVessel &hv = NewVessel("A", false);
  for (const Row &r : rows) {
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

TEST_F(Views, CockpitMeshFollowsTheLightsAndTheViewSwitches) {
  lights_off = 1;
  host::HostVessel &hv = NewVessel("A");
  ShuttlePB &v = Ship(hv);
  EXPECT_EQ(Slot(hv, 1), kCockpit) << "set up with the lights off";
  lights_off = 0;
  v.RefreshCockpitMesh();
  EXPECT_EQ(Slot(hv, 1), kCockpitLit) << "the lights key swaps the cockpit at the next refresh";

  v.SelectViewOpen();
  lights_off = 1;
  v.RefreshCockpitMesh();
  EXPECT_EQ(Slot(hv, 1), "empty") << "in the open view the lights change no mesh";
  v.SelectViewCockpit();
  EXPECT_EQ(Slot(hv, 1), kCockpit) << "back in the cockpit: the variant of the lights at that moment";
}

TEST_F(Views, SwitchingRepeatedlyReusesTheSameSlots) {
  host::HostVessel &hv = NewVessel("A");
  ShuttlePB &v = Ship(hv);
  trace().Clear();
  for (int i = 0; i < 3; ++i) {
    v.SelectViewOpen();
    EXPECT_EQ(hv.meshes.size(), 4u) << "open view, cycle " << i;
    v.SelectViewCockpit();
    EXPECT_EQ(hv.meshes.size(), 4u) << "cockpit view, cycle " << i;
    EXPECT_EQ(Slot(hv, 0), "Pelgar\\TarvexB") << "cycle " << i;
    EXPECT_EQ(Slot(hv, 1), kCockpitLit) << "cycle " << i;
    EXPECT_EQ(Slot(hv, 2), "Pelgar\\TarvexB-status") << "cycle " << i;
    EXPECT_EQ(Slot(hv, 3), "Pelgar\\TarvexB-invisible") << "cycle " << i;
  }
  std::vector<std::string> inserts = trace().Filter("InsertMesh");
  ASSERT_EQ(inserts.size(), 15u);
  for (size_t i = 0; i < inserts.size(); ++i) {
    const size_t in_cycle = i % 5;  // open: 2, 3; cockpit: 1, 2, 3
    const char *slot = in_cycle == 0 || in_cycle == 3 ? ", 2, " : in_cycle == 1 || in_cycle == 4 ? ", 3, " : ", 1, ";
    EXPECT_NE(inserts[i].find(slot), std::string::npos) << inserts[i];
  }
  EXPECT_EQ(trace().Count("DelMesh"), 3u);
}

}  // namespace
