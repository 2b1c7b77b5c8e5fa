// A short flight flown through the keys and the flight step together: the
// keys set commands, the steps carry them out, and the state, the host
// calls, the sounds and the HUD all show it.
#include <algorithm>

#include "tests/cockpit/pilot_fixture.h"

namespace {

class PilotSequence : public tarvex_test::PilotTest {
 protected:
  // Steps until `done` holds (at most `limit` steps); returns the count.
  template <typename Done>
  int StepUntil(Done done, int limit = 1000) {
    int n = 0;
    while (!done() && n < limit) {
      host::Step(hv());
      ++n;
    }
    return n;
  }
  host::RecordingSketchpad &Hud() {
    skp_.Clear();
    host::DrawHUD(hv(), skp_);
    return skp_;
  }
  size_t SoundCount(const std::string &call) const {
    auto calls = sound_.Calls();
    return std::count(calls.begin(), calls.end(), call);
  }
  host::RecordingSketchpad skp_;
};

TEST_F(PilotSequence, StartNozzleDownLiftOffGearUpThenReheat) {
  const std::string main = Th(th_main), flame = Th(th_reheat);
  hv().ground_contact = true;
  hv().altitude = 1.5;

  // Engine start on the ground: idle, start sound, then the lift-off regime
  // of a nozzle still aft.
  ASSERT_EQ(Press(OAPI_KEY_E), 1);
  EXPECT_EQ(eng_status, 1.0);
  EXPECT_EQ(SoundCount(Play(3)), 1u);
  trace().Clear();
  host::Step(hv());
  EXPECT_TRUE(trace().Contains("SetThrusterMax0(" + main + ", 440000)"));

  // Nozzle down: the drive runs 0.0115 per step to the hover setting.
  sound_.ClearCalls();
  ASSERT_EQ(Press(OAPI_KEY_0), 1);
  EXPECT_EQ(nozzle_mode, 1u);
  EXPECT_EQ(StepUntil([] { return nozzle_mode == 0u; }), 87);
  EXPECT_EQ(nozzle_angle, 1.0);
  EXPECT_EQ(nozzle_deflection, 1.0);
  EXPECT_EQ(SoundCount(Play(12)), 1u + 87u) << "the key, then every step of the drive";
  trace().Clear();
  host::Step(hv());
  EXPECT_TRUE(trace().Contains("SetThrusterMax0(" + main + ", 300000)")) << "lift regime";
  EXPECT_TRUE(Hud().HasText("HOVER SET"));
  for (auto &t : skp_.texts) EXPECT_NE(t.text.rfind("NOZZLE#", 0), 0u) << "no nozzle number at the hover setting";
  EXPECT_EQ(skp_.shapes.size(), 3u) << "gear-down symbol";

  // Lift-off, then the gear comes up in 134 steps; the symbol goes with it.
  hv().ground_contact = false;
  hv().altitude = 12;
  hv().airspeed = 0.3;
  hv().horizon_airspeed = _V(0, 2.5, 0.3);
  sound_.ClearCalls();
  ASSERT_EQ(Press(OAPI_KEY_G), 1);
  EXPECT_EQ(gear_status, 1);
  EXPECT_EQ(SoundCount(Play(11)), 1u);
  host::Step(hv());
  EXPECT_GT(gear_pos, 0.0);
  EXPECT_TRUE(Hud().shapes.empty()) << "the symbol goes as soon as the gear moves";
  EXPECT_EQ(1 + StepUntil([] { return gear_status == 0; }), 134);
  EXPECT_EQ(gear_pos, 1.0);
  EXPECT_TRUE(Hud().HasText("VERTSPD 2.5"));
  EXPECT_FALSE(skp_.HasText("WARNING !! GEAR DAMAGE"));

  // Nozzle aft at speed, full throttle, reheat: the flame lights.
  hv().airspeed = 120;
  ASSERT_EQ(Press(OAPI_KEY_0), 1);
  EXPECT_EQ(nozzle_mode, 2u);
  StepUntil([] { return nozzle_mode == 0u; });
  EXPECT_EQ(nozzle_angle, 0.0);
  ASSERT_EQ(Press(OAPI_KEY_7), 1);
  EXPECT_EQ(reheat, 1.0);
  hv().vessel->SetThrusterLevel(th_main, 1.0);  // the pilot's throttle
  trace().Clear();
  sound_.ClearCalls();
  host::Step(hv());
  EXPECT_TRUE(tarvex_test::CallsInOrder(
      trace().Texts(), {"SetThrusterMax0(" + main + ", 550000)", "SetThrusterLevel(" + flame + ", 1)"}));
  EXPECT_TRUE(sound_.Playing(id_, 13)) << "reheat roar";
  EXPECT_TRUE(Hud().HasText("THRUST 150.0"));
  EXPECT_TRUE(skp_.HasText("NOZZLE# 0"));
  EXPECT_TRUE(skp_.HasText("KTS 233"));

  // In flight the engine key is swallowed and the engine keeps running.
  EXPECT_EQ(Press(OAPI_KEY_E), 1);
  EXPECT_EQ(eng_status, 1.0);
}

}  // namespace
