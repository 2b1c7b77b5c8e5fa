// Keyboard commands of the pilot. Each key writes the shared state record or
// a motion command; the next flight step moves the parts. Modifier keys make
// no difference, so the keyboard state is never read.
#include "flight/propulsion.h"
#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

// Flags hold exactly 0 or 1; anything else is neither state and is left
// alone, and the key is then reported as not consumed.
int Toggle(double &flag) {
  if (flag == 0.0) {
    flag = 1.0;
    return 1;
  }
  if (flag == 1.0) {
    flag = 0.0;
    return 1;
  }
  return 0;
}

void ClampBelow(double &v, double lo) {
  if (v < lo) v = lo;
}
void ClampAbove(double &v, double hi) {
  if (v > hi) v = hi;
}

// A motion key sends the part to the end it is farther from.
int32_t MotionTowardFartherEnd(double pos) { return pos > 0.5 ? 2 : 1; }

// After a nozzle key the cover panels and the cockpit indicator follow the
// new angle at once and the effective deflection drops the hold corrections.
void NozzleFollowUp(ShuttlePB &v) {
  v.SetAnimation(v.anim_cover, nozzle_angle);
  v.SetAnimation(v.anim_nozzle_ind, nozzle_angle);
  nozzle_deflection = nozzle_angle;
  PlayOnce(v.MyID, kWaveCover);
}

// The engine starts and stops only on the ground. A stop is reported as not
// consumed, so the host also sees the key.
int EngineStartStop(ShuttlePB &v) {
  if (!v.GroundContact()) return 1;
  if (eng_status == 0.0) {
    eng_status = 1.0;
    v.SetThrusterLevel(th_main, kIdleLevel);
    PlayOnce(v.MyID, kWaveEngineStart);
    return 1;
  }
  eng_status = 0.0;
  v.SetThrusterLevel(th_main, 0.0);
  v.SetThrusterLevel(th_hover[0], 0.0);
  v.SetThrusterLevel(th_hover[1], 0.0);
  StopVesselWave3(v.MyID, kWaveEngine);
  StopVesselWave3(v.MyID, kWaveEngineSecondLoop);
  StopVesselWave3(v.MyID, kWaveLiftFan);
  PlayOnce(v.MyID, kWaveEngineStop);
  return 0;
}

using KeyAction = int (*)(ShuttlePB &);

struct KeyCommand {
  DWORD key;
  KeyAction action;
};

const KeyCommand kKeyCommands[] = {
    // Strut extension, bounce count and bounce margin, adjusted in steps.
    {OAPI_KEY_1,
     [](ShuttlePB &) {
       strut_ext -= 0.05;
       ClampBelow(strut_ext, 0.0);
       return 1;
     }},
    // Acknowledge the gear-damage warning of the HUD.
    {OAPI_KEY_2,
     [](ShuttlePB &) {
       gear_warning = 0.0;
       return 1;
     }},
    {OAPI_KEY_3,
     [](ShuttlePB &) {
       strut_bounce -= 1.0;
       ClampBelow(strut_bounce, 0.0);
       return 1;
     }},
    {OAPI_KEY_4,
     [](ShuttlePB &) {
       strut_bounce += 1.0;
       ClampAbove(strut_bounce, 3.0);
       return 1;
     }},
    {OAPI_KEY_5,
     [](ShuttlePB &) {
       strut_damping -= 0.01;
       ClampBelow(strut_damping, 0.0);
       return 1;
     }},
    {OAPI_KEY_6,
     [](ShuttlePB &) {
       strut_damping += 0.01;
       ClampAbove(strut_damping, 0.5);
       return 1;
     }},
    {OAPI_KEY_7, [](ShuttlePB &) { return Toggle(reheat); }},
    // Nozzle toward aft and toward down, by a tenth of its unit rotation.
    {OAPI_KEY_8,
     [](ShuttlePB &v) {
       nozzle_angle -= 0.1;
       ClampBelow(nozzle_angle, 0.0);
       NozzleFollowUp(v);
       return 1;
     }},
    {OAPI_KEY_9,
     [](ShuttlePB &v) {
       nozzle_angle += 0.1;
       ClampAbove(nozzle_angle, kNozzleAngleMax);
       NozzleFollowUp(v);
       return 1;
     }},
    // Automatic nozzle drive: aft from beyond 0.6, else down to the hover setting.
    {OAPI_KEY_0,
     [](ShuttlePB &v) {
       nozzle_mode = nozzle_angle > 0.6 ? 2u : 1u;
       PlayOnce(v.MyID, kWaveCover);
       return 1;
     }},
    {OAPI_KEY_E, EngineStartStop},
    {OAPI_KEY_S, [](ShuttlePB &) { return Toggle(spot_on); }},
    // The gear does not move while the wheels carry the aircraft.
    {OAPI_KEY_G,
     [](ShuttlePB &v) {
       if (v.GroundContact()) return 1;
       gear_status = MotionTowardFartherEnd(gear_pos);
       PlayOnce(v.MyID, kWaveGear);
       return 1;
     }},
    // Refuelling is asked for only at a standstill with the engine off; the
    // flight step fills the tank.
    {OAPI_KEY_J,
     [](ShuttlePB &v) {
       if (refuel_request == 0.0 && v.GetAirspeed() < 0.1 && eng_status == 0.0) refuel_request = 1.0;
       return 1;
     }},
    {OAPI_KEY_K, [](ShuttlePB &) { return Toggle(lights_off); }},
    {OAPI_KEY_C,
     [](ShuttlePB &) {
       canopy_status = MotionTowardFartherEnd(canopy_pos);
       return 1;
     }},
    // View key: between the full cockpit view and the open view.
    {OAPI_KEY_V,
     [](ShuttlePB &v) {
       if (camera_view == 1.0) {
         v.SelectViewCockpit();
         return 1;
       }
       if (camera_view == 0.0) {
         v.SelectViewOpen();
         return 1;
       }
       return 0;
     }},
    {OAPI_KEY_B,
     [](ShuttlePB &) {
       airbrake_status = MotionTowardFartherEnd(airbrake_pos);
       return 1;
     }},
    // Release the permanent brake of the left and of the right wheel.
    {OAPI_KEY_COMMA,
     [](ShuttlePB &v) {
       v.SetWheelbrakeLevel(0, 1, true);
       return 1;
     }},
    {OAPI_KEY_PERIOD,
     [](ShuttlePB &v) {
       v.SetWheelbrakeLevel(0, 2, true);
       return 1;
     }},
};

}  // namespace

int ShuttlePB::clbkConsumeBufferedKey(DWORD key, bool down, char *) {
  const ModuleFpuMode fpu_mode;
  if (!down) return 0;
  for (const KeyCommand &c : kKeyCommands)
    if (c.key == key) return c.action(*this);
  return 0;
}
