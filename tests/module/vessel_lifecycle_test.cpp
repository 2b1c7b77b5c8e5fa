// Vessel construction and the module-level state record.
#include "module/handles.h"
#include "module/state.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class VesselLifecycle : public tarvex_test::ModuleTest {};

TEST_F(VesselLifecycle, ConstructorLoadsTheFiveMeshesInOrderThenDeclaresAnimations) {
  host::HostVessel &hv = NewVessel("A", false);
  auto calls = trace().Texts();
  ASSERT_GE(calls.size(), 6u);
  EXPECT_TRUE(
      CallsEqual(std::vector<std::string>(calls.begin(), calls.begin() + 5),
                 {"oapiLoadMeshGlobal(\"Pelgar\\TarvexB\")", "oapiLoadMeshGlobal(\"Pelgar\\TarvexB-Cpit\")",
                  "oapiLoadMeshGlobal(\"Pelgar\\TarvexB-Cpit_n\")", "oapiLoadMeshGlobal(\"Pelgar\\TarvexB-status\")",
                  "oapiLoadMeshGlobal(\"Pelgar\\TarvexB-invisible\")"}));
  EXPECT_EQ(trace().Entries()[5].name, "CreateAnimation");
  EXPECT_EQ(static_cast<host::Mesh *>(hmesh_exterior)->name, "Pelgar\\TarvexB");
  EXPECT_EQ(static_cast<host::Mesh *>(hmesh_invisible)->name, "Pelgar\\TarvexB-invisible");
  EXPECT_EQ(Ship(hv).MyID, -1) << "the sound identifier comes only with post-creation";
}

TEST_F(VesselLifecycle, SecondVesselReloadsMeshesAndOverwritesTheSharedHandles) {
  NewVessel("A", false);
  host::world().failing_meshes.insert("Pelgar\\TarvexB-status");
  trace().Clear();
  NewVessel("B", false);
  EXPECT_EQ(trace().Count("oapiLoadMeshGlobal"), 5u);
  // The host answered null for the status mesh this time: the handle is stored as returned.
  EXPECT_EQ(hmesh_status, nullptr);
  EXPECT_NE(hmesh_exterior, nullptr);
}

TEST_F(VesselLifecycle, StateRecordStartsAtLoadValuesAndIsSharedByAllVessels) {
  // Creating vessels resets nothing: a later vessel starts from what the
  // earlier one left behind.
  NewVessel("A", false);
  gear_pos = 1.0;
  strut_ext = 0.25;
  NewVessel("B", false);
  EXPECT_EQ(gear_pos, 1.0);
  EXPECT_EQ(strut_ext, 0.25);
}

TEST_F(VesselLifecycle, DestroyingTheVesselThatMadeThemClearsThemForTheOthers) {
  host::HostVessel &a = NewVessel("A");
  host::HostVessel &b = NewVessel("B");  // its set-up replaces the shared handles
  ASSERT_EQ(b.thrusters.front().get(), th_main);
  // Destroying a vessel that does not own them leaves them alone.
  host::HostVessel &c = NewVessel("C", false);
  host::DestroyVessel(api_, c);
  EXPECT_NE(th_main, nullptr);
  host::DestroyVessel(api_, b);
  EXPECT_EQ(th_main, nullptr);
  EXPECT_EQ(th_reheat, nullptr);
  EXPECT_EQ(th_hover[0], nullptr);
  EXPECT_EQ(th_hover[1], nullptr);
  EXPECT_EQ(spot_light, nullptr);
  // The remaining vessel flies on, handing null handles to the host.
  eng_status = 0;
  spot_on = 1;
  trace().Clear();
  for (int i = 0; i < 3; ++i) host::Step(a);
  EXPECT_TRUE(trace().Contains("SetThrusterLevel(null, 0)"));
  EXPECT_EQ(trace().Count("LightEmitter::Activate"), 0u);
}

}  // namespace
