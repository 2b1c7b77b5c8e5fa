// A scenario saved by one module and loaded by a freshly loaded copy of the
// module library (its own state record, every variable at its load value):
// saved again, it writes the same lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/harness.h"
#include "module/handles.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/work_dir.h"

using tarvex_test::CallsEqual;

namespace {

class ScenarioFreshModule : public tarvex_test::ModuleTest {
 protected:
  // A copy of the module library loaded from a file of its own: the loader
  // treats it as another library, with its own state record at its load
  // values. The copies stay loaded, as the host keeps its modules.
  host::ModuleApi FreshModule(int n) {
    const std::string copy = dir_.path() + "/Tarvex" + std::to_string(n) + ".so";
    std::error_code ec;
    std::filesystem::copy_file(TARVEX_MODULE_PATH, copy, ec);
    EXPECT_FALSE(ec) << ec.message();
    host::ModuleApi api;
    std::string error;
    const int loads = host::world().initlib_calls;
    EXPECT_TRUE(host::LoadModule(copy, api, error)) << error;
    EXPECT_EQ(host::world().initlib_calls, loads + 1) << "the copy's entry routine ran: a library of its own";
    return api;
  }
  // The lines of a save, without the engine-sound answer (the fresh vessel's
  // main thruster was set to zero by the load) and the hold lines (before
  // its first flight step a module asks the host about nav mode 0).
  static std::vector<std::string> Comparable(const std::vector<std::string> &lines) {
    std::vector<std::string> out;
    for (const std::string &l : lines)
      if (l.rfind("  ENG STAT2", 0) != 0 && l.rfind("  NAVMODE", 0) != 0) out.push_back(l);
    return out;
  }
  tarvex_test::TempWorkDir dir_;
};

TEST_F(ScenarioFreshModule, SavedStateComesBackInAFreshlyLoadedModule) {
  const struct {
    const char *what;
    int32_t gear_status;
    double gear_pos, eng, nozzle, reheat, lights, spot, camera, trim;
    uint32_t nozzle_mode;
    bool holds;
  } rows[] = {
      {"gear up, engine on, nozzle past the stop, everything on", 0, 1, 1, 1.2, 1, 1, 1, 1, 0.4, 0, true},
      {"gear retracting, nozzle driving down", 1, 0.4375, 1, 0.7, 0, 0, 1, 0, -0.2, 1, false},
      {"gear extending, engine off, nozzle at 1", 2, 0.9, 0, 1.0, 0, 1, 0, 1, 0, 2, true},
      {"everything at rest", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, false},
  };
  int row = 0;
  for (const auto &r : rows) {
    SCOPED_TRACE(r.what);
    ResetStateRecord();
    host::HostVessel &from = NewVessel(std::string("From ") + r.what);
    if (!th_main) th_main = Ship(from).CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
    gear_status = r.gear_status, gear_pos = r.gear_pos, eng_status = r.eng, nozzle_angle = r.nozzle;
    nozzle_deflection = r.nozzle, nozzle_mode = r.nozzle_mode, reheat = r.reheat, lights_off = r.lights;
    spot_on = r.spot, camera_view = r.camera;
    navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;
    from.navmode[7] = from.navmode[2] = from.navmode[1] = r.holds;
    from.ctrl_level[AIRCTRL_ELEVATORTRIM] = r.trim;
    if (r.eng != 0) Ship(from).SetThrusterLevel(th_main, 0.9);
    std::vector<std::string> saved = host::Save(from);

    host::ModuleApi fresh = FreshModule(row++);
    ASSERT_NE(fresh.ovcInit, nullptr);
    host::HostVessel &to = host::AddVessel(std::string("To ") + r.what);
    ASSERT_TRUE(host::CreateVessel(fresh, to));
    host::SetUpVessel(to, saved);
    EXPECT_TRUE(CallsEqual(Comparable(host::Save(to)), Comparable(saved)));
    for (int m : {1, 2, 7}) EXPECT_EQ(to.navmode[m], r.holds) << "nav mode " << m;
    EXPECT_EQ(to.ctrl_level[AIRCTRL_ELEVATORTRIM], r.trim);
    host::DestroyVessel(fresh, to);
  }
}

}  // namespace
