// A vessel set up as the host sets it up, with the sound service loaded, for
// the tests of the pilot's controls and displays.
#pragma once

#include <string>
#include <vector>

#include "module/handles.h"
#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"

namespace tarvex_test {

class PilotTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    sound_.Reset();
    hv_ = &NewVessel();
    id_ = Ship(*hv_).MyID;
    ASSERT_GE(id_, 0) << "the vessel should be connected to the sound service";
    trace().Clear();
    sound_.ClearCalls();
  }

  ShuttlePB &ship() { return Ship(*hv_); }
  host::HostVessel &hv() { return *hv_; }
  int Press(DWORD key, bool shift = false, bool ctrl = false, bool alt = false) {
    return host::Key(*hv_, key, true, shift, ctrl, alt);
  }
  std::string Th(THRUSTER_HANDLE th) const { return hv_->ThrusterName(th); }
  // Sound service calls as the service records them.
  std::string Play(int slot) const {
    return "PlayVesselWaveOBSound3(" + std::to_string(id_) + ", " + std::to_string(slot) + ", 0, 255, 0)";
  }
  std::string Stop(int slot) const {
    return "StopVesselWave3(" + std::to_string(id_) + ", " + std::to_string(slot) + ")";
  }

  SoundService sound_;
  host::HostVessel *hv_ = nullptr;
  int id_ = -1;
};

}  // namespace tarvex_test
