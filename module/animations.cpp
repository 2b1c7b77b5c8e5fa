// The vessel's animations: 23 animations of 40 components over the exterior
// mesh (0) and the status-display mesh (2). The transforms are shared by every
// vessel of the class and built once, on first use, except the nose-wheel roll,
// which rides on this vessel's own nose strut and belongs to the vessel.
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/transforms.h"

namespace {

// The transforms shared by every vessel, kept so that they are freed when the
// library is unloaded (the host keeps using them while it is loaded). Filled
// once, on the first vessel's set-up; the list has room for all of them.
class SharedTransforms {
 public:
  constexpr SharedTransforms() = default;
  ~SharedTransforms() {
    for (size_t i = 0; i < count_; ++i) FreeTransform(items_[i]);
  }
  SharedTransforms(const SharedTransforms &) = delete;
  SharedTransforms &operator=(const SharedTransforms &) = delete;
  template <typename T>
  T *Keep(T *t) {
    if (count_ < kRoom) items_[count_++] = t;
    return t;
  }

 private:
  static const size_t kRoom = 64;
  MGROUP_TRANSFORM *items_[kRoom] = {};
  size_t count_ = 0;
};
SharedTransforms g_shared_transforms;

// The host takes group lists through a non-const pointer but only reads them.
template <size_t N>
UINT *Groups(const UINT (&grp)[N]) {
  return const_cast<UINT *>(grp);
}
template <size_t N>
MGROUP_ROTATE *Rotate(UINT mesh, const UINT (&grp)[N], const VECTOR3 &ref, const VECTOR3 &axis, double deg) {
  return g_shared_transforms.Keep(
      NewTransform<MGROUP_ROTATE>(mesh, Groups(grp), N, ref, axis, static_cast<float>(deg * RAD)));
}
template <size_t N>
MGROUP_TRANSLATE *Translate(UINT mesh, const UINT (&grp)[N], const VECTOR3 &shift) {
  return g_shared_transforms.Keep(NewTransform<MGROUP_TRANSLATE>(mesh, Groups(grp), N, shift));
}

const UINT kMeshExterior = 0;
const UINT kMeshStatus = 2;

// Status display
const UINT kGrpStatusDial[] = {39, 40};
const UINT kGrpNozzleInd[] = {37, 38};
const UINT kGrpStatusA[] = {22, 23, 29, 30, 33, 34};
const UINT kGrpStatusB[] = {24, 27};
const UINT kGrpStatusC[] = {5, 6, 7};
const UINT kGrpStatusD[] = {8, 9, 10, 11};
const UINT kGrpStatusE[] = {2, 3, 4};
const UINT kGrpStatusF[] = {41, 42, 43, 44, 45, 46, 47};
// Landing gear
const UINT kGrpMainStruts[] = {14, 15, 16, 18, 20, 21};
const UINT kGrpNoseLeg[] = {6, 7, 8, 9};
const UINT kGrpNoseWheel[] = {125};
const UINT kGrpLeftWheel[] = {126};
const UINT kGrpRightWheel[] = {127};
const UINT kGrpNoseGear[] = {6, 7, 8, 9, 10, 11, 12, 13, 125};
const UINT kGrpLeftLeg[] = {14, 15, 16, 126};
const UINT kGrpRightLeg[] = {18, 20, 21, 127};
const UINT kGrpNoseDoor[] = {5};
const UINT kGrpLeftDoors[] = {173, 174};
const UINT kGrpRightDoors[] = {175, 176};
const UINT kGrpLeftLegTilt[] = {14, 15, 16, 17, 126};
const UINT kGrpRightLegTilt[] = {18, 19, 20, 21, 127};
const UINT kGrpLeftLink[] = {17};
const UINT kGrpRightLink[] = {19};
// Control surfaces, brakes, canopy
const UINT kGrpLeftRudder[] = {118, 119};
const UINT kGrpRightRudder[] = {121, 122};
const UINT kGrpElevator[] = {133, 145};
const UINT kGrpLeftAileron[] = {140};
const UINT kGrpRightAileron[] = {158};
const UINT kGrpLeftBrake[] = {141};
const UINT kGrpRightBrake[] = {159};
const UINT kGrpCanopy[] = {2, 90, 217};
// Lift fan, nozzle covers, fan doors
const UINT kGrpLiftFan[] = {177, 178, 179, 180, 181, 182, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192, 193};
const UINT kGrpCoverFront[] = {32, 130};
const UINT kGrpCoverRear[] = {31, 85};
const UINT kGrpFanDoorUpperLeft[] = {164};
const UINT kGrpFanDoorUpperRight[] = {165};
const UINT kGrpFanDoorMain[] = {96, 166, 167, 168, 169, 170};
const UINT kGrpFanDoorLowerLeft[] = {171};
const UINT kGrpFanDoorLowerRight[] = {172};

}  // namespace

