// The module as the host sees it: a library loaded from its file, four
// exports found by name, vessels created and destroyed through them.
#include <gtest/gtest.h>

#include "host/harness.h"
#include "tests/support/fixture.h"

using tarvex_test::CallsEqual;

namespace {

class ModuleLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetWorld();
    std::string error;
    ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api_, error)) << error;
  }
  host::ModuleApi api_;
};

TEST_F(ModuleLibrary, EntryRoutineHandsItsOwnHandleToInitLibAndFindsNoExitHook) {
  // Attach ran while the library was loaded: InitLib once, with the module's handle.
  EXPECT_EQ(host::world().initlib_calls, 1);
  EXPECT_EQ(host::world().initlib_handle, api_.library);
  // Neither exit export exists, so detach has nothing to call.
  EXPECT_EQ(host::LibrarySymbol(api_.library, "ExitModule"), nullptr);
  EXPECT_EQ(host::LibrarySymbol(api_.library, "opcDLLExit"), nullptr);
  host::world().trace.Clear();
  host::UnloadModule(api_);
  EXPECT_TRUE(host::world().trace.Entries().empty());
}

TEST_F(ModuleLibrary, ExportsOnlyTheFourEntryPointsByPlainName) {
  EXPECT_NE(api_.ovcInit, nullptr);
  EXPECT_NE(api_.ovcExit, nullptr);
  EXPECT_NE(api_.ModuleDate, nullptr);
  EXPECT_NE(api_.GetModuleVersion, nullptr);
  // Module-internal names stay out of the dynamic symbol table.
  for (const char *hidden : {"ResetStateRecord", "gear_pos", "ConnectToOrbiterSoundDLL3", "PlayVesselWaveOBSound3",
                             "GetModuleHandleA", "_ZN9ShuttlePB16clbkSetClassCapsEPv"})
    EXPECT_EQ(host::LibrarySymbol(api_.library, hidden), nullptr) << hidden;
}

TEST_F(ModuleLibrary, DateAndVersion) {
  EXPECT_STREQ(api_.ModuleDate(), "Mar  3 2011");
  int before = host::world().date2int_calls;
  EXPECT_EQ(api_.GetModuleVersion(), 20100830);
  EXPECT_EQ(api_.GetModuleVersion(), 20100830);
  EXPECT_EQ(api_.GetModuleVersion(), 20100830);
  EXPECT_EQ(host::world().date2int_calls, before + 1) << "the date text is converted once";
  EXPECT_TRUE(host::world().trace.Contains("Date2Int(\"Aug 30 2010\")"));
}

TEST_F(ModuleLibrary, CreatesAndDestroysVesselsThroughTheExports) {
  api_.ovcExit(nullptr);  // nothing happens
  host::HostVessel &a = host::AddVessel("A");
  host::world().trace.Clear();
  ASSERT_TRUE(host::CreateVessel(api_, a));
  EXPECT_EQ(host::world().trace.Count("oapiLoadMeshGlobal"), 5u);
  EXPECT_EQ(a.animations.size(), 23u);
  host::SetUpVessel(a, {});
  for (int i = 0; i < 3; ++i) host::Step(a);
  host::DestroyVessel(api_, a);
  EXPECT_TRUE(host::world().vessels.empty());
}

// Loaded, used, unloaded and loaded again: the transforms the vessels share
// are freed with the library (LeakSanitizer, in the sanitizer run, reports any
// left behind), and the reloaded library sets up its animations afresh.
TEST_F(ModuleLibrary, ReloadedLibrarySetsUpAgainAndLeavesNothingBehind) {
  for (int round = 0; round < 2; ++round) {
    if (round) {
      std::string error;
      ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api_, error)) << error;
    }
    host::HostVessel &a = host::AddVessel("A");
    ASSERT_TRUE(host::CreateVessel(api_, a));
    host::SetUpVessel(a, {});
    host::Step(a);
    EXPECT_EQ(a.animations.size(), 23u) << "round " << round;
    host::DestroyVessel(api_, a);
    host::UnloadModule(api_);
  }
}

}  // namespace
