// The sound connector and the vessel's sound set-up with the stand-in sound
// service loaded in the process, as the host process would have it.
#include <functional>

#include "module/platform.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using tarvex_test::CallsEqual;

namespace {

class ConnectorWithService : public tarvex_test::ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
  }
  tarvex_test::TempWorkDir dir_;
  tarvex_test::SoundService sound_;
};

TEST_F(ConnectorWithService, PostCreationLoadsSlotsAndOptionsForItsOwnIdentifier) {
  ASSERT_NE(GetModuleHandleA("OrbiterSound.dll"), nullptr);
  host::HostVessel &a = NewVessel("A", false);
  Ship(a).clbkSetClassCaps(nullptr);
  trace().Clear();
  Ship(a).clbkPostCreation();
  EXPECT_EQ(Ship(a).MyID, 0);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), tarvex_test::PostCreationServiceCalls(0)));
  EXPECT_EQ(sound_.SlotFile(0, 10), "Sound\\Pelgar-Tarvex\\TarvexB-Eng.wav");
  for (int slot : {1, 8, 9, 15, 60}) EXPECT_EQ(sound_.SlotFile(0, slot), "") << "slot " << slot;
  tarvex_test::ExpectGearDownTouchdownAtHalfStrut(a);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"GetHandle()", trace().Texts().back()}))
      << "post-creation asks the host for the vessel's handle, then sets the touchdown points";
  EXPECT_EQ(trace().Entries().back().name, "SetTouchdownPoints");
  EXPECT_FALSE(tarvex_test::FileExists(tarvex_test::kSoundLogName)) << "a working connection writes no log";

  // A second vessel gets the next identifier and sends only that one.
  sound_.ClearCalls();
  host::HostVessel &b = NewVessel("B");
  EXPECT_EQ(Ship(b).MyID, 1);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), tarvex_test::PostCreationServiceCalls(1)));
}

TEST_F(ConnectorWithService, NoVesselEverSendsAnotherVesselsIdentifier) {
  // With thirteen vessels identifier 12 belongs to the last one; the others'
  // set-ups still address only themselves.
  for (int k = 0; k < 13; ++k) {
    sound_.ClearCalls();
    host::HostVessel &hv = NewVessel("V" + std::to_string(k));
    ASSERT_EQ(Ship(hv).MyID, k);
    for (const std::string &call : sound_.Calls()) {
      if (call == "GetVesselSoundID3(vessel)") continue;
      size_t open = call.find('(');
      EXPECT_EQ(call.substr(open + 1, call.find_first_of(",)", open) - open - 1), std::to_string(k))
          << "vessel " << k << " sent " << call;
    }
  }
}

