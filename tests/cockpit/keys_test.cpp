// Keyboard commands: each key's effect on the shared state, the host calls
// and sounds it makes, and what it reports to the host.
#include <functional>
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

const DWORD kAllKeys[] = {OAPI_KEY_1, OAPI_KEY_2, OAPI_KEY_3, OAPI_KEY_4, OAPI_KEY_5,     OAPI_KEY_6,     OAPI_KEY_7,
                          OAPI_KEY_8, OAPI_KEY_9, OAPI_KEY_0, OAPI_KEY_E, OAPI_KEY_S,     OAPI_KEY_G,     OAPI_KEY_J,
                          OAPI_KEY_K, OAPI_KEY_C, OAPI_KEY_V, OAPI_KEY_B, OAPI_KEY_COMMA, OAPI_KEY_PERIOD};

class Keys : public tarvex_test::PilotTest {};

TEST_F(Keys, ClampedAdjustmentsStepAndStopAtTheirBounds) {
  struct Row {
    DWORD key;
    const char *name;  // the variable in the record
    double *var;
    double before, after;
    const char *what;
  } rows[] = {
      {OAPI_KEY_1, "strut_ext", &strut_ext, 0.5, 0.5 - 0.05, "1 shortens the struts by 0.05"},
      {OAPI_KEY_1, "strut_ext", &strut_ext, 0.03, 0.0, "1 stops at 0"},
      {OAPI_KEY_2, "gear_warning", &gear_warning, 1.0, 0.0, "2 clears the gear warning"},
      {OAPI_KEY_3, "strut_bounce", &strut_bounce, 2.0, 1.0, "3 takes one bounce off"},
      {OAPI_KEY_3, "strut_bounce", &strut_bounce, 0.5, 0.0, "3 stops at 0"},
      {OAPI_KEY_4, "strut_bounce", &strut_bounce, 1.0, 2.0, "4 adds one bounce"},
      {OAPI_KEY_4, "strut_bounce", &strut_bounce, 2.5, 3.0, "4 stops at 3"},
      {OAPI_KEY_4, "strut_bounce", &strut_bounce, 3.0, 3.0, "4 at 3 stays at 3"},
      {OAPI_KEY_5, "strut_damping", &strut_damping, 0.2, 0.2 - 0.01, "5 lowers the margin by 0.01"},
      {OAPI_KEY_5, "strut_damping", &strut_damping, 0.005, 0.0, "5 stops at 0"},
      {OAPI_KEY_6, "strut_damping", &strut_damping, 0.2, 0.2 + 0.01, "6 raises the margin by 0.01"},
      {OAPI_KEY_6, "strut_damping", &strut_damping, 0.495, 0.5, "6 stops at 0.5"},
      {OAPI_KEY_8, "nozzle_angle", &nozzle_angle, 0.5, 0.5 - 0.1, "8 turns the nozzle aft by 0.1"},
      {OAPI_KEY_8, "nozzle_angle", &nozzle_angle, 0.05, 0.0, "8 stops at 0"},
      {OAPI_KEY_9, "nozzle_angle", &nozzle_angle, 0.5, 0.5 + 0.1, "9 turns the nozzle down by 0.1"},
      {OAPI_KEY_9, "nozzle_angle", &nozzle_angle, 1.15, 1.2, "9 stops at 1.2"},
  };
  for (const Row &r : rows) {
    ResetStateRecord();
    *r.var = r.before;
    auto expected = Snapshot();
    expected[r.name] = r.after;
    // The nozzle keys also set the deflection; nothing else in the record moves.
    if (r.var == &nozzle_angle) expected["nozzle_deflection"] = r.after;
    EXPECT_EQ(Press(r.key), 1) << r.what;
    EXPECT_EQ(*r.var, r.after) << r.what;
    EXPECT_EQ(Snapshot(), expected) << r.what;
  }

  // Held down: the nozzle goes no further than 1.2 one way and 0 the other.
  ResetStateRecord();
  for (int i = 0; i < 15; ++i) Press(OAPI_KEY_9);
  EXPECT_EQ(nozzle_angle, 1.2);
  for (int i = 0; i < 15; ++i) Press(OAPI_KEY_8);
  EXPECT_EQ(nozzle_angle, 0.0);
}

