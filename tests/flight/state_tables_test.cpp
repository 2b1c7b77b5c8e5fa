// Flight tables under tests/data, each flown by one vessel. A table's "="
// line names the values a row sets before its steps and, after ">", the values
// checked after them; a row gives a number per name ("_" leaves the value as
// it stands or unchecked), then after "|" what it shows. Unnamed values carry
// over from row to row, so a table is also a sequence. "steps" is the row's
// step count (default 1); "n:X" counts the row's SetAnimation calls on
// animation X, or its calls named X.
#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "tests/flight/flight_fixture.h"

namespace {

struct Value {
  std::function<double()> get;
  std::function<void(double)> set;
};
using Values = std::map<std::string, Value>;

// Names `names` (separated by spaces) the variables at `ptrs`, in order.
template <class T>
void Name(Values &values, const std::string &names, std::initializer_list<T *> ptrs) {
  std::istringstream in(names);
  for (T *p : ptrs) {
    std::string n;
    in >> n;
    values[n] = {[p] { return double(*p); }, [p](double v) { *p = T(v); }};
  }
}

class StateTable : public tarvex_test::FlightTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(StateTable, Flies) {
  host::HostVessel &hv = Flyer();
  ShuttlePB &ship = Ship(hv);
  Fly(hv, 50, 1000, -3);
  Values values;
#define TABLE_VALUE(type, name, init, meaning) Name<type>(values, #name, {&name});
  TARVEX_STATE_RECORD(TABLE_VALUE)
#undef TABLE_VALUE
  Name<double>(values,
               "altitude vy ship_z ship_vy pitch warp fuel rudder aileron trim eye main main_max dir_y flame "
               "flame_max rear front rear_max front_max cw_z cw_x nose_y main_y",
               {&hv.altitude,
                &hv.horizon_airspeed.y,
                &hv.ship_airspeed.z,
                &hv.ship_airspeed.y,
                &hv.pitch,
                &host::world().time_acceleration,
                &hv.propellants[0]->mass,
                &hv.ctrl_level[AIRCTRL_RUDDER],
                &hv.ctrl_level[AIRCTRL_AILERON],
                &hv.ctrl_level[AIRCTRL_ELEVATORTRIM],
                &hv.camera_offset.y,
                &Th(th_main).level,
                &Th(th_main).max0,
                &Th(th_main).dir.y,
                &Th(th_reheat).level,
                &Th(th_reheat).max0,
                &Th(th_hover[0]).level,
                &Th(th_hover[1]).level,
                &Th(th_hover[0]).max0,
                &Th(th_hover[1]).max0,
                &hv.cw[0],
                &hv.cw[2],
                &hv.touchdown[0].y,
                &hv.touchdown[1].y});
  Name<bool>(
      values, "ground hold_alt hold_lvl hold_rot",
      {&hv.ground_contact, &hv.navmode[NAVMODE_HOLDALT], &hv.navmode[NAVMODE_HLEVEL], &hv.navmode[NAVMODE_KILLROT]});
  Name<int>(values, "attitude", {&hv.attitude_mode});
  values["airspeed"].set = [&](double v) { hv.airspeed = hv.horizon_airspeed.z = hv.ship_airspeed.z = v; };
  values["cw"].set = [&](double v) { hv.cw[0] = hv.cw[1] = hv.cw[2] = hv.cw[3] = v; };
  values["back"].set = [&](double v) { hv.SetGroupLevel(THGROUP_ATT_BACK, v); };
  values["forward"].set = [&](double v) { hv.SetGroupLevel(THGROUP_ATT_FORWARD, v); };
  // Animations: the state shown, and "n:" their calls.
  std::istringstream anim_names(
      "anim_gear anim_wheel anim_nose_strut anim_main_strut anim_nosewheel_steer anim_canopy anim_rbrake anim_lbrake "
      "anim_cover anim_nozzle_ind anim_fandoors anim_liftfan anim_status_a anim_status_b anim_status_c anim_status_d "
      "anim_status_e anim_status_f anim_status_dial");
  std::map<std::string, UINT> anims;
  for (UINT id :
       {ship.anim_gear, ship.anim_wheel, ship.anim_nose_strut, ship.anim_main_strut, ship.anim_nosewheel_steer,
        ship.anim_canopy, ship.anim_rbrake, ship.anim_lbrake, ship.anim_cover, ship.anim_nozzle_ind, ship.anim_fandoors,
        ship.anim_liftfan, ship.anim_status_a, ship.anim_status_b, ship.anim_status_c, ship.anim_status_d,
        ship.anim_status_e, ship.anim_status_f, ship.anim_status_dial}) {
    std::string n;
    anim_names >> n;
    anims[n] = id;
    values[n].get = [&hv, id] { return hv.AnimationState(id); };
  }

  std::vector<std::string> names;
  size_t inputs = 0;
  for (const std::string &line : tarvex_test::DataLines(GetParam())) {
    std::istringstream in(line.substr(0, line.find('|')));
    std::vector<std::string> tokens;
    for (std::string t; in >> t;) tokens.push_back(t);
    if (tokens.at(0) == "=") {
      names.assign(tokens.begin() + 1, tokens.end());
      inputs = std::find(names.begin(), names.end(), ">") - names.begin();
      continue;
    }
    const std::string what = GetParam() + ": " + line;
    ASSERT_EQ(tokens.size() + 1, names.size()) << what;
    ASSERT_NE(line.find('|'), std::string::npos) << what << "\n  a row says after \"|\" what it shows";
    int steps = 1;
    for (size_t i = 0; i < inputs; ++i) {
      if (tokens[i] == "_") continue;
      if (names[i] == "steps") {
        steps = std::stoi(tokens[i]);
        continue;
      }
      ASSERT_TRUE(values[names[i]].set) << "cannot set " << names[i];
      values[names[i]].set(std::stod(tokens[i]));
    }
    trace().Clear();
    Steps(hv, steps);
    for (size_t i = inputs + 1; i < names.size(); ++i) {
      const std::string &n = names[i], &expected = tokens[i - 1];
      if (expected == "_") continue;
      double actual;
      if (n.rfind("n:", 0) == 0)
        actual = anims.count(n.substr(2)) ? AnimationCalls(anims[n.substr(2)]).size() : trace().Count(n.substr(2));
      else if (values[n].get)
        actual = values[n].get();
      else
        FAIL() << "cannot read " << n;
      EXPECT_NEAR(actual, std::stod(expected), 1e-9) << what << "\n  value: " << n;
    }
  }
}

// Every table under tests/data with a "=" line, as the build found them.
std::vector<std::string> StateTables() {
  std::istringstream in(TARVEX_STATE_TABLES);
  std::vector<std::string> tables;
  for (std::string t; in >> t;) tables.push_back(t);
  return tables;
}

INSTANTIATE_TEST_SUITE_P(Flight, StateTable, ::testing::ValuesIn(StateTables()),
                         [](const ::testing::TestParamInfo<std::string> &info) {
                           return info.param.substr(0, info.param.find('.'));
                         });

}  // namespace
