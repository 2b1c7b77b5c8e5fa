// Cockpit view switching: the mesh slots, their visibility, the camera and
// the virtual-cockpit displays of each view.
#include "module/handles.h"
#include "tests/support/fixture.h"

using host::Num;
using tarvex_test::CallsEqual;
using Calls = std::vector<std::string>;

namespace {

const std::string kCockpit = "Pelgar\\TarvexB-Cpit", kLit = "Pelgar\\TarvexB-Cpit_n";

std::string Slot(const host::HostVessel &hv, size_t i) {
  if (i >= hv.meshes.size() || !hv.meshes[i].present) return "empty";
  return hv.meshes[i].mesh ? static_cast<host::Mesh *>(hv.meshes[i].mesh)->name : "null";
}
Calls Place(const std::string &mesh, int slot, const std::string &ofs) {
  if (mesh.empty()) return {};
  const std::string n = std::to_string(slot);
  return {"InsertMesh(" + mesh + ", " + n + ", " + ofs + ")", "SetMeshVisibilityMode(" + n + ", 4)"};
}
Calls Cat(std::initializer_list<Calls> parts) {
  Calls out;
  for (auto &p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Calls Camera(double side, double vert) {
  const std::string s = Num(side * RAD), v = Num(vert * RAD);
  return {"SetCameraOffset((0, 0.75, 3.1))", "SetCameraRotationRange(" + s + ", " + s + ", " + v + ", " + v + ")"};
}

using Views = tarvex_test::ModuleTest;

TEST_F(Views, CockpitAndOpenViewsPlaceTheirMeshesCameraAndDisplaysAndReuseTheirSlots) {
  const Calls status = Place("Pelgar\\TarvexB-status", 2, "(0.01, 0.1, 5.4)"),
              carrier = Place("Pelgar\\TarvexB-invisible", 3, "(0, 0.65, 5)"),
              mfds = {"oapiVCRegisterMFD(0, {1, 28})", "oapiVCRegisterMFD(1, {1, 29})"};
  // The lights switch picks the cockpit mesh: off the unlit one, on the lit one, neither no mesh at all.
  for (auto r : {std::make_pair(1.0, kCockpit), std::make_pair(0.0, kLit), std::make_pair(0.5, std::string())}) {
    host::HostVessel &hv = NewVessel("V" + Num(r.first), false);
    lights_off = r.first, camera_view = 1;
    trace().Clear();
    Ship(hv).SelectViewCockpit();
    const Calls meshes = r.second.empty() ? Calls{} : Cat({Place(r.second, 1, "(0, 0.2, 4.5)"), status, carrier});
    EXPECT_TRUE(CallsEqual(trace().Texts(), Cat({meshes, Camera(50, 30), mfds}))) << r.first;
    EXPECT_EQ(camera_view, 0.0);
    EXPECT_EQ(Slot(hv, 1), r.second.empty() ? "empty" : r.second);
  }
  host::HostVessel &hv = NewVessel("A");
  trace().Clear();
  Ship(hv).SelectViewOpen();
  EXPECT_TRUE(CallsEqual(trace().Texts(), Cat({status,
                                               carrier,
                                               {"DelMesh(1, false)"},
                                               Camera(179, 100),
                                               {"oapiVCRegisterHUD({3, 0, (0, 0.83, 4.7), 0.95})"},
                                               mfds})));
  EXPECT_EQ(camera_view, 1.0);
  EXPECT_EQ(Slot(hv, 1), "empty");
  lights_off = 0;
  for (int i = 0; i < 3; ++i) {
    Ship(hv).SelectViewOpen();
    Ship(hv).SelectViewCockpit();
    EXPECT_EQ((Calls{Slot(hv, 0), Slot(hv, 1), Slot(hv, 2), Slot(hv, 3), Slot(hv, 4)}),
              (Calls{"Pelgar\\TarvexB", kLit, "Pelgar\\TarvexB-status", "Pelgar\\TarvexB-invisible", "empty"}))
        << "switching reuses the same slots, cycle " << i;
  }
}

TEST_F(Views, RefreshPutsTheLightsVariantInOnlyInTheCockpitView) {
  const struct {
    double lights_off, camera_view;
    std::string inserted;
    const char *what;
  } rows[] = {{0, 0, kLit, "lights on"},
              {1, 0, kCockpit, "lights off"},
              {0, 1, "", "open view"},
              {0.5, 0, "", "switch neither on nor off"},
              {1, 0.5, "", "view neither 0 nor 1"}};
  host::HostVessel &hv = NewVessel("A", false);
  for (const auto &r : rows) {
    lights_off = r.lights_off, camera_view = r.camera_view;
    trace().Clear();
    Ship(hv).RefreshCockpitMesh();
    EXPECT_TRUE(CallsEqual(trace().Texts(), Place(r.inserted, 1, "(0, 0.2, 4.5)"))) << r.what;
    EXPECT_EQ(camera_view, r.camera_view) << "refreshing never changes the view";
  }
}

}  // namespace