TEST_F(Keys, NozzleKeysMoveCoverAndIndicatorThenDropHoldCorrectionAndPlayTheCoverSound) {
  nozzle_angle = 0.5;
  nozzle_deflection = 0.57;  // a horizon-level correction on top
  EXPECT_EQ(Press(OAPI_KEY_9), 1);
  std::string a = host::Num(0.5 + 0.1);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"SetAnimation(" + std::to_string(ship().anim_cover) + ", " + a + ")",
                                           "SetAnimation(" + std::to_string(ship().anim_nozzle_ind) + ", " + a + ")"}));
  EXPECT_EQ(nozzle_deflection, nozzle_angle);
  EXPECT_EQ(hv().AnimationState(ship().anim_cover), nozzle_angle);
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(12)}));

  // The automatic drive: aft from beyond 0.6, otherwise down to the hover setting.
  struct Row {
    double angle;
    uint32_t mode;
    const char *what;
  } rows[] = {{0.0, 1u, "from aft: drive down"},
              {0.6, 1u, "exactly 0.6: drive down"},
              {0.61, 2u, "beyond 0.6: drive aft"},
              {1.2, 2u, "fully down: drive aft"}};
  for (const Row &r : rows) {
    nozzle_angle = r.angle;
    nozzle_mode = 0;
    sound_.ClearCalls();
    EXPECT_EQ(Press(OAPI_KEY_0), 1) << r.what;
    EXPECT_EQ(nozzle_mode, r.mode) << r.what;
    EXPECT_EQ(nozzle_angle, r.angle) << r.what << ": the drive key moves nothing itself";
    EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(12)})) << r.what;
  }
}

TEST_F(Keys, TogglesFlipZeroAndOneAndRefuseAnyOtherValue) {
  struct Row {
    DWORD key;
    double *flag;
    const char *what;
  } rows[] = {{OAPI_KEY_7, &reheat, "7 reheat"},
              {OAPI_KEY_S, &spot_on, "S spot light"},
              {OAPI_KEY_K, &lights_off, "K exterior lights"}};
  for (const Row &r : rows) {
    *r.flag = 0.0;
    EXPECT_EQ(Press(r.key), 1) << r.what;
    EXPECT_EQ(*r.flag, 1.0) << r.what;
    EXPECT_EQ(Press(r.key), 1) << r.what;
    EXPECT_EQ(*r.flag, 0.0) << r.what;
    *r.flag = 0.5;
    EXPECT_EQ(Press(r.key), 0) << r.what << " holding 0.5 is not consumed";
    EXPECT_EQ(*r.flag, 0.5) << r.what;
    *r.flag = 2.0;
    EXPECT_EQ(Press(r.key), 0) << r.what << " holding 2 is not consumed";
    EXPECT_EQ(*r.flag, 2.0) << r.what;
    *r.flag = 0.0;
  }
  EXPECT_TRUE(trace().Texts().empty()) << "toggles only write the record";
  EXPECT_TRUE(sound_.Calls().empty());

  // The view key switches to the other view through its routine.
  EXPECT_EQ(Press(OAPI_KEY_V), 1);
  EXPECT_EQ(camera_view, 1.0);
  EXPECT_TRUE(trace().Contains("DelMesh(1, false)")) << "the open view drops the cockpit mesh";
  trace().Clear();
  EXPECT_EQ(Press(OAPI_KEY_V), 1);
  EXPECT_EQ(camera_view, 0.0);
  ASSERT_FALSE(trace().Texts().empty());
  EXPECT_EQ(trace().Texts().front(), "InsertMesh(Pelgar\\TarvexB-Cpit_n, 1, (0, 0.2, 4.5))")
      << "the cockpit view puts back the cockpit of the lights state";
  camera_view = 0.5;
  trace().Clear();
  EXPECT_EQ(Press(OAPI_KEY_V), 0);
  EXPECT_EQ(camera_view, 0.5);
  EXPECT_TRUE(trace().Texts().empty()) << "no view routine runs for a view that is neither";
}

