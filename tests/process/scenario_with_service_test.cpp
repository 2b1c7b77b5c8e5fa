// Saving the engine state with the sound service loaded: the engine-sound
// answer is written first and the engine state last, so a load restores the
// engine as it was whether its sound played or not.
#include "module/handles.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/work_dir.h"

using tarvex_test::CallsEqual;

namespace {

class ScenarioWithService : public tarvex_test::ModuleTest {
 protected:
  tarvex_test::TempWorkDir dir_;
  tarvex_test::SoundService sound_;
};

TEST_F(ScenarioWithService, EngineStateSurvivesWithAndWithoutItsSound) {
  ASSERT_TRUE(sound_.loaded());
  sound_.Reset();
  const struct {
    const char *what;
    bool sound_plays;
    std::vector<std::string> lines;
  } rows[] = {
      {"engine running with its sound", true, {"  ENG STAT2 1", "  ENG STAT 1"}},
      {"engine running, sound stopped by a warning", false, {"  ENG STAT2 0", "  ENG STAT 1"}},
  };
  for (const auto &r : rows) {
    SCOPED_TRACE(r.what);
    ResetStateRecord();
    th_main = nullptr;
    host::HostVessel &from = NewVessel(std::string("From ") + r.what);
    if (!th_main) th_main = Ship(from).CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
    const int id = Ship(from).MyID;
    ASSERT_GE(id, 0);
    eng_status = 1;
    Ship(from).SetThrusterLevel(th_main, 0.7);
    PlayVesselWaveOBSound3(id, 10, 1, 200, 20000);
    if (!r.sound_plays) StopVesselWave3(id, 10);
    sound_.ClearCalls();
    std::vector<std::string> saved = host::Save(from);
    EXPECT_TRUE(CallsEqual(sound_.Calls(), {"IsPlayingVesselWave3(" + std::to_string(id) + ", 10)"}));
    std::vector<std::string> engine;
    for (const std::string &l : saved)
      if (l.rfind("  ENG STAT", 0) == 0) engine.push_back(l);
    EXPECT_TRUE(CallsEqual(engine, r.lines));

    ResetStateRecord();
    th_main = nullptr;
    host::HostVessel &to = NewVessel(std::string("To ") + r.what, true, saved);
    EXPECT_EQ(eng_status, 1.0);
    if (th_main) {
      EXPECT_EQ(Ship(to).GetThrusterLevel(th_main), 0.0);
    }
  }
}

}  // namespace
