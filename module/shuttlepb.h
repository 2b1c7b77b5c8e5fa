// The Tarvex vessel class. It holds only what is per vessel (animation
// identifiers, the nose-wheel transform, the sound identifier) and hands each
// host callback to the subsystem that owns it; the run-time state lives in
// the module-level record of module/state.h.
#pragma once

#include "module/orbiter_api.h"

class ShuttlePB : public VESSEL3 {
 public:
  ShuttlePB(OBJHANDLE hVessel, int flightmodel);
  ~ShuttlePB() override;

  // Class set-up (config/class_caps.cpp)
  void clbkSetClassCaps(FILEHANDLE cfg) override;
  // Scenario lines (scenario/scenario.cpp)
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void *status) override;
  // Sound set-up (sound/vessel_sound.cpp)
  void clbkPostCreation() override;
  // Flight step (flight/step.cpp)
  void clbkPostStep(double simt, double simdt, double mjd) override;
  // Keyboard (cockpit/keys.cpp)
  int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate) override;
  // Virtual cockpit (cockpit/virtual_cockpit.cpp)
  bool clbkLoadVC(int id) override;
  bool clbkVCMouseEvent(int id, int event, VECTOR3 &p) override;
  // HUD overlay (cockpit/hud.cpp)
  bool clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, oapi::Sketchpad *skp) override;

  // Animations (module/animations.cpp)
  void DefineAnimations();
  // Cockpit views (cockpit/views.cpp)
  void SelectViewCockpit();
  void SelectViewOpen();
  void RefreshCockpitMesh();
  // Low-speed attitude control forces (flight/low_speed_control.cpp)
  void ApplyGroundSteering();
  void ApplyLowSpeedControl();

  // Animation identifiers, set by DefineAnimations and never changed.
  UINT anim_wheel = 0;
  UINT anim_gear = 0;
  UINT anim_rudder = 0;
  UINT anim_elevator = 0;
  UINT anim_laileron = 0;
  UINT anim_raileron = 0;
  UINT anim_rbrake = 0;
  UINT anim_lbrake = 0;
  UINT anim_cover = 0;
  UINT anim_nozzle_ind = 0;
  UINT anim_fandoors = 0;
  UINT anim_liftfan = 0;
  UINT anim_nosewheel_steer = 0;
  UINT anim_canopy = 0;
  UINT anim_status_c = 0;
  UINT anim_status_d = 0;
  UINT anim_status_e = 0;
  UINT anim_status_a = 0;
  UINT anim_status_b = 0;
  UINT anim_status_f = 0;
  UINT anim_status_dial = 0;
  UINT anim_nose_strut = 0;
  UINT anim_main_strut = 0;
  // The one transform this vessel owns (nose-wheel roll); freed by the destructor.
  MGROUP_ROTATE *nosewheel_rot = nullptr;
  // Identifier at the sound service, -1 without it; set by clbkPostCreation.
  int MyID = -1;
};
