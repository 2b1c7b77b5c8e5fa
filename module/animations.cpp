// The vessel's animations: 23 animations of 40 components over the exterior
// mesh (0) and the status-display mesh (2).
#include "module/handles.h"
#include "module/shuttlepb.h"

void ShuttlePB::DefineAnimations() {
  anim_status_dial = CreateAnimation(0);
  anim_nosewheel_steer = CreateAnimation(0.5);
  anim_wheel = CreateAnimation(0);
  anim_nose_strut = CreateAnimation(0.5);
  anim_main_strut = CreateAnimation(0.5);
  anim_gear = CreateAnimation(0);
  anim_rudder = CreateAnimation(0.5);
  anim_elevator = CreateAnimation(0.5);
  anim_laileron = CreateAnimation(0.5);
  anim_raileron = CreateAnimation(0.5);
  anim_lbrake = CreateAnimation(0);
  anim_rbrake = CreateAnimation(0);
  anim_canopy = CreateAnimation(0);
  anim_liftfan = CreateAnimation(0);
  anim_cover = CreateAnimation(0);
  anim_nozzle_ind = CreateAnimation(0);
  anim_fandoors = CreateAnimation(0);
  anim_status_a = CreateAnimation(0);
  anim_status_b = CreateAnimation(0);
  anim_status_c = CreateAnimation(0);
  anim_status_d = CreateAnimation(0);
  anim_status_e = CreateAnimation(0);
  anim_status_f = CreateAnimation(0);
}
