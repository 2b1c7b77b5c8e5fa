// A sound service that lacks "GetVesselSoundID3" (an older service): connect
// fails with ERR03 and the vessel stays silent.
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

namespace {

class ConnectorNoGetId : public ModuleTest {
 protected:
  TempWorkDir dir_;
  SoundService sound_{TARVEX_SOUND_NO_GETID_PATH};
};

TEST_F(ConnectorNoGetId, ConnectLogsErr03AndTheVesselStaysSilent) {
  ASSERT_TRUE(sound_.loaded());
  sound_.Reset();
  host::HostVessel &hv = NewVessel("A");
  EXPECT_EQ(Ship(hv).MyID, -1);
  EXPECT_EQ(ReadWholeFile(kSoundLogName), std::string(kSoundLogHeader) + FailureEntry(kNoGetId));
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {}));
  EXPECT_EQ(SoundOption3(Ship(hv).MyID, 5, 0), 0);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {}));
  ExpectGearDownTouchdownAtHalfStrut(hv);
}

}  // namespace
