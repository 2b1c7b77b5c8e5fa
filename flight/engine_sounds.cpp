// Engine, lift-fan and reheat sounds following the throttle and the camera.
#include "flight/blocks.h"
#include "flight/propulsion.h"
#include "module/handles.h"
#include "module/numbers.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

// The lift fan sounds only with its doors open past this position. Equal to
// the nozzle's aft stop, but a door position: a rule of its own.
const double kFanDoorsOpen = 0.06;

// The service takes whole numbers; fractions are dropped (toward zero).
void PlayLooped(const ShuttlePB &v, int slot, double volume, double frequency) {
  PlayVesselWaveOBSound3(v.MyID, slot, LOOP, TruncateToInt(volume), TruncateToInt(frequency));
}

bool Playing(const ShuttlePB &v, int slot) { return IsPlayingVesselWave3(v.MyID, slot) != 0; }

// Pitch from the throttle level, shared by the engine and the lift fan.
double ThrottlePitch(double level) {
  double f = 6000 * level + 14000;
  if (f < 11500) f = 11500;
  if (f > 22500) f = 22500;
  return f;
}

}  // namespace

// Inside the cockpit the engine is quieter and lower in pitch than outside.
// While the start or the warning sound plays, the engine and lift-fan loops
// are left alone.
void EngineSounds(ShuttlePB &v, StepValues &s) {
  if (!Playing(v, kWaveEngineStart) && !Playing(v, kWaveWarning)) {
    double level = v.GetThrusterLevel(th_main);
    eng_snd_freq = ThrottlePitch(level);
    eng_snd_vol_int = 480 * level;
    if (eng_snd_vol_int > 180) eng_snd_vol_int = 180;
    // Outside, the loop jumps to full volume once 240 is passed.
    eng_snd_vol_ext = 760 * level;
    if (eng_snd_vol_ext > 240) eng_snd_vol_ext = 255;
    if (oapiCameraInternal()) {
      PlayLooped(v, kWaveEngineSecondLoop, 180, eng_snd_freq);
      PlayLooped(v, kWaveEngine, eng_snd_vol_int, eng_snd_freq - 800);
    } else {
      PlayLooped(v, kWaveEngineSecondLoop, 255, eng_snd_freq);
      PlayLooped(v, kWaveEngine, eng_snd_vol_ext, eng_snd_freq);
    }
  }

  if (!Playing(v, kWaveEngineStart) && !Playing(v, kWaveWarning) && eng_status == 1 && liftfan_rot > 0 &&
      nozzle_angle > kNozzleAftStop) {
    fan_snd_freq = ThrottlePitch(v.GetThrusterLevel(th_main));
    if (s.airspeed < kSlowFlightSpeed && fandoor_pos > kFanDoorsOpen) {
      if (oapiCameraInternal())
        PlayLooped(v, kWaveLiftFan, 180, fan_snd_freq - 800);
      else
        PlayLooped(v, kWaveLiftFan, 245, fan_snd_freq);
    }
  }

  // Reheat roars only at full throttle with the nozzle aft.
  if (reheat == 1 && nozzle_angle < kNozzleAftStop && eng_status == 1 && v.GetThrusterLevel(th_main) > kReheatLevel &&
      !Playing(v, kWaveWarning)) {
    if (oapiCameraInternal())
      PlayLooped(v, kWaveReheat, 170, 18500);
    else
      PlayLooped(v, kWaveReheat, 255, 22500);
  }
  if (reheat == 0) StopVesselWave3(v.MyID, kWaveReheat);
  if (nozzle_angle >= kNozzleAftStop) StopVesselWave3(v.MyID, kWaveReheat);
}
