// Keyboard commands: each key's effect on the shared state, the host calls
// and sounds it makes, and what it reports to the host.
#include <map>

#include "tests/cockpit/pilot_fixture.h"

using tarvex_test::CallsEqual;

namespace {

// The whole state record as name -> value, to see everything a key changed.
std::map<std::string, double> Snapshot() {
  std::map<std::string, double> s;
#define TARVEX_SNAPSHOT(type, name, init, meaning) s[#name] = static_cast<double>(name);
  TARVEX_STATE_RECORD(TARVEX_SNAPSHOT)
#undef TARVEX_SNAPSHOT
  return s;
}

class Keys : public tarvex_test::PilotTest {};

TEST_F(Keys, ClampedAdjustmentsAndTogglesChangeOnlyTheirVariable) {
  const struct {
    DWORD key;
    const char *name;  // the variable in the record
    double *var;
    double before, after;
    int consumed;
    const char *what;
  } rows[] = {
      // clang-format off
      {OAPI_KEY_1, "strut_ext", &strut_ext, 0.5, 0.5 - 0.05, 1, "1 shortens the struts by 0.05"},
      {OAPI_KEY_1, "strut_ext", &strut_ext, 0.03, 0.0, 1, "1 stops at 0"},
      {OAPI_KEY_2, "gear_warning", &gear_warning, 1.0, 0.0, 1, "2 clears the gear warning"},
      {OAPI_KEY_3, "strut_bounce", &strut_bounce, 2.0, 1.0, 1, "3 takes one bounce off"},
      {OAPI_KEY_3, "strut_bounce", &strut_bounce, 0.5, 0.0, 1, "3 stops at 0"},
      {OAPI_KEY_4, "strut_bounce", &strut_bounce, 2.5, 3.0, 1, "4 adds one bounce and stops at 3"},
      {OAPI_KEY_5, "strut_damping", &strut_damping, 0.2, 0.2 - 0.01, 1, "5 lowers the margin by 0.01"},
      {OAPI_KEY_5, "strut_damping", &strut_damping, 0.005, 0.0, 1, "5 stops at 0"},
      {OAPI_KEY_6, "strut_damping", &strut_damping, 0.495, 0.5, 1, "6 raises the margin by 0.01 and stops at 0.5"},
      {OAPI_KEY_8, "nozzle_angle", &nozzle_angle, 0.05, 0.0, 1, "8 turns the nozzle aft by 0.1 and stops at 0"},
      {OAPI_KEY_9, "nozzle_angle", &nozzle_angle, 1.15, 1.2, 1, "9 turns the nozzle down by 0.1 and stops at 1.2"},
      {OAPI_KEY_7, "reheat", &reheat, 0, 1, 1, "7 switches reheat on"},
      {OAPI_KEY_7, "reheat", &reheat, 1, 0, 1, "7 switches reheat off"},
      {OAPI_KEY_7, "reheat", &reheat, 0.5, 0.5, 0, "7 leaves a flag of 0.5 and is not consumed"},
      {OAPI_KEY_S, "spot_on", &spot_on, 0, 1, 1, "S spot light on"},
      {OAPI_KEY_S, "spot_on", &spot_on, 2, 2, 0, "S leaves a flag of 2"},
      {OAPI_KEY_K, "lights_off", &lights_off, 1, 0, 1, "K exterior lights"},
      {OAPI_KEY_K, "lights_off", &lights_off, 0.5, 0.5, 0, "K leaves a flag of 0.5"},
  };
  // clang-format on
  for (const auto &r : rows) {
    ResetStateRecord();
    *r.var = r.before;
    auto expected = Snapshot();
    expected[r.name] = r.after;
    if (r.var == &nozzle_angle) expected["nozzle_deflection"] = r.after;  // and nothing else moves
    trace().Clear();
    EXPECT_EQ(Press(r.key), r.consumed) << r.what;
    EXPECT_EQ(Snapshot(), expected) << r.what;
    EXPECT_TRUE(r.var == &nozzle_angle || trace().Texts().empty()) << r.what << ": only the record is written";
  }
}

TEST_F(Keys, NozzleKeysMoveCoverAndIndicatorDropHoldCorrectionAndPlayTheCoverSound) {
  nozzle_angle = 0.5;
  nozzle_deflection = 0.57;  // a horizon-level correction on top
  EXPECT_EQ(Press(OAPI_KEY_9), 1);
  const std::string a = host::Num(0.5 + 0.1);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"SetAnimation(" + std::to_string(ship().anim_cover) + ", " + a + ")",
                                           "SetAnimation(" + std::to_string(ship().anim_nozzle_ind) + ", " + a + ")"}));
  EXPECT_EQ(nozzle_deflection, nozzle_angle);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(12)}));
  for (double angle : {0.0, 0.6, 0.61, 1.2}) {  // the drive: aft from beyond 0.6, else down to the hover setting
    nozzle_angle = angle, nozzle_mode = 0;
    sound_.ClearCalls();
    EXPECT_EQ(Press(OAPI_KEY_0), 1) << angle;
    EXPECT_EQ(nozzle_mode, angle > 0.6 ? 2u : 1u) << angle;
    EXPECT_EQ(nozzle_angle, angle) << "the drive key moves nothing itself";
    EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(12)}));
  }
}

