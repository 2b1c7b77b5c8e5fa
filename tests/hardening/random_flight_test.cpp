// Random flights: thousands of steps with random keys, control levels, nav
// modes, time accelerations, ground contact, airspeeds and altitudes across
// every regime (not-a-number and infinite values from the host included),
// checking after every step that the state record stays inside its ranges.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <sstream>

#include "host/harness.h"
#include "module/handles.h"
#include "module/state.h"
#include "tests/support/fixture.h"

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Every range the state record keeps, with the reason where the range is
// wider than the part's travel because the design allows it.
std::string RangeViolations() {
  std::ostringstream out;
  const struct {
    const char *name;
    double value, lo, hi;
  } ranges[] = {
      {"gear_pos", gear_pos, 0, 1},
      {"gear_ext", gear_ext, 0, 1},
      {"canopy_pos", canopy_pos, 0, 1},
      {"airbrake_pos", airbrake_pos, 0, 1},
      {"fandoor_pos", fandoor_pos, 0, 1},
      {"strut_bounce", strut_bounce, 0, 3},
      {"hover_strut_ext", hover_strut_ext, 0, 1},
      {"nozzle_angle", nozzle_angle, 0, 1.2},
      {"nozzle_deflection", nozzle_deflection, 0, 1.2},
      {"liftfan_rot", liftfan_rot, 0, 1},
      {"nosewheel_steer", nosewheel_steer, 0, 1},
      {"cam_dip", cam_dip, -0.075, 0.075},
      {"reheat_lamp", reheat_lamp, 0, 1},
      {"eng_snd_freq", eng_snd_freq, 11500, 22500},
      {"fan_snd_freq", fan_snd_freq, 11500, 22500},
      {"eng_snd_vol_int", eng_snd_vol_int, 0, 180},
      {"eng_snd_vol_ext", eng_snd_vol_ext, 0, 255},
      {"strut_ext", strut_ext, 0, 1},
      // Taxiing mirrors a low strut command below 0.2 (r becomes -r).
      {"main_strut_ext", main_strut_ext, -0.2, 1},
      // The wheel phase wraps before it is advanced, so it may show up to 1.225.
      {"wheel_rot", wheel_rot, 0, 1.225},
      {"strut_damping", strut_damping, 0, 0.5},
  };
  for (const auto &r : ranges)
    if (!(r.value >= r.lo && r.value <= r.hi)) out << r.name << " = " << r.value << "\n";
  for (double flag : {gear_warning, eng_status, reheat, lights_off, spot_on, camera_view, refuel_request, trim_released,
                      (double)bounce_sinking})
    if (flag != 0 && flag != 1) out << "a flag = " << flag << "\n";
  for (long command : {(long)gear_status, (long)canopy_status, (long)airbrake_status, (long)nozzle_mode})
    if (command < 0 || command > 2) out << "a command = " << command << "\n";
  if (!std::isfinite(vspeed_tenth)) out << "vspeed_tenth = " << vspeed_tenth << "\n";
  if (navmode_alt != 7 || navmode_lvl != 2 || navmode_rot != 1) out << "navmode numbers = " << navmode_alt << "\n";
  return out.str();
}

