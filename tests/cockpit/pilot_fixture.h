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
    // Class set-up keeps the engine thrusters in the shared handles; where it
    // has made none, stand-ins let the calls name distinct thrusters.
    if (!th_main) {
      th_main = hv_->vessel->CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
      th_hover[0] = hv_->vessel->CreateThruster(_V(0, 0, 0), _V(0, 1, 0), 1);
      th_hover[1] = hv_->vessel->CreateThruster(_V(0, 0, 0), _V(0, 1, 0), 1);
      th_reheat = hv_->vessel->CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
    }
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
  // The sound service calls a key makes, as the service records them.
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
