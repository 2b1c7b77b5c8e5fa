// The vessel's scenario lines: what a load does with each line, what a save
// writes, and that a save then a load restores the state.
#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>

#include "host/scenario_file.h"
#include "module/handles.h"
#include "module/state.h"
#include "sound/connector.h"
#include "tests/support/fixture.h"
#include "tests/support/work_dir.h"

using tarvex_test::CallsEqual;
using tarvex_test::CallsInOrder;

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
// the names in `skip`. Values compare bit for bit in meaning (NaN equals NaN).
std::vector<std::string> Differences(const StateRecord &a, const StateRecord &b,
                                     const std::vector<std::string> &skip = {}) {
  std::vector<std::string> out;
  auto skipped = [&](const char *n) {
    for (const auto &s : skip)
      if (s == n) return true;
    return false;
  };
#define TARVEX_COMPARE(type, name, init, meaning)                                         \
  if (!skipped(#name) && !(a.name == b.name || (a.name != a.name && b.name != b.name))) { \
    std::ostringstream os;                                                                \
    os.precision(17);                                                                     \
    os << #name << ": " << a.name << " -> " << b.name;                                    \
    out.push_back(os.str());                                                              \
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
    if (!th_main) th_main = Ship(hv).CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
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
  host::ScenarioFile Save(host::HostVessel &hv) {
    host::ScenarioFile f;
    Ship(hv).clbkSaveState(&f);
    return f;
  }
  // The vessel's own lines of a save (after the host's standard ones).
  std::vector<std::string> VesselLines(host::HostVessel &hv) {
    std::vector<std::string> out;
    for (const std::string &l : Save(hv).written) {
      std::string key = l.substr(2, l.find(' ', 2) - 2);
      if (key != "STATUS" && key != "ALT" && key != "AIRSPEED" && key != "PITCH" && key != "BANK" && key != "HEADING" &&
          key != "FUEL")
        out.push_back(l);
    }
    return out;
  }
  std::string Level0() const { return "SetThrusterLevel(" + main_ + ", 0)"; }
  // As if the module were loaded afresh: no vessels, every variable at its
  // load value, no handles from an earlier set-up.
  void FreshModule() {
    for (host::HostVessel *hv : vessels_)
      if (host::world().FindVessel(hv)) host::DestroyVessel(api_, *hv);
    vessels_.clear();
    host::ResetWorld();
    ResetStateRecord();
    ResetSoundConnector();
    th_main = nullptr;
  }

  tarvex_test::TempWorkDir dir_;  // post-creation's sound log stays out of the way
  std::string main_;
};

TEST_F(Scenario, EachLineLoadsItsVariableAndEndsWithTheMainThrusterAtZero) {
  host::HostVessel &hv = Vessel();
  ShuttlePB &v = Ship(hv);
  const struct {
    const char *line;
    std::function<bool()> loaded;
    std::vector<std::string> calls;  // host calls made for the line, before the thruster reset
  } rows[] = {
      {"GEAR 1", [] { return gear_status == 1 && gear_pos == 0; }, {}},
      {"GEAR 0 1",
       [] { return gear_status == 0 && gear_pos == 1; },
       {"SetAnimation(" + std::to_string(v.anim_gear) + ", 1)"}},
      {"GEAR 2 0.35",
       [] { return gear_status == 2 && gear_pos == 0.35; },
       {"SetAnimation(" + std::to_string(v.anim_gear) + ", 0.35)"}},
      {"ENG STAT 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2 0", [] { return eng_status == 0.0; }, {}},
      {"ENG STAT2 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2", [] { return eng_status == 2.0; }, {}},
      {"NAVMODEALT 1", [] { return true; }, {"ActivateNavmode(7)"}},
      {"NAVMODELVL 1", [] { return true; }, {"ActivateNavmode(2)"}},
      {"NAVMODEROT 1", [] { return true; }, {"ActivateNavmode(1)"}},
      {"ENG TURN 1 0.7",
       [] { return nozzle_mode == 1u && nozzle_angle == 0.7; },
       {"SetAnimation(" + std::to_string(v.anim_cover) + ", 0.7)",
        "SetAnimation(" + std::to_string(v.anim_nozzle_ind) + ", 0.7)"}},
      {"REHEAT 1", [] { return reheat == 1.0; }, {}},
      {"LIGHTS 1", [] { return lights_off == 1.0; }, {}},
      {"SPOT 1", [] { return spot_on == 1.0; }, {}},
      {"CAMERA 1", [] { return camera_view == 1.0; }, {}},
      {"TRIM -0.25", [] { return true; }, {"SetControlSurfaceLevel(4, -0.25)"}},
  };
  for (const auto &r : rows) {
    ResetStateRecord();
    host::world().trace.enabled = true;
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
}

TEST_F(Scenario, KeysMatchInAnyCaseAndNavModeLinesActivateWhateverFollows) {
  host::HostVessel &hv = Vessel();
  Load(hv, {"gear 0 1", "Eng Stat 1", "navmodealt 0", "NavModeLvl", "NAVMODEROT off", "eng turn 2 0.9", "reheat 1",
            "lights 1", "spot 1", "camera 1", "trim 0.5"});
  EXPECT_EQ(gear_pos, 1.0);
  EXPECT_EQ(eng_status, 1.0);
  EXPECT_EQ(nozzle_mode, 2u);
  EXPECT_EQ(nozzle_angle, 0.9);
  EXPECT_EQ(reheat, 1.0);
  EXPECT_EQ(lights_off, 1.0);
  EXPECT_EQ(spot_on, 1.0);
  EXPECT_EQ(camera_view, 1.0);
  EXPECT_EQ(hv.ctrl_level[AIRCTRL_ELEVATORTRIM], 0.5);
  EXPECT_TRUE(CallsEqual(trace().Filter("ActivateNavmode"),
                         {"ActivateNavmode(7)", "ActivateNavmode(2)", "ActivateNavmode(1)"}));
  EXPECT_EQ(trace().Filter("SetThrusterLevel").size(), 11u) << "one thruster reset per line";
}

TEST_F(Scenario, OldStyleLinesLoadAsTheyAlwaysDid) {
  host::HostVessel &hv = Vessel();
  // A saved gear-up "GEAR 1" is a retract command; the position stays.
  gear_pos = 0.3;
  Load(hv, {"GEAR 1"});
  EXPECT_EQ(gear_status, 1);
  EXPECT_EQ(gear_pos, 0.3);
  EXPECT_EQ(trace().Count("SetAnimation"), 0u);
  // A saved nozzle real splits into drive command and fraction.
  const struct {
    const char *line;
    uint32_t mode;
    double angle;
  } turns[] = {{"ENG TURN 0.5", 0, 0.5}, {"ENG TURN 1.2", 1, 0.2}, {"ENG TURN 1", 1, 0.2}};
  nozzle_angle = 0.5;
  for (const auto &t : turns) {
    Load(hv, {t.line});
    EXPECT_EQ(nozzle_mode, t.mode) << t.line;
    EXPECT_EQ(nozzle_angle, t.angle) << t.line;
  }
  // "ENG STAT2" written after "ENG STAT" decides the engine state.
  Load(hv, {"ENG STAT 1", "ENG STAT2 0"});
  EXPECT_EQ(eng_status, 0.0);
  Load(hv, {"ENG STAT 1"});
  EXPECT_EQ(eng_status, 1.0);
}

TEST_F(Scenario, AnEmptyBlockTouchesNothing) {
  host::HostVessel &hv = Vessel();
  Ship(hv).SetThrusterLevel(th_main, 0.6);
  gear_pos = 0.4;
  nozzle_angle = 0.9;
  eng_status = 1;
  StateRecord before = StateRecord::Capture();
  auto f = Load(hv, {});
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiReadScenario_nextline()"}));
  EXPECT_EQ(Ship(hv).GetThrusterLevel(th_main), 0.6);
  EXPECT_TRUE(CallsEqual(Differences(before, StateRecord::Capture()), {}));
  EXPECT_TRUE(f.parsed.empty());
}

TEST_F(Scenario, OtherLinesReachTheHostWholeWithTheStatusPointer) {
  host::HostVessel &hv = Vessel();
  const std::string longest(100000, 'Q');
  const std::vector<std::string> lines = {"STATUS Landed", "ALT 120.5", "FOO bar baz", "",
                                          "GEA",           "NAVMODE 1", "ENGSTAT 1",   longest};
  StateRecord before = StateRecord::Capture();
  auto f = Load(hv, lines);
  EXPECT_EQ(f.parsed, lines);
  EXPECT_TRUE(CallsInOrder(trace().Texts(), {"ParseScenarioLineEx(\"STATUS Landed\", status)", Level0(),
                                             "ParseScenarioLineEx(\"ALT 120.5\", status)", Level0(),
                                             "ParseScenarioLineEx(\"FOO bar baz\", status)", Level0()}));
  EXPECT_EQ(trace().Count("ParseScenarioLineEx"), lines.size());
  EXPECT_EQ(trace().Count("SetThrusterLevel"), lines.size());
  EXPECT_EQ(hv.altitude, 120.5) << "the host read its own line";
  EXPECT_TRUE(hv.ground_contact);
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
      {"GEARBOX 1", "a word beginning with a key is taken by it and read as nothing",
       [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR x 0.5", "a failed first number stops the parse", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR 1 x", "the integer alone", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"GEAR 99999999999 0.5", "an integer beyond 32 bits is no number",
       [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR 2147483648 0.5", "one past the largest int", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR -2147483648 0.75", "the smallest int fits", [] { return gear_status == INT32_MIN && gear_pos == 0.75; }},
      {"GEAR 2147483647", "the largest int fits", [] { return gear_status == INT32_MAX && gear_pos == 0.25; }},
      {"GEAR " + digits + " 0.5", "five thousand digits", [] { return gear_status == 2 && gear_pos == 0.25; }},
      {"GEAR 1 " + digits, "a real beyond the double range", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"GEAR 1 1e999", "a real beyond the double range", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"GEAR 1 nan", "no number", [] { return gear_status == 1 && gear_pos == 0.25; }},
      {"ENG STAT", "no number at all", [] { return eng_status == 1.0; }},
      {"ENG STAT -inf", "no number", [] { return eng_status == 1.0; }},
      {"ENG TURN -1 0.5", "a negative drive command is stored as its bits",
       [] { return nozzle_mode == 0xFFFFFFFFu && nozzle_angle == 0.5; }},
      {"ENG TURN q", "nothing", [] { return nozzle_mode == 1u && nozzle_angle == 0.4; }},
      {"REHEAT", "nothing", [] { return reheat == 1.0; }},
      {"REHEAT inf", "no number", [] { return reheat == 1.0; }},
      {"REHEAT 1e-400", "too small a real reads as %lf rounds it", [] { return reheat == 0.0; }},
      {"LIGHTS" + std::string(100000, ' ') + "1", "a long run of blanks", [] { return lights_off == 1.0; }},
      {"LIGHTS 0." + std::string(100000, '0') + "1", "a long fraction", [] { return lights_off == 0.0; }},
  };
  for (const auto &r : rows) {
    ResetStateRecord();
    gear_pos = 0.25, gear_status = 2, eng_status = 1, nozzle_mode = 1, nozzle_angle = 0.4, reheat = 1;
    lights_off = 0.5;
    auto f = Load(hv, {r.line});
    EXPECT_TRUE(r.after()) << r.what << ": " << r.line.substr(0, 60);
    EXPECT_TRUE(f.parsed.empty()) << r.what;
    EXPECT_EQ(trace().Count("SetThrusterLevel"), 1u) << r.what;
  }
  // A trim line whose number cannot be read sets no trim.
  Load(hv, {"TRIM abc", "TRIM", "TRIM 1e999"});
  EXPECT_EQ(trace().Count("SetControlSurfaceLevel"), 0u);
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

TEST_F(Scenario, RandomLinesLoadWithoutHarm) {
  // Lines built from key fragments, numbers and stray characters: each one is
  // either taken by a vessel key or reaches the host whole, and every one ends
  // with the main thruster reset.
  host::HostVessel &hv = Vessel();
  const char *pieces[] = {"GEAR",   "ENG STAT",   "ENG STAT2", "ENG TURN", "NAVMODEALT", "REHEAT", "LIGHTS", "SPOT",
                          "CAMERA", "TRIM",       "gE",        " ",        "\t",         "-",      "+",      "1",
                          "0",      "9999999999", ".",         "e",        "e+",         "x",      "0x",     "nan",
                          "inf",    "1e308",      "1e-320",    "%s%n",     "\xff",       "ALT",    "STATUS", "END"};
  std::mt19937 gen(8);
  std::uniform_int_distribution<size_t> pick(0, sizeof pieces / sizeof *pieces - 1);
  std::uniform_int_distribution<int> count(0, 8);
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) {
    std::string line;
    for (int n = count(gen); n > 0; --n) line += pieces[pick(gen)];
    lines.push_back(line);
  }
  auto f = Load(hv, lines);
  EXPECT_EQ(trace().Count("SetThrusterLevel"), lines.size());
  EXPECT_EQ(trace().Count("ParseScenarioLineEx"), f.parsed.size());
  const char *keys[] = {"GEAR",   "ENG STAT", "NAVMODEALT", "NAVMODELVL", "NAVMODEROT", "ENG TURN",
                        "REHEAT", "LIGHTS",   "SPOT",       "CAMERA",     "TRIM"};
  for (const std::string &l : f.parsed)
    for (const char *k : keys) EXPECT_NE(strncasecmp(l.c_str(), k, std::strlen(k)), 0) << l;
  // Whatever the lines said, the record holds no value that is not a number.
  StateRecord now = StateRecord::Capture();
  EXPECT_TRUE(std::isfinite(now.gear_pos) && std::isfinite(now.eng_status) && std::isfinite(now.nozzle_angle) &&
              std::isfinite(now.reheat) && std::isfinite(now.lights_off) && std::isfinite(now.spot_on) &&
              std::isfinite(now.camera_view));
  EXPECT_TRUE(std::isfinite(hv.ctrl_level[AIRCTRL_ELEVATORTRIM]));
}

TEST_F(Scenario, SaveWritesTheHostLinesThenTheVesselsInOrder) {
  host::HostVessel &hv = Vessel();
  ShuttlePB &v = Ship(hv);
  gear_pos = 0.35, gear_status = 1, eng_status = 1, nozzle_angle = 1.2, nozzle_mode = 1, nozzle_deflection = 1.25;
  reheat = 1, lights_off = 1, spot_on = 1, camera_view = 1;
  navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;
  hv.navmode[7] = hv.navmode[1] = true;
  v.SetThrusterLevel(th_main, 0.8);
  hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = -0.3;
  trace().Clear();
  auto f = Save(hv);
  EXPECT_TRUE(CallsEqual(
      trace().Texts(), {"GetThrusterLevel(" + main_ + ")", "GetNavmodeState(7)", "GetNavmodeState(2)",
                        "GetNavmodeState(1)", "VESSEL2::clbkSaveState()",
                        "oapiWriteScenario_string(\"GEAR\", \"1 0.35\")", "oapiWriteScenario_int(\"ENG STAT2\", 0)",
                        "oapiWriteScenario_int(\"ENG STAT\", 1)", "oapiWriteScenario_int(\"NAVMODEALT\", 1)",
                        "oapiWriteScenario_int(\"NAVMODEROT\", 1)", "oapiWriteScenario_string(\"ENG TURN\", \"1 1.2\")",
                        "oapiWriteScenario_float(\"REHEAT\", 1)", "oapiWriteScenario_float(\"LIGHTS\", 1)",
                        "oapiWriteScenario_float(\"SPOT\", 1)", "oapiWriteScenario_float(\"CAMERA\", 1)",
                        "GetControlSurfaceLevel(4)", "oapiWriteScenario_float(\"TRIM\", -0.3)"}));
  EXPECT_EQ(f.written.front(), "  STATUS Flying") << "the host's lines come first";
  // The hold-mode numbers now say which holds were active; nothing else moved.
  EXPECT_EQ(navmode_alt, 1.0);
  EXPECT_EQ(navmode_lvl, 0.0);
  EXPECT_EQ(navmode_rot, 1.0);
  EXPECT_EQ(v.GetThrusterLevel(th_main), 0.8);
}

TEST_F(Scenario, EverythingAtZeroSavesNoVesselLines) {
  host::HostVessel &hv = Vessel();
  StateRecord before = StateRecord::Capture();
  EXPECT_TRUE(CallsEqual(VesselLines(hv), {}));
  EXPECT_TRUE(CallsEqual(Differences(before, StateRecord::Capture()), {}));
  // A deflection alone (a hold's correction) still saves the nozzle line.
  nozzle_deflection = 0.05;
  EXPECT_TRUE(CallsEqual(VesselLines(hv), {"  ENG TURN 0 0"}));
}

TEST_F(Scenario, SaveThenLoadRestoresTheStateRecord) {
  const double trims[] = {0, 0.25, -0.6};
  const struct {
    int32_t status;
    double pos;
    const char *what;
  } gears[] = {{0, 0, "down"}, {0, 1, "up"}, {1, 0.35, "retracting"}, {2, 0.8125, "extending"}};
  int rows = 0;
  for (int step = 0; step <= 12; ++step)
    for (const auto &gear : gears) {
      const int i = rows++;
      // The saving module.
      FreshModule();
      host::HostVessel &from = Vessel("From" + std::to_string(i));
      gear_status = gear.status, gear_pos = gear.pos;
      nozzle_angle = step * 0.1, nozzle_deflection = nozzle_angle;
      nozzle_mode = (uint32_t)(i % 3);
      eng_status = i % 2, reheat = (i / 2) % 2, lights_off = (i / 3) % 2, spot_on = (i / 5) % 2;
      camera_view = (i / 7) % 2;
      navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;
      from.navmode[7] = i & 1, from.navmode[2] = i & 2, from.navmode[1] = i & 4;
      from.ctrl_level[AIRCTRL_ELEVATORTRIM] = trims[i % 3];
      if (eng_status == 1) Ship(from).SetThrusterLevel(th_main, 0.8);
      StateRecord saved = StateRecord::Capture();
      std::vector<std::string> lines = Save(from).written;
      bool holds[8];
      for (int m = 0; m < 8; ++m) holds[m] = from.navmode[m];

      // A fresh module: every variable at its load value, a new vessel.
      FreshModule();
      host::HostVessel &to = Vessel("To" + std::to_string(i));
      Load(to, lines);
      SCOPED_TRACE("row " + std::to_string(i) + ": gear " + gear.what + ", nozzle " + std::to_string(nozzle_angle));
      // The hold-mode numbers are the save's scratch (compared through the
      // holds), and the deflection is recomputed by the flight step.
      EXPECT_TRUE(CallsEqual(Differences(saved, StateRecord::Capture(),
                                         {"navmode_alt", "navmode_lvl", "navmode_rot", "nozzle_deflection"}),
                             {}));
      for (int m = 1; m < 8; ++m) EXPECT_EQ(to.navmode[m], holds[m]) << "nav mode " << m;
      EXPECT_EQ(to.ctrl_level[AIRCTRL_ELEVATORTRIM], trims[i % 3]);
      // The restored parts show where they are.
      EXPECT_EQ(to.AnimationState(Ship(to).anim_gear), gear.pos);
      EXPECT_EQ(to.AnimationState(Ship(to).anim_cover), saved.nozzle_angle);
      EXPECT_EQ(to.AnimationState(Ship(to).anim_nozzle_ind), saved.nozzle_angle);
    }
  EXPECT_EQ(rows, 52);
}

TEST_F(Scenario, UnusualValuesSurviveTheRoundTrip) {
  // Values a hand-edited scenario can leave behind, saved and loaded again.
  const struct {
    const char *what;
    std::function<void()> set;
  } rows[] = {
      {"a flag that is neither 0 nor 1", [] { reheat = 0.5, spot_on = -2, camera_view = 1e-300; }},
      {"an angle with all digits", [] { nozzle_angle = 0.1 + 0.2; }},
      {"a drive command beyond 2", [] { nozzle_mode = 0xFFFFFFFFu; }},
      {"a negative gear command", [] { gear_status = -7, gear_pos = 0.999999999999; }},
  };
  for (const auto &r : rows) {
    FreshModule();
    host::HostVessel &from = Vessel("From");
    r.set();
    StateRecord saved = StateRecord::Capture();
    std::vector<std::string> lines = Save(from).written;
    FreshModule();
    host::HostVessel &to = Vessel("To");
    Load(to, lines);
    EXPECT_TRUE(
        CallsEqual(Differences(saved, StateRecord::Capture(), {"navmode_alt", "navmode_lvl", "navmode_rot"}), {}))
        << r.what;
  }
}

}  // namespace