void ShuttlePB::DefineAnimations() {
  // Fuel gauge pointer: 0 = full tank.
  anim_status_dial = CreateAnimation(0);
  static MGROUP_ROTATE *const status_dial =
      Rotate(kMeshStatus, kGrpStatusDial, _V(-0.0007841311, -0.5231625, -0.01118099), _V(0, 0, 1), 180);
  AddAnimationComponent(anim_status_dial, 0, 1, status_dial);

  // Nose-gear steering, wheels and struts. The nose wheel rolls on the nose
  // strut, which slides along the steered leg; the main wheels ride on the
  // main struts.
  anim_nosewheel_steer = CreateAnimation(0.5);
  anim_wheel = CreateAnimation(0);
  anim_nose_strut = CreateAnimation(0.5);
  anim_main_strut = CreateAnimation(0.5);
  static MGROUP_TRANSLATE *const main_struts = Translate(kMeshExterior, kGrpMainStruts, _V(0, -0.4, 0));
  static MGROUP_ROTATE *const nose_steer =
      Rotate(kMeshExterior, kGrpNoseLeg, _V(0, -0.8829094, 3.099459), _V(0, 1, 0), 70);
  static MGROUP_TRANSLATE *const nose_strut = Translate(kMeshExterior, kGrpNoseLeg, _V(0, -0.5, 0));
  static MGROUP_ROTATE *const left_wheel =
      Rotate(kMeshExterior, kGrpLeftWheel, _V(0, -2.019984, -2.173306), _V(1, 0, 0), 360);
  static MGROUP_ROTATE *const right_wheel =
      Rotate(kMeshExterior, kGrpRightWheel, _V(0, -2.019984, -2.173306), _V(1, 0, 0), 360);
  ANIMATIONCOMPONENT_HANDLE main_strut_parent = AddAnimationComponent(anim_main_strut, 0, 1, main_struts);
  ANIMATIONCOMPONENT_HANDLE steer_parent = AddAnimationComponent(anim_nosewheel_steer, 0, 1, nose_steer);
  ANIMATIONCOMPONENT_HANDLE nose_strut_parent = AddAnimationComponent(anim_nose_strut, 0, 1, nose_strut, steer_parent);
  nosewheel_rot = NewTransform<MGROUP_ROTATE>(kMeshExterior, Groups(kGrpNoseWheel), 1, _V(0, -2.124649, 3.099004),
                                              _V(1, 0, 0), static_cast<float>(360 * RAD));
  AddAnimationComponent(anim_wheel, 0, 1, nosewheel_rot, nose_strut_parent);
  AddAnimationComponent(anim_wheel, 0, 1, left_wheel, main_strut_parent);
  AddAnimationComponent(anim_wheel, 0, 1, right_wheel, main_strut_parent);

  // Gear retraction, 0 = down with doors open, 1 = up with doors closed:
  // main legs tilt (0-0.2), nose leg swings (0-0.5), main legs swing with
  // their links (0.2-0.5), doors close (0.5-1).
  anim_gear = CreateAnimation(0);
  static MGROUP_ROTATE *const nose_gear =
      Rotate(kMeshExterior, kGrpNoseGear, _V(0, -0.9227885, 3.099234), _V(1, 0, 0), -115);
  static MGROUP_ROTATE *const left_leg =
      Rotate(kMeshExterior, kGrpLeftLeg, _V(-1.15901, -0.4520788, -2.172986), _V(1, 0, 0), -99);
  static MGROUP_ROTATE *const right_leg =
      Rotate(kMeshExterior, kGrpRightLeg, _V(1.15901, -0.4520788, -2.172986), _V(1, 0, 0), -99);
  static MGROUP_ROTATE *const nose_door =
      Rotate(kMeshExterior, kGrpNoseDoor, _V(0.2282761, -0.870366, 3.679197), _V(0, 0, 1), -93);
  static MGROUP_ROTATE *const left_doors =
      Rotate(kMeshExterior, kGrpLeftDoors, _V(-1.199155, -0.3544314, -1.368714), _V(0, 0, 1), 99);
  static MGROUP_ROTATE *const right_doors =
      Rotate(kMeshExterior, kGrpRightDoors, _V(1.199155, -0.3544314, -1.368714), _V(0, 0, 1), -99);
  static MGROUP_ROTATE *const left_tilt =
      Rotate(kMeshExterior, kGrpLeftLegTilt, _V(-1.15901, -0.4520788, -2.172986), _V(0, 0, 1), 15);
  static MGROUP_ROTATE *const right_tilt =
      Rotate(kMeshExterior, kGrpRightLegTilt, _V(1.15901, -0.4520788, -2.172986), _V(0, 0, 1), -15);
  static MGROUP_ROTATE *const left_link =
      Rotate(kMeshExterior, kGrpLeftLink, _V(-1.15901, -0.4969712, -1.226534), _V(1, 0, 0), 50);
  static MGROUP_ROTATE *const right_link =
      Rotate(kMeshExterior, kGrpRightLink, _V(1.15901, -0.4969712, -1.226534), _V(1, 0, 0), 50);
  AddAnimationComponent(anim_gear, 0, 0.5, nose_gear);
  AddAnimationComponent(anim_gear, 0.2, 0.5, left_leg);
  AddAnimationComponent(anim_gear, 0.2, 0.5, right_leg);
  AddAnimationComponent(anim_gear, 0.5, 1, nose_door);
  AddAnimationComponent(anim_gear, 0.5, 1, left_doors);
  AddAnimationComponent(anim_gear, 0.5, 1, right_doors);
  AddAnimationComponent(anim_gear, 0, 0.2, left_tilt);
  AddAnimationComponent(anim_gear, 0, 0.2, right_tilt);
  AddAnimationComponent(anim_gear, 0.2, 0.5, left_link);
  AddAnimationComponent(anim_gear, 0.2, 0.5, right_link);

  // Control surfaces, driven by the host. The rudder and aileron axes are
  // handed over as they are, not of unit length.
  anim_rudder = CreateAnimation(0.5);
  static MGROUP_ROTATE *const left_rudder =
      Rotate(kMeshExterior, kGrpLeftRudder, _V(-1.514455, 0.487969, -6.5), _V(-0.4, 1, -0.3), -20);
  static MGROUP_ROTATE *const right_rudder =
      Rotate(kMeshExterior, kGrpRightRudder, _V(1.514455, 0.487969, -6.5), _V(0.4, 1, -0.3), -20);
  AddAnimationComponent(anim_rudder, 0, 1, left_rudder);
  AddAnimationComponent(anim_rudder, 0, 1, right_rudder);

  anim_elevator = CreateAnimation(0.5);
  static MGROUP_ROTATE *const elevator =
      Rotate(kMeshExterior, kGrpElevator, _V(0, -0.06493155, -6.711857), _V(1, 0, 0), 27);
  AddAnimationComponent(anim_elevator, 0, 1, elevator);
  anim_laileron = CreateAnimation(0.5);
  static MGROUP_ROTATE *const left_aileron =
      Rotate(kMeshExterior, kGrpLeftAileron, _V(-3.166646, -0.104697, -4.633918), _V(1, 0, -0.1), -33);
  AddAnimationComponent(anim_laileron, 0, 1, left_aileron);
  anim_raileron = CreateAnimation(0.5);
  static MGROUP_ROTATE *const right_aileron =
      Rotate(kMeshExterior, kGrpRightAileron, _V(3.166646, -0.104697, -4.633918), _V(1, 0, 0.1), 33);
  AddAnimationComponent(anim_raileron, 0, 1, right_aileron);

  // Speed brake: the inboard trailing-edge surfaces.
  anim_lbrake = CreateAnimation(0);
  static MGROUP_ROTATE *const left_brake =
      Rotate(kMeshExterior, kGrpLeftBrake, _V(-2.43472, -0.1016045, -4.427609), _V(1, 0, -0.1), 55);
  AddAnimationComponent(anim_lbrake, 0, 1, left_brake);
  anim_rbrake = CreateAnimation(0);
  static MGROUP_ROTATE *const right_brake =
      Rotate(kMeshExterior, kGrpRightBrake, _V(2.43472, -0.1016045, -4.427609), _V(1, 0, 0.1), 55);
  AddAnimationComponent(anim_rbrake, 0, 1, right_brake);

  anim_canopy = CreateAnimation(0);
  static MGROUP_ROTATE *const canopy = Rotate(kMeshExterior, kGrpCanopy, _V(0, 0.3164778, 5.247279), _V(1, 0, 0), 40);
  AddAnimationComponent(anim_canopy, 0, 1, canopy);
  anim_liftfan = CreateAnimation(0);
  static MGROUP_ROTATE *const liftfan = Rotate(kMeshExterior, kGrpLiftFan, _V(0, 0, 1.563214), _V(0, 1, 0), -360);
  AddAnimationComponent(anim_liftfan, 0, 1, liftfan);

  // Nozzle cover panels and the nozzle pointer of the status display.
  anim_cover = CreateAnimation(0);
  static MGROUP_ROTATE *const cover_front =
      Rotate(kMeshExterior, kGrpCoverFront, _V(0, 0.6463552, -4.58964), _V(1, 0, 0), -35);
  static MGROUP_ROTATE *const cover_rear = Rotate(kMeshExterior, kGrpCoverRear, _V(0, 0.5, -5.1), _V(1, 0, 0), -80);
  AddAnimationComponent(anim_cover, 0, 1, cover_front);
  AddAnimationComponent(anim_cover, 0, 1, cover_rear);
  anim_nozzle_ind = CreateAnimation(0);
  static MGROUP_ROTATE *const nozzle_ind =
      Rotate(kMeshStatus, kGrpNozzleInd, _V(-0.03648937, -0.3617395, 0.0190969), _V(0, 0, 1), -90);
  AddAnimationComponent(anim_nozzle_ind, 0, 1, nozzle_ind);

  // Lift-fan doors: the main upper door over the whole range, the two upper
  // doors on the centre line and the two lower doors over the first half.
  anim_fandoors = CreateAnimation(0);
  static MGROUP_ROTATE *const fandoor_upper_left =
      Rotate(kMeshExterior, kGrpFanDoorUpperLeft, _V(0, 0.847259, 0), _V(0, 0, 1), 80);
  static MGROUP_ROTATE *const fandoor_upper_right =
      Rotate(kMeshExterior, kGrpFanDoorUpperRight, _V(0, 0.847259, 0), _V(0, 0, 1), -80);
  static MGROUP_ROTATE *const fandoor_main =
      Rotate(kMeshExterior, kGrpFanDoorMain, _V(0, 0.7931479, 0.957247), _V(1, 0, 0), -60);
  static MGROUP_ROTATE *const fandoor_lower_left =
      Rotate(kMeshExterior, kGrpFanDoorLowerLeft, _V(-0.525374, -0.894828, 0), _V(0, 0, 1), -90);
  static MGROUP_ROTATE *const fandoor_lower_right =
      Rotate(kMeshExterior, kGrpFanDoorLowerRight, _V(0.525374, -0.894828, 0), _V(0, 0, 1), 90);
  AddAnimationComponent(anim_fandoors, 0, 0.5, fandoor_upper_left);
  AddAnimationComponent(anim_fandoors, 0, 0.5, fandoor_upper_right);
  AddAnimationComponent(anim_fandoors, 0, 1, fandoor_main);
  AddAnimationComponent(anim_fandoors, 0, 0.5, fandoor_lower_left);
  AddAnimationComponent(anim_fandoors, 0, 0.5, fandoor_lower_right);

  // Status-display indications, each a small slide along z.
  anim_status_a = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_a = Translate(kMeshStatus, kGrpStatusA, _V(0, 0, 0.15));
  AddAnimationComponent(anim_status_a, 0, 1, status_a);
  anim_status_b = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_b = Translate(kMeshStatus, kGrpStatusB, _V(0, 0, -0.01));
  AddAnimationComponent(anim_status_b, 0, 1, status_b);
  anim_status_c = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_c = Translate(kMeshStatus, kGrpStatusC, _V(0, 0, 0.05));
  AddAnimationComponent(anim_status_c, 0, 1, status_c);
  anim_status_d = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_d = Translate(kMeshStatus, kGrpStatusD, _V(0, 0, 0.05));
  AddAnimationComponent(anim_status_d, 0, 1, status_d);
  anim_status_e = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_e = Translate(kMeshStatus, kGrpStatusE, _V(0, 0, 0.05));
  AddAnimationComponent(anim_status_e, 0, 1, status_e);
  anim_status_f = CreateAnimation(0);
  static MGROUP_TRANSLATE *const status_f = Translate(kMeshStatus, kGrpStatusF, _V(0, 0, 0.015));
  AddAnimationComponent(anim_status_f, 0, 1, status_f);
}