TEST_F(ConnectorWithService, GuardsRefuseOutOfRangeArgumentsAndPassTheEdgesOn) {
  host::HostVessel &hv = NewVessel("A");
  ASSERT_EQ(Ship(hv).MyID, 0);
  ASSERT_EQ(ConnectToOrbiterSoundDLL3(&hv), 0) << "the same vessel keeps its identifier";
  // Slot 60 of identifiers 0 and 59 hold a sound, so a passed-on play answers 1.
  ASSERT_EQ(LoadVesselWaveOBSound3(59, 60, "edge.wav", 1), 1);
  ASSERT_EQ(LoadVesselWaveOBSound3(0, 60, "edge.wav", 1), 1);
  struct Row {
    const char *what;
    std::function<int()> call;
    int result;
    const char *reaches;  // the call the service records, or null when refused
  };
  // clang-format off
  const Row rows[] = {
      {"play, identifier 60", [] { return PlayVesselWaveOBSound3(60, 10, 0, 255, 0); }, 0, nullptr},
      {"play, identifier -1", [] { return PlayVesselWaveOBSound3(-1, 10, 0, 255, 0); }, 0, nullptr},
      {"play, slot 0", [] { return PlayVesselWaveOBSound3(0, 0, 0, 255, 0); }, 0, nullptr},
      {"play, slot 61", [] { return PlayVesselWaveOBSound3(0, 61, 0, 255, 0); }, 0, nullptr},
      {"play, slot -1", [] { return PlayVesselWaveOBSound3(0, -1, 0, 255, 0); }, 0, nullptr},
      {"play, slot 60 passes", [] { return PlayVesselWaveOBSound3(0, 60, 1, 200, 21000); }, 1, "PlayVesselWaveOBSound3(0, 60, 1, 200, 21000)"},
      {"play, identifier 59 passes", [] { return PlayVesselWaveOBSound3(59, 60, 0, 255, 0); }, 1, "PlayVesselWaveOBSound3(59, 60, 0, 255, 0)"},
      {"load, slot 0", [] { return LoadVesselWaveOBSound3(0, 0, "x.wav", 1); }, 0, nullptr},
      {"load, slot 61", [] { return LoadVesselWaveOBSound3(0, 61, "x.wav", 1); }, 0, nullptr},
      {"load, identifier 60", [] { return LoadVesselWaveOBSound3(60, 1, "x.wav", 1); }, 0, nullptr},
      {"load, null file", [] { return LoadVesselWaveOBSound3(0, 1, nullptr, 2); }, 0, nullptr},
      {"load, slot 1 passes", [] { return LoadVesselWaveOBSound3(0, 1, "x.wav", 2); }, 1, "LoadVesselWaveOBSound3(0, 1, \"x.wav\", 2)"},
      {"stop, slot 0", [] { return StopVesselWave3(0, 0); }, 0, nullptr},
      {"stop, slot 61", [] { return StopVesselWave3(0, 61); }, 0, nullptr},
      {"stop, identifier -1", [] { return StopVesselWave3(-1, 10); }, 0, nullptr},
      {"stop, slot 60 passes", [] { return StopVesselWave3(0, 60); }, 1, "StopVesselWave3(0, 60)"},
      {"is playing, slot 0", [] { return IsPlayingVesselWave3(0, 0); }, 0, nullptr},
      {"is playing, slot 61", [] { return IsPlayingVesselWave3(0, 61); }, 0, nullptr},
      {"is playing, identifier 60", [] { return IsPlayingVesselWave3(60, 10); }, 0, nullptr},
      {"is playing, slot 60 passes", [] { return IsPlayingVesselWave3(59, 60); }, 1, "IsPlayingVesselWave3(59, 60)"},
      {"option 0", [] { return SoundOption3(0, 0, 1); }, 0, nullptr},
      {"option 18", [] { return SoundOption3(0, 18, 1); }, 0, nullptr},
      {"option -1", [] { return SoundOption3(0, -1, 1); }, 0, nullptr},
      {"option, identifier 60", [] { return SoundOption3(60, 5, 1); }, 0, nullptr},
      {"option 17 passes", [] { return SoundOption3(0, 17, 1); }, 1, "SoundOption3(0, 17, 1)"},
      {"option 1 passes", [] { return SoundOption3(59, 1, 0); }, 1, "SoundOption3(59, 1, 0)"},
      {"replace, null file", [] { return ReplaceStockOBSound3(0, nullptr, 14); }, 0, nullptr},
      {"replace, identifier 60", [] { return ReplaceStockOBSound3(60, "y.wav", 14); }, 0, nullptr},
      {"replace, identifier 59 passes", [] { return ReplaceStockOBSound3(59, "y.wav", 3); }, 1, "ReplaceStockOBSound3(59, \"y.wav\", 3)"},
  };
  // clang-format on
  for (const Row &r : rows) {
    sound_.ClearCalls();
    EXPECT_EQ(r.call(), r.result) << r.what;
    std::vector<std::string> expected;
    if (r.reaches) expected.push_back(r.reaches);
    EXPECT_TRUE(CallsEqual(sound_.Calls(), expected)) << r.what;
  }
}

}  // namespace
