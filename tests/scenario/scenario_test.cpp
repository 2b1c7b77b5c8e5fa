// The vessel's scenario lines: what a load does with each line, what a save writes, and the round trip.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <tuple>

#include "host/scenario_file.h"
#include "module/handles.h"
#include "module/state.h"
#include "tests/support/fixture.h"

using tarvex_test::AnimCall;
using tarvex_test::CallsEqual;

namespace {

struct StateRecord {  // the whole state record as it is when this is made
#define TARVEX_FIELD(type, name, init, meaning) type name = ::name;
  TARVEX_STATE_RECORD(TARVEX_FIELD)
#undef TARVEX_FIELD
};

// The variables that differ, as "name: a -> b" (NaN equals NaN), but the save's scratch (the hold numbers).
std::vector<std::string> Differences(const StateRecord &a, const StateRecord &b) {
  std::vector<std::string> out;
#define TARVEX_COMPARE(type, name, init, meaning)                                                                    \
  if (std::string(#name).rfind("navmode_", 0) != 0 && !(a.name == b.name || (a.name != a.name && b.name != b.name))) \
    out.push_back(#name ": " + host::Num(a.name) + " -> " + host::Num(b.name));
  TARVEX_STATE_RECORD(TARVEX_COMPARE)
#undef TARVEX_COMPARE
  return out;
}

class Scenario : public tarvex_test::ModuleTest {
 protected:
  // A vessel after class set-up, with a main thruster to read and set.
  host::HostVessel &Vessel(const std::string &name = "A") {
    host::HostVessel &hv = NewVessel(name, false);
    Ship(hv).clbkSetClassCaps(nullptr);
    main_ = hv.ThrusterName(th_main);
    return hv;
  }
  // Hands `lines` to the load as a host block; the trace then holds only the load's calls.
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
  // As if the module were loaded afresh: no vessels, the record at its load values.
  void FreshModule() { TearDown(), SetUp(); }
  // Saves `from`, loads the lines into a vessel of a fresh module and returns what differs.
  std::vector<std::string> RoundTrip(host::HostVessel &from) {
    StateRecord saved;
    std::vector<std::string> lines = Save(from);
    FreshModule();
    Load(Vessel("To"), lines);
    return Differences(saved, StateRecord());
  }
  std::string main_;
};

TEST_F(Scenario, EachLineInAnyCaseLoadsItsVariableOrReachesTheHostAndEndsWithTheMainThrusterAtZero) {
  host::HostVessel &hv = Vessel();
  const UINT gear = Ship(hv).anim_gear, cover = Ship(hv).anim_cover, ind = Ship(hv).anim_nozzle_ind;
  // Line, what it loaded (none: a host line, handed on whole), the vessel's calls before the thruster reset.
  const std::tuple<std::string, std::function<bool()>, std::vector<std::string>> rows[] = {
      // clang-format off
      {"GEAR 1", [] { return gear_status == 1 && gear_pos == 0; }, {}},
      {"gear 0 1", [] { return gear_status == 0 && gear_pos == 1; }, {AnimCall(gear, 1)}},
      {"Eng Stat 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2 1", [] { return eng_status == 1.0; }, {}},
      {"ENG STAT2", [] { return eng_status == 2.0; }, {}},
      {"navmodealt 0", [] { return true; }, {"ActivateNavmode(7)"}},
      {"NavModeLvl", [] { return true; }, {"ActivateNavmode(2)"}},
      {"NAVMODEROT off", [] { return true; }, {"ActivateNavmode(1)"}},
      {"ENG TURN 0.5", [] { return nozzle_mode == 0u && nozzle_angle == 0.5; }, {AnimCall(cover, 0.5), AnimCall(ind, 0.5)}},
      {"eng turn 1.2", [] { return nozzle_mode == 1u && nozzle_angle == 0.2; }, {AnimCall(cover, 0.2), AnimCall(ind, 0.2)}},
      {"reheat 1", [] { return reheat == 1.0; }, {}},
      {"LIGHTS" + std::string(100000, ' ') + "1", [] { return lights_off == 1.0; }, {}},
      {"SPOT 1", [] { return spot_on == 1.0; }, {}},
      {"camera 1", [] { return camera_view == 1.0; }, {}},
      {"TRIM -0.25", [] { return true; }, {"SetControlSurfaceLevel(4, -0.25)"}},
      {"GEARBOX 1", [] { return gear_status == 0; }, {}},  // taken by the key, its number unread
      // A number beyond its variable's range, or none such as "nan", is a conversion that did not take place.
      {"GEAR 2147483648 0.5", [] { return gear_status == 0 && gear_pos == 0; }, {}},
      {"GEAR 1 nan", [] { return gear_status == 1 && gear_pos == 0; }, {}},
      {"REHEAT inf", [] { return reheat == 0; }, {}},
      {"TRIM 1e999", [] { return true; }, {}},
      // Positions and levels out of their range are kept to it.
      {"GEAR 2 1e300", [] { return gear_status == 2 && gear_pos == 1; }, {AnimCall(gear, 1)}},
      {"GEAR 1 -1e300", [] { return gear_status == 1 && gear_pos == 0; }, {AnimCall(gear, 0)}},
      {"ENG TURN 0 7", [] { return nozzle_angle == 1.2; }, {AnimCall(cover, 1.2), AnimCall(ind, 1.2)}},
      {"ENG TURN 2 -0.5", [] { return nozzle_mode == 2u && nozzle_angle == 0; }, {AnimCall(cover, 0), AnimCall(ind, 0)}},
      {"TRIM -3", [] { return true; }, {"SetControlSurfaceLevel(4, -1)"}},
      {"ALT 120.5", nullptr, {}},
      {"NAVMODE 1", nullptr, {}},
      {"", nullptr, {}},
      {std::string(100000, 'Q'), nullptr, {}},
      // clang-format on
  };
  for (const auto &[line, loaded, calls] : rows) {
    ResetStateRecord();
    Load(hv, {line});
    EXPECT_TRUE(!loaded || loaded()) << line.substr(0, 60);
    std::vector<std::string> expected = {"oapiReadScenario_nextline()"};
    expected.insert(expected.end(), calls.begin(), calls.end());
    if (!loaded) expected.push_back("ParseScenarioLineEx(\"" + line + "\", status)");
    expected.insert(expected.end(), {"SetThrusterLevel(" + main_ + ", 0)", "oapiReadScenario_nextline()"});
    EXPECT_TRUE(CallsEqual(trace().Texts(), expected)) << line.substr(0, 60);
  }
  Load(hv, {});
  EXPECT_TRUE(CallsEqual(trace().Texts(), {"oapiReadScenario_nextline()"})) << "an empty block touches nothing";
  // Numbers in range read as "%lf" and "%d%lf" read them, each text after both kinds of key.
  // clang-format off
  for (const std::string text : {"0.5", " \t1e-3", "+2", "-0", "0x1p-2", "1e", "1.5e+x", ".5", "7abc", "1,5", "0x", "-.e1",
                                 "  +.25e1", "3.0000000000000004", "4.9e-324", "1e-400", "0.0000000000000000000000001",
                                 " 12abc 0.5", "+5 .5", "-3 -0.5", "0x10", " \t7\t8", "3.5", "-", "+ 1", "4 ,5", "1 x",
                                 " 2147483647", " -2147483648 0.75"}) {
    // clang-format on
    double real = reheat = -123, second = gear_pos = -123;
    int whole = gear_status = -123;
    std::sscanf(text.c_str(), "%lf", &real);
    std::sscanf(text.c_str(), "%d%lf", &whole, &second);
    Load(hv, {"REHEAT" + text, "GEAR" + text});
    if (second != -123) second = std::clamp(second, 0.0, 1.0);  // a gear position read is kept to 0..1
    EXPECT_EQ(std::make_tuple(reheat, gear_status, gear_pos), std::make_tuple(real, whole, second)) << text;
  }
}

TEST_F(Scenario, SaveWritesTheHostLinesThenTheVesselsInOrderAndALoadRestoresThem) {
  host::HostVessel &hv = Vessel();
  gear_pos = 0.35, gear_status = 1, eng_status = 1, nozzle_angle = 1.2, nozzle_mode = 1, nozzle_deflection = 1.25;
  reheat = 1, lights_off = 1, spot_on = 1, camera_view = 1, navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;
  hv.navmode[7] = hv.navmode[2] = hv.navmode[1] = true, hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = -0.3;
  Ship(hv).SetThrusterLevel(th_main, 0.8);
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
  EXPECT_EQ(std::vector<double>({navmode_alt, navmode_lvl, navmode_rot, Ship(hv).GetThrusterLevel(th_main)}),
            std::vector<double>({1, 1, 1, 0.8}))
      << "the hold numbers now say which holds were active; the main thruster is untouched";
  // Everything at zero saves no vessel lines, except a nozzle deflection alone.
  FreshModule();
  host::HostVessel &zero = Vessel();
  std::vector<std::string> lines = Save(zero);  // the host's alone
  nozzle_deflection = 0.05, lines.push_back("  ENG TURN 0 0");
  EXPECT_TRUE(CallsEqual(Save(zero), lines));

  // A save then a load restores the state record, the holds and the trim.
  const double trims[] = {0, 0.25, -0.6};
  const std::pair<int32_t, double> gears[] = {{0, 0}, {0, 1}, {1, 0.35}, {2, 0.8125}};
  for (int i = 0; i < 53; ++i) {
    FreshModule();
    host::HostVessel &from = Vessel("From");
    std::tie(gear_status, gear_pos) = gears[i % 4];
    nozzle_angle = std::min(1.2, (i / 4) * 0.1), nozzle_mode = (uint32_t)(i % 3), eng_status = i % 2,
    reheat = (i / 2) % 2;
    lights_off = (i / 3) % 2, spot_on = (i / 5) % 2, camera_view = (i / 7) % 2;
    navmode_alt = 7, navmode_lvl = 2, navmode_rot = 1;  // as every flight step leaves them
    from.navmode[7] = i & 1, from.navmode[2] = i & 2, from.navmode[1] = i & 4;
    from.ctrl_level[AIRCTRL_ELEVATORTRIM] = trims[i % 3];
    if (eng_status == 1) Ship(from).SetThrusterLevel(th_main, 0.8);
    if (i == 52)  // values a hand-edited scenario can leave behind
      reheat = 0.5, spot_on = -2, camera_view = 1e-300, nozzle_angle = 0.1 + 0.2, nozzle_mode = 0xFFFFFFFFu,
      gear_status = -7, gear_pos = 0.999999999999;
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_TRUE(CallsEqual(RoundTrip(from), {}));
    host::HostVessel &to = *vessels_.back();
    EXPECT_EQ(to.navmode[7] + 2 * to.navmode[2] + 4 * to.navmode[1], i & 7) << "the holds active";
    EXPECT_EQ(to.ctrl_level[AIRCTRL_ELEVATORTRIM], trims[i % 3]);
  }
}

}  // namespace