TEST_F(Keys, MotionKeysSendEachPartToTheEndItIsFartherFrom) {
  hv().ground_contact = false;
  struct Row {
    DWORD key;
    double *pos;
    int32_t *cmd;
    const char *what;
  } rows[] = {{OAPI_KEY_G, &gear_pos, &gear_status, "G gear"},
              {OAPI_KEY_C, &canopy_pos, &canopy_status, "C canopy"},
              {OAPI_KEY_B, &airbrake_pos, &airbrake_status, "B speed brake"}};
  struct Pos {
    double pos;
    int32_t cmd;
  } positions[] = {{0.0, 1}, {0.5, 1}, {0.51, 2}, {1.0, 2}};
  for (const Row &r : rows)
    for (const Pos &p : positions) {
      *r.pos = p.pos;
      *r.cmd = 0;
      sound_.ClearCalls();
      EXPECT_EQ(Press(r.key), 1) << r.what << " at " << p.pos;
      EXPECT_EQ(*r.cmd, p.cmd) << r.what << " at " << p.pos;
      EXPECT_EQ(*r.pos, p.pos) << r.what << ": the key itself moves nothing";
      if (r.key == OAPI_KEY_G)
        EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(11)})) << "the gear sound";
      else
        EXPECT_TRUE(sound_.Calls().empty()) << r.what << " is silent";
    }

  // On the wheels the gear key is swallowed and does nothing.
  hv().ground_contact = true;
  gear_pos = 0.0;
  gear_status = 0;
  sound_.ClearCalls();
  EXPECT_EQ(Press(OAPI_KEY_G), 1);
  EXPECT_EQ(gear_status, 0);
  EXPECT_TRUE(sound_.Calls().empty());
}

TEST_F(Keys, EngineStartsAndStopsOnlyOnTheGroundAndOnlyTheStartIsConsumed) {
  hv().ground_contact = false;
  for (double eng : {0.0, 1.0}) {
    eng_status = eng;
    trace().Clear();
    EXPECT_EQ(Press(OAPI_KEY_E), 1) << "in flight";
    EXPECT_EQ(eng_status, eng) << "in flight the engine stays as it is";
    EXPECT_TRUE(CallsEqual(trace().Texts(), {"GroundContact()"}));
  }
  EXPECT_TRUE(sound_.Calls().empty());

  hv().ground_contact = true;
  eng_status = 0.0;
  trace().Clear();
  EXPECT_EQ(Press(OAPI_KEY_E), 1);
  EXPECT_EQ(eng_status, 1.0);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"GroundContact()", "SetThrusterLevel(" + Th(th_main) + ", 0.0015)"}));
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {Play(3)}));

  // Lift thrusters left running
  hv().vessel->SetThrusterLevel(th_hover[0], 0.4);
  hv().vessel->SetThrusterLevel(th_hover[1], 0.4);
  trace().Clear();
  sound_.ClearCalls();
  EXPECT_EQ(Press(OAPI_KEY_E), 0) << "the stop is passed on to the host";
  EXPECT_EQ(eng_status, 0.0);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"GroundContact()", "SetThrusterLevel(" + Th(th_main) + ", 0)",
                                           "SetThrusterLevel(" + Th(th_hover[0]) + ", 0)",
                                           "SetThrusterLevel(" + Th(th_hover[1]) + ", 0)"}));
  EXPECT_TRUE(CallsEqual(sound_.Calls(), {Stop(10), Stop(4), Stop(5), Play(2)}));

  // Pressed again and again it alternates.
  EXPECT_EQ(Press(OAPI_KEY_E), 1);
  EXPECT_EQ(Press(OAPI_KEY_E), 0);
  EXPECT_EQ(eng_status, 0.0);
}

