// Canopy, speed brake, nozzle drive and lift-fan doors.
#include "flight/blocks.h"
#include "flight/propulsion.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"
#include "sound/connector.h"
#include "sound/slots.h"

namespace {

// Canopy and speed-brake travel per step, whatever the time acceleration.
const double kPanelRate = 0.009;
// Nozzle travel per step at time acceleration 1.
const double kNozzleRate = 0.0115;
// Lift-fan door travel per step: opening, closing with the nozzle aft (the
// same number, but a rule of its own) and closing at high speed.
const double kDoorOpenRate = 0.057;
const double kDoorAftCloseRate = 0.057;
const double kDoorFastCloseRate = 0.097;

// Moves a commanded part one step toward its end, playing its sound while it
// moves, and clears the command at the end of travel. 1 drives toward 1, any
// other non-zero command toward 0.
template <typename Status>
void Drive(const ShuttlePB &v, Status &status, double &pos, double rate, int slot) {
  if (status == 1) {
    pos += rate;
    PlayOnce(v.MyID, slot);
    if (pos > 1) {
      pos = 1;
      status = 0;
    }
  } else {
    pos -= rate;
    PlayOnce(v.MyID, slot);
    if (pos < 0) {
      pos = 0;
      status = 0;
    }
  }
}

void CloseFanDoors(const ShuttlePB &v, double rate) {
  fandoor_pos -= rate;
  if (fandoor_pos < 0) fandoor_pos = 0;
  v.SetAnimation(v.anim_fandoors, fandoor_pos);
  StopVesselWave3(v.MyID, kWaveLiftFan);
}

}  // namespace

void MovingParts(ShuttlePB &v, StepValues &s) {
  // The canopy moves only on the ground; a command given in flight waits.
  if (v.GroundContact() && canopy_status != 0) {
    Drive(v, canopy_status, canopy_pos, kPanelRate, kWaveCanopy);
    v.SetAnimation(v.anim_canopy, canopy_pos);
  }

  if (airbrake_status != 0) {
    Drive(v, airbrake_status, airbrake_pos, kPanelRate, kWaveCanopy);
    v.SetAnimation(v.anim_rbrake, airbrake_pos);
    v.SetAnimation(v.anim_lbrake, airbrake_pos);
  }

  if (nozzle_mode != 0) {
    Drive(v, nozzle_mode, nozzle_angle, kNozzleRate * TravelFactor(), kWaveCover);
    v.SetAnimation(v.anim_cover, nozzle_angle);
    v.SetAnimation(v.anim_nozzle_ind, nozzle_angle);
  }

  // The next step's hold modes offset the deflection from here.
  nozzle_deflection = nozzle_angle;

  // The lift-fan doors open at low speed with the nozzle turned down, and
  // close at high speed or with the nozzle aft (both rates add up).
  if (s.airspeed < kSlowFlightSpeed && nozzle_angle > kNozzleAftStop) {
    fandoor_pos += kDoorOpenRate;
    if (fandoor_pos > 1) fandoor_pos = 1;
    v.SetAnimation(v.anim_fandoors, fandoor_pos);
  }
  if (s.airspeed > kSlowFlightSpeed) CloseFanDoors(v, kDoorFastCloseRate);
  if (nozzle_angle < kNozzleAftStop) CloseFanDoors(v, kDoorAftCloseRate);
}
