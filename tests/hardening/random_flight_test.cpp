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

bool In(double v, double lo, double hi) { return v >= lo && v <= hi; }  // false for NaN
bool Flag(double v) { return v == 0.0 || v == 1.0; }
bool Command(long v) { return v == 0 || v == 1 || v == 2; }

// Every range the state record keeps, with the reason where the range is
// wider than the part's travel because the design allows it.
std::string RangeViolations() {
  std::ostringstream out;
  auto check = [&](bool ok, const char *name, double v) {
    if (!ok) out << name << " = " << v << "\n";
  };
  check(Flag(gear_warning), "gear_warning", gear_warning);
  check(Flag(eng_status), "eng_status", eng_status);
  check(Flag(reheat), "reheat", reheat);
  check(Flag(lights_off), "lights_off", lights_off);
  check(Flag(spot_on), "spot_on", spot_on);
  check(Flag(camera_view), "camera_view", camera_view);
  check(Flag(refuel_request), "refuel_request", refuel_request);
  check(Flag(trim_released), "trim_released", trim_released);
  check(Command(gear_status), "gear_status", gear_status);
  check(Command(canopy_status), "canopy_status", canopy_status);
  check(Command(airbrake_status), "airbrake_status", airbrake_status);
  check(Command(nozzle_mode), "nozzle_mode", nozzle_mode);
  check(bounce_sinking == 0 || bounce_sinking == 1, "bounce_sinking", bounce_sinking);
  check(In(gear_pos, 0, 1), "gear_pos", gear_pos);
  check(In(gear_ext, 0, 1), "gear_ext", gear_ext);
  check(In(canopy_pos, 0, 1), "canopy_pos", canopy_pos);
  check(In(airbrake_pos, 0, 1), "airbrake_pos", airbrake_pos);
  check(In(fandoor_pos, 0, 1), "fandoor_pos", fandoor_pos);
  check(In(strut_bounce, 0, 3), "strut_bounce", strut_bounce);
  check(In(strut_damping, 0, 0.5), "strut_damping", strut_damping);
  check(In(strut_ext, 0, 1), "strut_ext", strut_ext);
  check(In(hover_strut_ext, 0, 1), "hover_strut_ext", hover_strut_ext);
  // Taxiing mirrors a low strut command below 0.2 (r becomes -r), so the main
  // strut may stand down to -0.2.
  check(In(main_strut_ext, -0.2, 1), "main_strut_ext", main_strut_ext);
  check(In(nozzle_angle, 0, 1.2), "nozzle_angle", nozzle_angle);
  check(In(nozzle_deflection, 0, 1.2), "nozzle_deflection", nozzle_deflection);
  check(In(liftfan_rot, 0, 1), "liftfan_rot", liftfan_rot);
  // The wheel phase wraps before it is advanced, so it may show up to 1.225.
  check(In(wheel_rot, 0, 1.225), "wheel_rot", wheel_rot);
  check(In(nosewheel_steer, 0, 1), "nosewheel_steer", nosewheel_steer);
  check(In(cam_dip, -0.075, 0.075), "cam_dip", cam_dip);
  check(In(reheat_lamp, 0, 1), "reheat_lamp", reheat_lamp);
  check(In(eng_snd_freq, 11500, 22500), "eng_snd_freq", eng_snd_freq);
  check(In(fan_snd_freq, 11500, 22500), "fan_snd_freq", fan_snd_freq);
  check(In(eng_snd_vol_int, 0, 180), "eng_snd_vol_int", eng_snd_vol_int);
  check(In(eng_snd_vol_ext, 0, 255), "eng_snd_vol_ext", eng_snd_vol_ext);
  check(std::isfinite(vspeed_tenth), "vspeed_tenth", vspeed_tenth);
  check(navmode_alt == 7 && navmode_lvl == 2 && navmode_rot == 1, "navmode numbers", navmode_alt);
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
