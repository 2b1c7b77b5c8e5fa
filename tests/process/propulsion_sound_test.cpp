// The flight step's sounds with the sound service loaded: the envelope
// warning loop and the sounds it stops, the warning ending back inside the
// envelope, and the service option the attitude-mode block switches off.
#include <algorithm>

#include "tests/flight/flight_fixture.h"
#include "tests/support/sound_client.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

namespace {

class PropulsionSound : public tarvex_test::FlightTest {
 protected:
  void SetUp() override {
    FlightTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
  }
  // The service calls of one step, the read-only queries left out.
  std::vector<std::string> StepSounds(host::HostVessel &hv) {
    sound_.ClearCalls();
    host::Step(hv);
    std::vector<std::string> out;
    for (const std::string &c : sound_.Calls())
      if (c.rfind("IsPlaying", 0) != 0) out.push_back(c);
    return out;
  }
  static bool Has(const std::vector<std::string> &calls, const std::string &c) {
    return std::find(calls.begin(), calls.end(), c) != calls.end();
  }
  tarvex_test::SoundService sound_;
};

TEST_F(PropulsionSound, WarningLoopsOutsideTheEnvelopeAndStopsBackInside) {
  host::HostVessel &hv = Flyer();
  const int id = Ship(hv).MyID;
  ASSERT_EQ(id, 0);
  Th(th_main).level = 1;

  struct Row {
    const char *what;
    double nozzle, airspeed, altitude;
    std::vector<std::string> in_order;  // calls of the step, in this order
  } out_rows[] = {
      {"too fast with the nozzle aft",
       0,
       700,
       1000,
       {"PlayVesselWaveOBSound3(0, 6, 1, 255, 0)", "StopVesselWave3(0, 13)", "StopVesselWave3(0, 10)"}},
      {"too fast for the lift regime",
       0.5,
       155,
       1000,
       {"PlayVesselWaveOBSound3(0, 6, 1, 255, 0)", "StopVesselWave3(0, 10)"}},
      {"too high",
       0,
       300,
       20000,
       {"PlayVesselWaveOBSound3(0, 6, 1, 255, 0)", "StopVesselWave3(0, 13)", "StopVesselWave3(0, 10)"}},
  };
  for (const Row &r : out_rows) {
    SCOPED_TRACE(r.what);
    nozzle_angle = nozzle_deflection = r.nozzle;
    Fly(hv, r.airspeed, r.altitude, -3);
    auto calls = StepSounds(hv);
    EXPECT_TRUE(CallsInOrder(calls, r.in_order));
    EXPECT_FALSE(Has(calls, "StopVesselWave3(0, 6)"));
    int loop = 0, volume = 0, frequency = -1;
    EXPECT_TRUE(sound_.Playing(id, 6, &loop, &volume, &frequency));
    EXPECT_EQ(loop, 1);
    EXPECT_EQ(volume, 255);
    EXPECT_EQ(frequency, 0);

    // Back inside with the nozzle where it was: the warning ends.
    Fly(hv, r.nozzle < 0.5 ? 300 : 100, 1000, -3);
    calls = StepSounds(hv);
    EXPECT_TRUE(Has(calls, "StopVesselWave3(0, 6)"));
    EXPECT_FALSE(sound_.Playing(id, 6));
  }
}

TEST_F(PropulsionSound, WarningEndsBackInsideAlsoWhenReheatCannotBurn) {
  host::HostVessel &hv = Flyer();
  Th(th_main).level = 1;
  reheat = 1;
  struct Row {
    const char *what;
    double nozzle, level;
  } rows[] = {
      {"reheat selected, nozzle 0.3, full level", 0.3, 1},
      {"reheat selected, nozzle aft, level exactly 0.98", 0, 0.98},
      {"reheat selected, nozzle aft, full level (flame lit)", 0, 1},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    nozzle_angle = nozzle_deflection = r.nozzle;
    Th(th_main).level = r.level;
    Fly(hv, 700, 1000, -3);
    StepSounds(hv);
    ASSERT_TRUE(sound_.Playing(0, 6));
    Fly(hv, 300, 1000, -3);
    auto calls = StepSounds(hv);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "StopVesselWave3(0, 6)"), 1);
    EXPECT_FALSE(sound_.Playing(0, 6));
  }
}

// With the engine cut outside the envelope no regime runs back inside: the
// warning ends all the same, right at each limit (and parked on the ground),
// while the drag stays at 999 until the engine runs again.
TEST_F(PropulsionSound, WarningEndsBackInsideAlsoWithTheEngineOff) {
  host::HostVessel &hv = Flyer();
  struct Row {
    const char *what;
    double nozzle, out_speed, out_alt, in_speed, in_alt;
    bool parked;
  } rows[] = {
      {"nozzle aft: 700 m/s, then just under", 0, 700, 1000, 699.99, 1000, false},
      {"lift regime: 155 m/s, then just under", 0.5, 155, 1000, 154.99, 1000, false},
      {"20000 m, then just under", 0, 300, 20000, 300, 19999.99, false},
      {"too fast, then parked on the ground", 0, 700, 1000, 0, 0, true},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    eng_status = 1;
    nozzle_angle = nozzle_deflection = r.nozzle;
    Fly(hv, r.out_speed, r.out_alt, -3);
    StepSounds(hv);
    eng_status = 0;  // cut while outside
    StepSounds(hv);
    ASSERT_TRUE(sound_.Playing(0, 6)) << "still outside: the warning loops on";
    Fly(hv, r.in_speed, r.in_alt, -3);
    hv.ground_contact = r.parked;
    auto calls = StepSounds(hv);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "StopVesselWave3(0, 6)"), 1);
    EXPECT_FALSE(sound_.Playing(0, 6));
    EXPECT_EQ(hv.cw[0], 999) << "no regime restores the drag with the engine off";
  }
}

TEST_F(PropulsionSound, AttitudeModeBlockSwitchesOptionThreeOff) {
  host::HostVessel &hv = Flyer();
  struct Row {
    const char *what;
    double airspeed;
    bool hold;
    long option_calls;
  } rows[] = {
      {"below 70 with the level hold: once", 69, true, 1},
      {"below 70 without the hold: twice", 69, false, 2},
      {"at 70 with the hold: not at all", 70, true, 0},
      {"at 70 without the hold: once", 70, false, 1},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.what);
    Fly(hv, r.airspeed, 1000, -3);
    hv.navmode[NAVMODE_HLEVEL] = r.hold;
    auto calls = StepSounds(hv);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SoundOption3(0, 3, 0)"), r.option_calls);
    for (const std::string &c : calls)
      EXPECT_TRUE(c.find("(0,") != std::string::npos) << "every call carries the vessel's identifier: " << c;
  }
}

}  // namespace
