// Engine, lift-fan and reheat sounds following the throttle and the camera.
#include "flight/blocks.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

// The service takes whole numbers; fractions are dropped (toward zero). A
// level the host reports as NaN gives 0 rather than an undefined conversion.
int Truncate(double x) {
  if (!(x == x)) return 0;
  if (x >= 2147483647.0) return 2147483647;
  if (x <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(x);
}

void PlayLooped(const ShuttlePB &v, int slot, double volume, double frequency) {
  PlayVesselWaveOBSound3(v.MyID, slot, LOOP, Truncate(volume), Truncate(frequency));
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
      nozzle_angle > 0.06) {
    fan_snd_freq = ThrottlePitch(v.GetThrusterLevel(th_main));
    if (s.airspeed < 70 && fandoor_pos > 0.06) {
      if (oapiCameraInternal())
        PlayLooped(v, kWaveLiftFan, 180, fan_snd_freq - 800);
      else
        PlayLooped(v, kWaveLiftFan, 245, fan_snd_freq);
    }
  }

  // Reheat roars only at full throttle with the nozzle aft.
  if (reheat == 1 && nozzle_angle < 0.06 && eng_status == 1 && v.GetThrusterLevel(th_main) > 0.98 &&
      !Playing(v, kWaveWarning)) {
    if (oapiCameraInternal())
      PlayLooped(v, kWaveReheat, 170, 18500);
    else
      PlayLooped(v, kWaveReheat, 255, 22500);
  }
  if (reheat == 0) StopVesselWave3(v.MyID, kWaveReheat);
  if (nozzle_angle >= 0.06) StopVesselWave3(v.MyID, kWaveReheat);
}