TEST_F(Keys, ViewKeySwitchesThroughTheViewRoutines) {
  EXPECT_EQ(Press(OAPI_KEY_V) + Press(OAPI_KEY_V), 2);
  EXPECT_ALL(trace().Contains("DelMesh(1, false)"), camera_view == 0.0) << "to the open view and back";
  camera_view = 0.5;
  trace().Clear();
  EXPECT_EQ(Press(OAPI_KEY_V), 0);
  EXPECT_TRUE(trace().Texts().empty()) << "no view routine runs for a view that is neither";
}

TEST_F(Keys, MotionKeysSendEachPartToTheEndItIsFartherFrom) {
  hv().ground_contact = false;
  const struct {
    DWORD key;
    double *pos;
    int32_t *cmd;
    const char *what;
  } rows[] = {{OAPI_KEY_G, &gear_pos, &gear_status, "gear"},
              {OAPI_KEY_C, &canopy_pos, &canopy_status, "canopy"},
              {OAPI_KEY_B, &airbrake_pos, &airbrake_status, "speed brake"}};
  for (const auto &r : rows)
    for (double pos : {0.0, 0.5, 0.51, 1.0}) {
      *r.pos = pos, *r.cmd = 0;
      sound_.ClearCalls();
      EXPECT_EQ(Press(r.key), 1) << r.what << " at " << pos;
      EXPECT_EQ(*r.cmd, pos > 0.5 ? 2 : 1) << r.what << " at " << pos;
      EXPECT_EQ(*r.pos, pos) << "the key itself moves nothing";
      EXPECT_EQ(sound_.Calls(), std::vector<std::string>(r.key == OAPI_KEY_G, Play(11))) << "only the gear sounds";
    }
  hv().ground_contact = true;  // on the wheels the gear key is swallowed and does nothing
  gear_pos = 0.0, gear_status = 0;
  EXPECT_EQ(Press(OAPI_KEY_G), 1);
  EXPECT_ALL(gear_status == 0, sound_.Calls().empty());
}

