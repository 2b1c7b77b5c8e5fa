// A sound service that lacks "SetFrequency": connect fails with ERR02 even
// though the module never calls that routine, and asks no identifier.
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

namespace {

class ConnectorNoSetFrequency : public ModuleTest {
 protected:
  TempWorkDir dir_;
  SoundService sound_{TARVEX_SOUND_NO_SETFREQUENCY_PATH};
};

TEST_F(ConnectorNoSetFrequency, ConnectLogsErr02AndTheVesselStaysSilent) {
  ASSERT_TRUE(sound_.loaded());
  sound_.Reset();
  host::HostVessel &hv = NewVessel("A");
  EXPECT_EQ(Ship(hv).MyID, -1);
  EXPECT_EQ(ReadWholeFile(kSoundLogName), std::string(kSoundLogHeader) + FailureEntry(kRoutinesMissing));
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {})) << "no identifier asked, nothing loaded";
  EXPECT_EQ(PlayVesselWaveOBSound3(Ship(hv).MyID, 10, 1, 255, 0), 0);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {}));
  ExpectGearDownTouchdownAtHalfStrut(hv);
}

}  // namespace
