// The vessel's scenario lines: what a load does with each line, what a save
// writes, and that a save then a load restores the state.
#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>

#include "host/scenario_file.h"
#include "module/handles.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/work_dir.h"

using tarvex_test::CallsEqual;

namespace {

// The whole state record, captured and compared by name.
struct StateRecord {
#define TARVEX_FIELD(type, name, init, meaning) type name;
  TARVEX_STATE_RECORD(TARVEX_FIELD)
#undef TARVEX_FIELD

  static StateRecord Capture() {
    StateRecord r;
#define TARVEX_CAPTURE(type, name, init, meaning) r.name = ::name;
    TARVEX_STATE_RECORD(TARVEX_CAPTURE)
#undef TARVEX_CAPTURE
    return r;
  }
};

// The variables that differ between two records, as "name: a -> b", skipping
// the save's scratch (the hold-mode numbers) and, with `skip_deflection`, the
// nozzle deflection that the flight step recomputes. NaN equals NaN.
std::vector<std::string> Differences(const StateRecord &a, const StateRecord &b, bool skip_deflection = false) {
  std::vector<std::string> out;
  const std::string skip =
      std::string(" navmode_alt navmode_lvl navmode_rot ") + (skip_deflection ? "nozzle_deflection " : "");
#define TARVEX_COMPARE(type, name, init, meaning)                      \
  if (skip.find(" " #name " ") == std::string::npos &&                 \
      !(a.name == b.name || (a.name != a.name && b.name != b.name))) { \
    std::ostringstream os;                                             \
    os.precision(17);                                                  \
    os << #name << ": " << a.name << " -> " << b.name;                 \
    out.push_back(os.str());                                           \
  }
  TARVEX_STATE_RECORD(TARVEX_COMPARE)
#undef TARVEX_COMPARE
  return out;
}

class Scenario : public tarvex_test::ModuleTest {
 protected:
  // A vessel after class set-up, with a main thruster to read and set.
  host::HostVessel &Vessel(const std::string &name = "A") {
    host::HostVessel &hv = NewVessel(name, false);
    th_main = nullptr;  // never one of an earlier test's vessels
    Ship(hv).clbkSetClassCaps(nullptr);
    main_ = hv.ThrusterName(th_main);
    return hv;
  }
  // Hands `lines` to the vessel's load as the host reads a block; the trace
  // then holds only what the load did.
  host::ScenarioFile Load(host::HostVessel &hv, const std::vector<std::string> &lines) {
    host::ScenarioFile f;
    f.lines = lines;
    trace().Clear();
    Ship(hv).clbkLoadStateEx(&f, &f);
    return f;
  }
  std::vector<std::string> Save(host::HostVessel &hv) {
    host::ScenarioFile f;
    Ship(hv).clbkSaveState(&f);
    return f.written;
  }
  std::string Level0() const { return "SetThrusterLevel(" + main_ + ", 0)"; }
  // As if the module were loaded afresh: no vessels, every variable at its
  // load value, no handles from an earlier set-up.
  void FreshModule() {
    TearDown();
    host::ResetWorld();
    ResetStateRecord();
    ResetSoundConnector();
  }
  // Saves `from`'s state, loads it into a vessel of a fresh module and returns
  // what differs.
  std::vector<std::string> RoundTrip(host::HostVessel &from, bool skip_deflection) {
    StateRecord saved = StateRecord::Capture();
    std::vector<std::string> lines = Save(from);
    FreshModule();
    Load(Vessel("To"), lines);
    return Differences(saved, StateRecord::Capture(), skip_deflection);
  }

  tarvex_test::TempWorkDir dir_;  // post-creation's sound log stays out of the way
  std::string main_;
};

TEST_F(Scenario, EachLineInAnyCaseLoadsItsVariableAndEndsWithTheMainThrusterAtZero) {
  host::HostVessel &hv = Vessel();
  ShuttlePB &v = Ship(hv);
  const std::string gear = std::to_string(v.anim_gear), cover = std::to_string(v.anim_cover),
                    ind = std::to_string(v.anim_nozzle_ind);
  const struct {
    const char *line;
    std::function<bool()> loaded;
    std::vector<std::string> calls;  // host calls made for the line, before the thruster reset
  } rows[] = {
      // clang-format off
      {"GEAR 1", [] { return gear_status == 1 && gear_pos == 0; }, {}},
      {"gear 0 1", [] { return gear_status == 0 && gear_pos == 1; }, {"SetAnimation(" + gear + ", 1)"}},
      {"GEAR 2 0.35", [] { return gear_status == 2 && gear_pos == 0.35; }, {"SetAnimation(" + gear + ", 0.35)"}},
      {"Eng Stat 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2 0", [] { return eng_status == 0.0; }, {}},
      {"ENG STAT2 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2", [] { return eng_status == 2.0; }, {}},
      {"navmodealt 0", [] { return true; }, {"ActivateNavmode(7)"}},
      {"NavModeLvl", [] { return true; }, {"ActivateNavmode(2)"}},
      {"NAVMODEROT off", [] { return true; }, {"ActivateNavmode(1)"}},
      {"ENG TURN 1 0.7", [] { return nozzle_mode == 1u && nozzle_angle == 0.7; }, {"SetAnimation(" + cover + ", 0.7)", "SetAnimation(" + ind + ", 0.7)"}},
      {"ENG TURN 0.5", [] { return nozzle_mode == 0u && nozzle_angle == 0.5; }, {"SetAnimation(" + cover + ", 0.5)", "SetAnimation(" + ind + ", 0.5)"}},
      {"eng turn 1.2", [] { return nozzle_mode == 1u && nozzle_angle == 0.2; }, {"SetAnimation(" + cover + ", 0.2)", "SetAnimation(" + ind + ", 0.2)"}},
      {"reheat 1", [] { return reheat == 1.0; }, {}},
      {"LIGHTS 1", [] { return lights_off == 1.0; }, {}},
      {"SPOT 1", [] { return spot_on == 1.0; }, {}},
      {"camera 1", [] { return camera_view == 1.0; }, {}},
      {"TRIM -0.25", [] { return true; }, {"SetControlSurfaceLevel(4, -0.25)"}},
      // clang-format on
  };
  for (const auto &r : rows) {
    ResetStateRecord();
    auto f = Load(hv, {r.line});
    EXPECT_TRUE(r.loaded()) << r.line;
    std::vector<std::string> expected = {"oapiReadScenario_nextline()"};
    for (const auto &c : r.calls) expected.push_back(c);
    expected.push_back(Level0());
    expected.push_back("oapiReadScenario_nextline()");
    EXPECT_TRUE(CallsEqual(trace().Texts(), expected)) << r.line;
    EXPECT_TRUE(f.parsed.empty()) << r.line << " is the vessel's own";
  }
  EXPECT_DOUBLE_EQ(hv.ctrl_level[AIRCTRL_ELEVATORTRIM], -0.25);
  EXPECT_TRUE(hv.navmode[7] && hv.navmode[2] && hv.navmode[1]);
  // "ENG STAT2" written after "ENG STAT" decides the engine state.
  Load(hv, {"ENG STAT 1", "ENG STAT2 0"});
  EXPECT_EQ(eng_status, 0.0);
}

TEST_F(Scenario, OtherLinesReachTheHostWholeAndAnEmptyBlockTouchesNothing) {
  host::HostVessel &hv = Vessel();
  Ship(hv).SetThrusterLevel(th_main, 0.6);
  StateRecord before = StateRecord::Capture();
  Load(hv, {});
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiReadScenario_nextline()"}));
  EXPECT_EQ(Ship(hv).GetThrusterLevel(th_main), 0.6);

  const std::vector<std::string> lines = {"STATUS Landed", "ALT 120.5", "",
                                          "GEA",           "NAVMODE 1", std::string(100000, 'Q')};
  auto f = Load(hv, lines);
  EXPECT_EQ(f.parsed, lines);
  EXPECT_EQ(trace().Texts()[1], "ParseScenarioLineEx(\"STATUS Landed\", status)");
  EXPECT_EQ(trace().Texts()[2], Level0());
  EXPECT_EQ(trace().Count("SetThrusterLevel"), lines.size());
  EXPECT_EQ(hv.altitude, 120.5) << "the host read its own line";
  EXPECT_TRUE(CallsEqual(Differences(before, StateRecord::Capture()), {}));
}

TEST_F(Scenario, MalformedAndOverlongLinesChangeOnlyWhatWasRead) {
  host::HostVessel &hv = Vessel();
  const std::string digits(5000, '9');
  const struct {
    std::string line;
    const char *what;
    std::function<bool()> after;  // from gear 0.25/2, eng 1, nozzle 1/0.4, reheat 1, lights 0.5
  } rows[] = {
      // clang-format off
      {"GEARBOX 1", "a word beginning with a key is taken by it and read as nothing", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR x 0.5", "a failed first number stops the parse", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR 1 x", "the integer alone", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"GEAR 2147483648 0.5", "one past the largest int is no number", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR -2147483648 0.75", "the smallest int fits", [] { return gear_status == INT32_MIN && gear_pos == 0.75; }},
      {"GEAR 2147483647", "the largest int fits", [] { return gear_status == INT32_MAX && gear_pos == 0.25; }},
      {"GEAR " + digits + " 0.5", "five thousand digits", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR 1 " + digits, "a real beyond the double range", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"GEAR 1 nan", "no number", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"ENG STAT -inf", "no number", [] { return eng_status == 1.0; }},
      {"ENG TURN -1 0.5", "a negative drive command is stored as its bits", [] { return nozzle_mode == 0xFFFFFFFFu && nozzle_angle == 0.5; }},
      {"ENG TURN q", "nothing", [] { return nozzle_mode == 1u && nozzle_angle == 0.4; }},
      {"REHEAT inf", "no number", [] { return reheat == 1.0; }},
      {"REHEAT 1e-400", "too small a real reads as %lf rounds it", [] { return reheat == 0.0; }},
      {"LIGHTS" + std::string(100000, ' ') + "1", "a long run of blanks", [] { return lights_off == 1.0; }},
      {"LIGHTS 0." + std::string(100000, '0') + "1", "a long fraction", [] { return lights_off == 0.0; }},
      // clang-format on
  };
  for (const auto &r : rows) {
    gear_pos = 0.25, gear_status = 2, eng_status = 1, nozzle_mode = 1, nozzle_angle = 0.4, reheat = 1;
    lights_off = 0.5;
    auto f = Load(hv, {r.line});
    EXPECT_TRUE(r.after()) << r.what << ": " << r.line.substr(0, 60);
    EXPECT_TRUE(f.parsed.empty()) << r.what;
  }
  Load(hv, {"TRIM abc", "TRIM", "TRIM 1e999"});
  EXPECT_EQ(trace().Count("SetControlSurfaceLevel"), 0u) << "a trim that cannot be read sets no trim";
}

TEST_F(Scenario, InRangeNumbersReadExactlyAsTheScanFormatsDo) {
  host::HostVessel &hv = Vessel();
  for (const char *text : {"0.5", " \t1e-3", "+2", "-0", "0x1p-2", "1e", "1.5e+x", ".5", "7abc", "1,5", "0x", "-.e1",
                           "  +.25e1", "3.0000000000000004", "4.9e-324"}) {
    double expected = -123;
    std::sscanf(text, "%lf", &expected);
    reheat = -123;
    Load(hv, {std::string("REHEAT") + text});
    EXPECT_EQ(reheat, expected) << "REHEAT" << text;
  }
  for (const char *text : {" 12abc 0.5", "+5 .5", "-3 -0.5", "0x10", " \t7\t8", "3.5", "-", "+ 1", "4 ,5"}) {
    int whole = -123;
    double real = -123;
    std::sscanf(text, "%d%lf", &whole, &real);
    gear_status = -123, gear_pos = -123;
    Load(hv, {std::string("GEAR") + text});
    EXPECT_EQ(gear_status, whole) << "GEAR" << text;
    EXPECT_EQ(gear_pos, real) << "GEAR" << text;
  }
}

TEST_F(Scenario, SaveWritesTheHostLinesThenTheVesselsInOrder) {
  host::HostVessel &hv = Vessel();
  gear_pos = 0.35, gear_status = 1, eng_status = 1, nozzle_angle = 1.2, nozzle_mode = 1, nozzle_deflection = 1.25;
  reheat = 1, lights_off = 1, spot_on = 1, camera_view = 1;
  navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;
  hv.navmode[7] = hv.navmode[2] = hv.navmode[1] = true;
  Ship(hv).SetThrusterLevel(th_main, 0.8);
  hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = -0.3;
  trace().Clear();
  EXPECT_EQ(Save(hv).front(), "  STATUS Flying") << "the host's lines come first";
  EXPECT_TRUE(
      CallsEqual(trace().Texts(),
                 {"GetThrusterLevel(" + main_ + ")", "GetNavmodeState(7)", "GetNavmodeState(2)", "GetNavmodeState(1)",
                  "VESSEL2::clbkSaveState()", "oapiWriteScenario_string(\"GEAR\", \"1 0.35\")",
                  "oapiWriteScenario_int(\"ENG STAT2\", 0)", "oapiWriteScenario_int(\"ENG STAT\", 1)",
                  "oapiWriteScenario_int(\"NAVMODEALT\", 1)", "oapiWriteScenario_int(\"NAVMODELVL\", 1)",
                  "oapiWriteScenario_int(\"NAVMODEROT\", 1)", "oapiWriteScenario_string(\"ENG TURN\", \"1 1.2\")",
                  "oapiWriteScenario_float(\"REHEAT\", 1)", "oapiWriteScenario_float(\"LIGHTS\", 1)",
                  "oapiWriteScenario_float(\"SPOT\", 1)", "oapiWriteScenario_float(\"CAMERA\", 1)",
                  "GetControlSurfaceLevel(4)", "oapiWriteScenario_float(\"TRIM\", -0.3)"}));
  // The hold-mode numbers now say which holds were active; nothing else moved.
  EXPECT_EQ(std::vector<double>({navmode_alt, navmode_lvl, navmode_rot}), std::vector<double>({1, 1, 1}));
  EXPECT_EQ(Ship(hv).GetThrusterLevel(th_main), 0.8);

  // Everything at zero saves no vessel lines, except a nozzle deflection alone.
  FreshModule();
  host::HostVessel &zero = Vessel();
  const size_t host_lines = Save(zero).size();
  nozzle_deflection = 0.05;
  const std::vector<std::string> lines = Save(zero);
  EXPECT_TRUE(CallsEqual(std::vector<std::string>(lines.begin() + host_lines, lines.end()), {"  ENG TURN 0 0"}));
}

TEST_F(Scenario, SaveThenLoadRestoresTheStateRecord) {
  const double trims[] = {0, 0.25, -0.6};
  const struct {
    int32_t status;
    double pos;
  } gears[] = {{0, 0}, {0, 1}, {1, 0.35}, {2, 0.8125}};
  for (int i = 0; i < 52; ++i) {
    FreshModule();
    host::HostVessel &from = Vessel("From");
    gear_status = gears[i % 4].status, gear_pos = gears[i % 4].pos;
    nozzle_angle = nozzle_deflection = (i / 4) * 0.1;
    nozzle_mode = (uint32_t)(i % 3);
    eng_status = i % 2, reheat = (i / 2) % 2, lights_off = (i / 3) % 2, spot_on = (i / 5) % 2;
    camera_view = (i / 7) % 2;
    navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;  // as every flight step leaves them
    from.navmode[7] = i & 1, from.navmode[2] = i & 2, from.navmode[1] = i & 4;
    from.ctrl_level[AIRCTRL_ELEVATORTRIM] = trims[i % 3];
    if (eng_status == 1) Ship(from).SetThrusterLevel(th_main, 0.8);
    const double angle = nozzle_angle;
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_TRUE(CallsEqual(RoundTrip(from, true), {}));
    host::HostVessel &to = *vessels_.back();
    for (int m : {1, 2, 7}) EXPECT_EQ(to.navmode[m], bool(i & (m == 7 ? 1 : m == 2 ? 2 : 4))) << "nav mode " << m;
    EXPECT_EQ(to.ctrl_level[AIRCTRL_ELEVATORTRIM], trims[i % 3]);
    EXPECT_EQ(to.AnimationState(Ship(to).anim_gear), gears[i % 4].pos) << "the restored parts show where they are";
    EXPECT_EQ(to.AnimationState(Ship(to).anim_cover), angle);
    EXPECT_EQ(to.AnimationState(Ship(to).anim_nozzle_ind), angle);
  }
  // Values a hand-edited scenario can leave behind survive the round trip.
  const std::function<void()> unusual[] = {
      [] { reheat = 0.5, spot_on = -2, camera_view = 1e-300; },  // flags neither 0 nor 1
      [] { nozzle_angle = 0.1 + 0.2; },                          // an angle with all digits
      [] { nozzle_mode = 0xFFFFFFFFu; },                         // a drive command beyond 2
      [] { gear_status = -7, gear_pos = 0.999999999999; },       // a negative gear command
  };
  for (const auto &set : unusual) {
    FreshModule();
    host::HostVessel &from = Vessel("From");
    set();
    EXPECT_TRUE(CallsEqual(RoundTrip(from, false), {}));
  }
}

}  // namespace
