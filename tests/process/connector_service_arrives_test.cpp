// The sound service found only once it is loaded: every connect looks it up
// afresh, so a vessel created before the service is silent and one created
// after it is connected, and both stand on the same touchdown points.
#include "module/platform.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

namespace {

class ConnectorServiceArrives : public ModuleTest {
 protected:
  TempWorkDir dir_;
};

TEST_F(ConnectorServiceArrives, VesselsBeforeAndAfterTheServiceLoads) {
  ASSERT_EQ(GetModuleHandleA("OrbiterSound.dll"), nullptr);
  host::HostVessel &silent = NewVessel("Before");
  EXPECT_EQ(Ship(silent).MyID, -1);
  std::vector<std::string> silent_trace = trace().Texts();

  SoundService sound;
  ASSERT_TRUE(sound.loaded());
  sound.Reset();
  trace().Clear();
  host::HostVessel &heard = NewVessel("After");
  EXPECT_EQ(Ship(heard).MyID, 0);
  EXPECT_TRUE(CallsEqual(sound.Calls(), PostCreationServiceCalls(0)));
  EXPECT_EQ(ReadWholeFile(kSoundLogName), std::string(kSoundLogHeader) + FailureEntry(kNotInstalled))
      << "only the first vessel's failure is logged";

  // The host saw the same calls from both set-ups: the sound service is the
  // only difference between them.
  EXPECT_TRUE(CallsEqual(trace().Texts(), silent_trace));
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(silent.touchdown[p].x, heard.touchdown[p].x);
    EXPECT_EQ(silent.touchdown[p].y, heard.touchdown[p].y);
    EXPECT_EQ(silent.touchdown[p].z, heard.touchdown[p].z);
  }
  ExpectGearDownTouchdownAtHalfStrut(heard);

  // The silent vessel stays silent: its identifier makes every wrapper refuse.
  sound.ClearCalls();
  EXPECT_EQ(PlayVesselWaveOBSound3(Ship(silent).MyID, 10, 1, 255, 0), 0);
  EXPECT_TRUE(CallsEqual(sound.Calls(), {}));
}

}  // namespace