class RandomFlight : public tarvex_test::ModuleTest {
 protected:
  template <typename T>
  T Pick(std::mt19937 &rng, std::initializer_list<T> values) {
    std::uniform_int_distribution<size_t> d(0, values.size() - 1);
    return *(values.begin() + d(rng));
  }
  double Level(std::mt19937 &rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
  bool Chance(std::mt19937 &rng, double p) { return std::bernoulli_distribution(p)(rng); }

  void Fly(unsigned seed, int steps) {
    std::mt19937 rng(seed);
    host::world().trace.enabled = false;
    host::HostVessel &hv = NewVessel("Random" + std::to_string(seed));
    const DWORD keys[] = {OAPI_KEY_1,     OAPI_KEY_2,      OAPI_KEY_3, OAPI_KEY_4, OAPI_KEY_5, OAPI_KEY_6,
                          OAPI_KEY_7,     OAPI_KEY_8,      OAPI_KEY_9, OAPI_KEY_0, OAPI_KEY_E, OAPI_KEY_S,
                          OAPI_KEY_G,     OAPI_KEY_J,      OAPI_KEY_K, OAPI_KEY_C, OAPI_KEY_V, OAPI_KEY_B,
                          OAPI_KEY_COMMA, OAPI_KEY_PERIOD, OAPI_KEY_A, OAPI_KEY_F1};
    host::RecordingSketchpad skp;
    for (int i = 0; i < steps; ++i) {
      // The host's view of the flight, changing in jumps across every regime.
      if (Chance(rng, 0.05))
        hv.airspeed = Pick(rng, {0.0,  0.05, 0.4,   0.6,   4.0,   5.0,   5.5,   10.0,  20.0,  31.0, 33.0, 69.0,
                                 70.0, 90.0, 120.0, 150.0, 155.0, 156.0, 400.0, 700.0, 900.0, kNaN, kInf, -kInf});
      if (Chance(rng, 0.05))
        hv.altitude = Pick(rng, {0.0, 2.0, 2.6, 2.7, 5.0, 9.0, 50.0, 99.0, 150.0, 19999.0, 20000.0, kNaN, kInf});
      if (Chance(rng, 0.05)) hv.pitch = Pick(rng, {-1.0, -0.01, 0.0, 0.003, 0.02, 0.3, kNaN});
      if (Chance(rng, 0.05)) hv.ground_contact = !hv.ground_contact;
      if (Chance(rng, 0.1)) hv.horizon_airspeed = _V(0, Pick(rng, {-12.0, -4.8, -1.0, 0.05, 3.0, kNaN}), 0);
      if (Chance(rng, 0.1)) hv.ship_airspeed = _V(0, 0, Pick(rng, {-3.0, 0.0, 2.0, kNaN}));
      if (Chance(rng, 0.02)) hv.horizon_query_fails = !hv.horizon_query_fails;
      if (Chance(rng, 0.02)) hv.ship_query_fails = !hv.ship_query_fails;
      if (Chance(rng, 0.01) && !hv.propellants.empty())
        hv.propellants[0]->mass = Pick(rng, {0.0, 500.0, 19999.0, 20000.0, kNaN});
      if (Chance(rng, 0.03)) host::world().time_acceleration = Pick(rng, {0.1, 1.0, 5.0, 10.0, 10.5, 100.0});
      if (Chance(rng, 0.02)) host::world().camera_internal = !host::world().camera_internal;
      // The pilot's controls, the host's controllers and the nav modes.
      if (Chance(rng, 0.2)) {
        for (int c = 0; c < 5; ++c) hv.ctrl_level[c] = Level(rng, -1, 1);
        for (auto &t : hv.thrusters) t->level = Level(rng, 0, 1);
      }
      if (Chance(rng, 0.03)) hv.navmode[Pick(rng, {1, 2, 7})] ^= true;
      // The engine also starts and stops in the air, as a scenario load can leave it.
      if (Chance(rng, 0.005)) eng_status = 1 - eng_status;
      if (Chance(rng, 0.1))
        host::Key(hv, keys[std::uniform_int_distribution<size_t>(0, std::size(keys) - 1)(rng)], Chance(rng, 0.9),
                  Chance(rng, 0.2), Chance(rng, 0.2), Chance(rng, 0.1));
      host::Step(hv);
      std::string bad = RangeViolations();
      ASSERT_TRUE(bad.empty()) << "seed " << seed << ", step " << i << ":\n" << bad;
      if (Chance(rng, 0.05)) {
        skp.Clear();
        host::DrawHUD(hv, skp);
      }
      if (Chance(rng, 0.01)) host::Save(hv);  // scratch use of the nav-mode numbers until the next step
    }
  }
};

// A few cheap seeds in every run; the sanitizer run flies many more
// (TARVEX_RANDOM_FLIGHT_SEEDS, a count), one after the other from a fresh
// state record.
TEST_F(RandomFlight, StateStaysInRange) {
  const char *count = std::getenv("TARVEX_RANDOM_FLIGHT_SEEDS");
  int seeds = count ? std::max(1, std::atoi(count)) : 3;
  for (int seed = 1; seed <= seeds && !HasFatalFailure(); ++seed) {
    ResetStateRecord();
    Fly(seed, 20000);
  }
}

}  // namespace