TEST_F(Keys, RefuellingIsRequestedOnlyAtAStandstillWithTheEngineOff) {
  struct Row {
    double request, airspeed, eng, expected;
    const char *what;
  } rows[] = {
      {0, 0.0, 0, 1, "standing, engine off: requested"}, {0, 0.0999, 0, 1, "just below 0.1 m/s: requested"},
      {0, 0.1, 0, 0, "exactly 0.1 m/s: refused"},        {0, 30.0, 0, 0, "rolling: refused"},
      {0, 0.0, 1, 0, "engine running: refused"},         {1, 0.0, 0, 1, "already requested: stays"},
  };
  for (const Row &r : rows) {
    refuel_request = r.request;
    hv().airspeed = r.airspeed;
    eng_status = r.eng;
    EXPECT_EQ(Press(OAPI_KEY_J), 1) << r.what;
    EXPECT_EQ(refuel_request, r.expected) << r.what;
  }
}

TEST_F(Keys, BrakeKeysReleaseOneWheelEach) {
  hv().wheelbrake[0] = hv().wheelbrake[1] = 1.0;
  EXPECT_EQ(Press(OAPI_KEY_COMMA), 1);
  EXPECT_EQ(hv().wheelbrake[0], 0.0);
  EXPECT_EQ(hv().wheelbrake[1], 1.0);
  EXPECT_EQ(Press(OAPI_KEY_PERIOD), 1);
  EXPECT_EQ(hv().wheelbrake[1], 0.0);
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"SetWheelbrakeLevel(0, 1, true)", "SetWheelbrakeLevel(0, 2, true)"}));
}

TEST_F(Keys, ModifiersMakeNoDifferenceReleasesAndOtherKeysAreIgnored) {
  // What a key did from one fixed starting point.
  struct Outcome {
    int result;
    std::map<std::string, double> state;
    std::vector<std::string> calls, sounds;
  };
  auto run = [&](DWORD key, bool down, bool shift, bool ctrl, bool alt) {
    ResetStateRecord();
    hv().ground_contact = true;
    trace().Clear();
    sound_.ClearCalls();
    Outcome o;
    o.result = host::Key(hv(), key, down, shift, ctrl, alt);
    o.state = Snapshot();
    o.calls = trace().Texts();
    o.sounds = sound_.Calls();
    return o;
  };
  ResetStateRecord();
  const auto load = Snapshot();
  for (DWORD key : kAllKeys) {
    Outcome plain = run(key, true, false, false, false);
    for (int m = 0; m < 3; ++m) {
      Outcome mod = run(key, true, m == 0, m == 1, m == 2);
      EXPECT_EQ(mod.result, plain.result) << "key " << key << " modifier " << m;
      EXPECT_EQ(mod.state, plain.state) << "key " << key << " modifier " << m;
      EXPECT_EQ(mod.calls, plain.calls) << "key " << key << " modifier " << m;
      EXPECT_EQ(mod.sounds, plain.sounds) << "key " << key << " modifier " << m;
    }
    Outcome release = run(key, false, false, false, false);
    EXPECT_EQ(release.result, 0) << "release of key " << key;
    EXPECT_EQ(release.state, load) << "release of key " << key;
    EXPECT_TRUE(release.calls.empty() && release.sounds.empty()) << "release of key " << key;
  }
  auto untouched = Snapshot();
  for (DWORD key : {OAPI_KEY_Q, OAPI_KEY_A, OAPI_KEY_F1, OAPI_KEY_ESCAPE, OAPI_KEY_MINUS}) {
    EXPECT_EQ(Press(key), 0) << "key " << key << " is not a command";
    EXPECT_EQ(Snapshot(), untouched);
  }
}

}  // namespace