TEST_F(Keys, EngineStartsAndStopsOnlyOnTheGroundAndOnlyTheStartIsConsumed) {
  const std::string ground = "GroundContact()", level = "SetThrusterLevel(";
  const std::vector<std::string> cut = {ground, level + Th(th_main) + ", 0)", level + Th(th_hover[0]) + ", 0)",
                                        level + Th(th_hover[1]) + ", 0)"};
  const struct {
    bool landed;
    double before, after;
    int consumed;
    std::vector<std::string> calls, sounds;
    const char *what;
  } rows[] = {
      {false, 0, 0, 1, {ground}, {}, "no start in the air"},
      {false, 1, 1, 1, {ground}, {}, "no stop in the air"},
      {true, 0, 1, 1, {ground, level + Th(th_main) + ", 0.0015)"}, {Play(3)}, "start on the ground: idle"},
      {true, 1, 0, 0, cut, {Stop(10), Stop(4), Stop(5), Play(2)}, "stop on the ground, not consumed"},
  };
  for (const auto &r : rows) {
    hv().ground_contact = r.landed, eng_status = r.before;
    trace().Clear();
    sound_.ClearCalls();
    EXPECT_EQ(Press(OAPI_KEY_E), r.consumed) << r.what;
    EXPECT_EQ(eng_status, r.after) << r.what;
    EXPECT_TRUE(CallsEqual(trace().Texts(), r.calls)) << r.what;
    EXPECT_TRUE(CallsEqual(sound_.Calls(), r.sounds)) << r.what;
  }
}

TEST_F(Keys, RefuellingAtAStandstillWithTheEngineOffAndOneBrakeKeyPerWheel) {
  const struct {
    double request, airspeed, engine, after;
    const char *what;
  } rows[] = {{0, 0.0999, 0, 1, "just under 0.1 m/s"},
              {0, 0.1, 0, 0, "0.1 m/s: moving"},
              {0, 0.0, 1, 0, "engine running"},
              {1, 0.0, 0, 1, "already asked"}};
  for (const auto &r : rows) {
    refuel_request = r.request, hv().airspeed = r.airspeed, eng_status = r.engine;
    EXPECT_EQ(Press(OAPI_KEY_J), 1) << r.what;
    EXPECT_EQ(refuel_request, r.after) << r.what;
  }
  trace().Clear();
  hv().wheelbrake[0] = hv().wheelbrake[1] = 1.0;
  EXPECT_EQ(Press(OAPI_KEY_COMMA) + Press(OAPI_KEY_PERIOD), 2);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"SetWheelbrakeLevel(0, 1, true)", "SetWheelbrakeLevel(0, 2, true)"}));
}

TEST_F(Keys, ModifiersMakeNoDifferenceReleasesAndOtherKeysAreIgnored) {
  // What a key did from one fixed starting point: its result, the record, the calls and sounds.
  auto run = [&](DWORD key, bool down, int modifier) {
    ResetStateRecord();
    hv().ground_contact = true;
    trace().Clear();
    sound_.ClearCalls();
    int result = host::Key(hv(), key, down, modifier == 0, modifier == 1, modifier == 2);
    return ::testing::PrintToString(std::make_tuple(result, Snapshot(), trace().Texts(), sound_.Calls()));
  };
  ResetStateRecord();
  const std::string untouched =
      ::testing::PrintToString(std::make_tuple(0, Snapshot(), std::vector<std::string>{}, std::vector<std::string>{}));
  for (DWORD key : {OAPI_KEY_1, OAPI_KEY_2, OAPI_KEY_3, OAPI_KEY_4, OAPI_KEY_5,     OAPI_KEY_6,     OAPI_KEY_7,
                    OAPI_KEY_8, OAPI_KEY_9, OAPI_KEY_0, OAPI_KEY_E, OAPI_KEY_S,     OAPI_KEY_G,     OAPI_KEY_J,
                    OAPI_KEY_K, OAPI_KEY_C, OAPI_KEY_V, OAPI_KEY_B, OAPI_KEY_COMMA, OAPI_KEY_PERIOD}) {
    const std::string plain = run(key, true, -1);
    for (int m = 0; m < 3; ++m) EXPECT_EQ(run(key, true, m), plain) << "key " << key << " modifier " << m;
    EXPECT_EQ(run(key, false, -1), untouched) << "release of key " << key;
  }
  for (DWORD key : {OAPI_KEY_Q, OAPI_KEY_A, OAPI_KEY_F1, OAPI_KEY_ESCAPE, OAPI_KEY_MINUS})
    EXPECT_EQ(run(key, true, -1), untouched) << "key " << key << " is not a command";
}

}  // namespace
