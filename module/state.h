// The vessel state record: module-level variables shared by every vessel of
// the class in the process. Each variable is named once in the list below,
// with its type, its value at module load and its meaning; the list declares
// the variables here, defines them in state.cpp and lets tests walk the whole
// record. Nothing in the vessel constructor resets them.
#pragma once

#include <cstdint>

#include "module/orbiter_api.h"

// X(type, name, value at load, meaning)
#define TARVEX_STATE_RECORD(X)                                                                         \
  /* Landing gear */                                                                                   \
  X(int32_t, gear_status, 0, "gear motion command: 0 at rest, 1 retracting, other non-zero extending") \
  X(double, gear_pos, 0.0, "gear position: 0 down and locked, 1 fully up")                             \
  X(double, gear_warning, 0.0, "latched gear-damage warning flag, 1 = shown on the HUD")               \
  /* Gear struts */                                                                                    \
  X(double, strut_ext, 0.5, "strut extension 0..1; lowers the touchdown points by 0.555 m per unit")   \
  X(double, strut_bounce, 0.0, "completed touchdown bounces, 0..3")                                    \
  X(double, strut_damping, 0.0, "bounce margin 0..0.5: strut oscillates in [damping, 1 - damping]")    \
  /* Canopy and speed brake */                                                                         \
  X(int32_t, canopy_status, 0, "canopy motion command: 1 opening, other non-zero closing")             \
  X(double, canopy_pos, 0.0, "canopy position 0 closed .. 1 open; drag element factor")                \
  X(int32_t, airbrake_status, 0, "speed-brake motion command: 1 extending, other non-zero retracting") \
  X(double, airbrake_pos, 0.0, "speed-brake position 0 stowed .. 1 out; drag element factor")          \
  /* Engine and nozzle */                                                                              \
  X(double, eng_status, 0.0, "engine flag: 1 running, 0 off")                                          \
  X(double, reheat, 0.0, "reheat selected flag")                                                       \
  X(double, nozzle_angle, 0.0, "commanded nozzle rotation: 0 aft .. 1 down, up to 1.2 from the keys")  \
  X(uint32_t, nozzle_mode, 0u, "automatic nozzle drive: 0 none, 1 down to 1.0, other aft to 0")        \
  X(double, nozzle_deflection, 0.0, "effective nozzle rotation: nozzle_angle plus hold corrections")   \
  /* Lights, view and service */                                                                       \
  X(double, lights_off, 0.0, "exterior lights switch, inverted: 0 beacons on, 1 off")                  \
  X(double, spot_on, 0.0, "nose spot light and landing beacon flag")                                   \
  X(double, camera_view, 0.0, "cockpit view: 0 full cockpit, 1 open view")                             \
  X(double, refuel_request, 0.0, "refill the tank at the next flight step")                            \
  /* Hold-mode numbers (host nav-mode numbers; scratch during a save) */                               \
  X(double, navmode_alt, 0.0, "altitude hold nav-mode number, 7 from the first step")                  \
  X(double, navmode_lvl, 0.0, "horizon-level hold nav-mode number, 2 from the first step")             \
  X(double, navmode_rot, 0.0, "kill-rotation nav-mode number, 1 from the first step")                  \
  /* Working values of the flight step */                                                              \
  X(double, vspeed_tenth, 0.0, "horizon-frame vertical airspeed / 10")                                 \
  X(double, cam_dip, 0.0, "vertical camera displacement, -0.075..0.075")                               \
  X(double, reheat_lamp, 1.0, "reheat indicator state 0..1")                                           \
  X(double, eng_snd_freq, 22000.0, "engine sound frequency")                                           \
  X(double, fan_snd_freq, 22000.0, "lift-fan sound frequency")                                         \
  X(double, eng_snd_vol_int, 180.0, "engine volume inside the cockpit")                                \
  X(double, eng_snd_vol_ext, 240.0, "engine volume outside")                                           \
  X(double, nosewheel_steer, 0.5, "nose-wheel steering state, 0.5 straight")                           \
  X(int32_t, bounce_sinking, 0, "bounce phase: 0 strut rising, 1 strut sinking")                       \
  X(double, wheel_rot, 0.0, "wheel roll phase")                                                        \
  X(double, main_strut_ext, 0.0, "main-strut state while taxiing fast")                                \
  X(double, hover_strut_ext, 0.0, "strut extension built up in a low hover")                           \
  X(double, liftfan_rot, 0.0, "lift-fan rotor phase 0..1")                                             \
  X(double, fandoor_pos, 0.0, "lift-fan doors 0 closed .. 1 open; drag element factor")                \
  X(double, trim_released, 0.0, "0 while the altitude hold is on, 1 once the trim was reset after it") \
  X(double, gear_ext, 0.0, "gear drag element factor, 1 - gear_pos once the gear has moved")

#define TARVEX_DECLARE_STATE(type, name, init, meaning) extern type name;
TARVEX_STATE_RECORD(TARVEX_DECLARE_STATE)
#undef TARVEX_DECLARE_STATE

// Puts every variable of the record back to its value at module load, as a
// fresh load of the module would. Used by tests that need a clean module.
void ResetStateRecord();
