// Class capabilities: the vessel's physical parameters, aerodynamic surfaces,
// propellant, thrusters, exhaust, lights and exterior mesh, in one fixed
// sequence of host calls. Only the flight model, the airspeed at set-up and
// the strut extension change what is set up; the configuration file is not
// read.
#include "config/airfoils.h"
#include "flight/gear.h"
#include "module/fpu_mode.h"
#include "module/handles.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace {

const double kIsp = 320000.0;   // main, reheat and attitude thrusters
const double kIspLift = 1.0e7;  // lift thrusters
const double kPressureRef = 101400.0;
const double kSlowExhaustSpeed = 70.0;  // m/s

struct AttitudeThruster {
  VECTOR3 pos, dir;
  double max0;
};

const AttitudeThruster kAttitude[14] = {
    {{{1, 0, 3}}, {{0, 1, 0}}, 99000.0},   {{{1, 0, 3}}, {{0, -1, 0}}, 99000.0},
    {{{-1, 0, 3}}, {{0, 1, 0}}, 99000.0},  {{{-1, 0, 3}}, {{0, -1, 0}}, 99000.0},
    {{{1, 0, -3}}, {{0, 1, 0}}, 99000.0},  {{{1, 0, -3}}, {{0, -1, 0}}, 99000.0},
    {{{-1, 0, -3}}, {{0, 1, 0}}, 99000.0}, {{{-1, 0, -3}}, {{0, -1, 0}}, 99000.0},
    {{{1, 0, 3}}, {{-1, 0, 0}}, 25000.0},  {{{-1, 0, 3}}, {{1, 0, 0}}, 25000.0},
    {{{1, 0, -3}}, {{-1, 0, 0}}, 25000.0}, {{{-1, 0, -3}}, {{1, 0, 0}}, 25000.0},
    {{{0, 0, -3}}, {{0, 0, 1}}, 99000.0},  {{{0, 0, 3}}, {{0, 0, -1}}, 198000.0},  // back: twice forward
};

struct AttitudeGroup {
  THGROUP_TYPE type;
  int n;
  int members[4];
};

const AttitudeGroup kAttitudeGroups[12] = {
    {THGROUP_ATT_PITCHUP, 4, {0, 2, 5, 7}},  {THGROUP_ATT_PITCHDOWN, 4, {1, 3, 4, 6}},
    {THGROUP_ATT_BANKLEFT, 4, {0, 4, 3, 7}}, {THGROUP_ATT_BANKRIGHT, 4, {1, 5, 2, 6}},
    {THGROUP_ATT_UP, 4, {0, 4, 2, 6}},       {THGROUP_ATT_DOWN, 4, {1, 5, 3, 7}},
    {THGROUP_ATT_YAWLEFT, 2, {8, 11}},       {THGROUP_ATT_YAWRIGHT, 2, {9, 10}},
    {THGROUP_ATT_LEFT, 2, {8, 10}},          {THGROUP_ATT_RIGHT, 2, {9, 11}},
    {THGROUP_ATT_FORWARD, 1, {12}},          {THGROUP_ATT_BACK, 1, {13}},
};

}  // namespace

void ShuttlePB::clbkSetClassCaps(FILEHANDLE) {
  const ModuleFpuMode fpu_mode;
  // 1. Physical parameters; the moment scales only with a realistic flight model.
  SetSize(8.0);
  SetEmptyMass(14000.0);
  SetCW(0.3, 0.3, 0.6, 0.9);
  SetWingAspect(1.7);
  SetWingEffectiveness(3.1);
  SetCrossSections(_V(5.0, 5.0, 15.0));
  SetRotDrag(_V(3.5, 3.5, 3.5));
  if (GetFlightModel() >= 1) {
    SetPitchMomentScale(1e-4);
    SetBankMomentScale(1e-4);
  }
  SetPMI(_V(15.5, 22.1, 7.7));
  SetTrimScale(0.5);
  SetMaxWheelbrakeForce(3.0e5);

  // 2. Every vessel starts in cockpit view 0.
  SelectViewCockpit();

  // 3. Gear-down touchdown points at the current strut extension.
  SetGearDownTouchdownPoints(*this, strut_ext);

  // 4. Wing and fins.
  CreateAirfoil(LIFT_VERTICAL, _V(0, 0, -0.5), VLiftCoeff, 20.0, 270.0, 2.266);
  CreateAirfoil(LIFT_HORIZONTAL, _V(0, 0, -4.0), HLiftCoeff, 20.0, 50.0, 1.5);

  // 5. Control surfaces; the elevator animation serves the trim as well.
  CreateControlSurface(AIRCTRL_ELEVATOR, 7.0, 0.5, _V(0, 0, -17.0), AIRCTRL_AXIS_XPOS, anim_elevator);
  CreateControlSurface(AIRCTRL_RUDDER, 2.0, 0.5, _V(0, 2.0, -15.0), AIRCTRL_AXIS_YPOS, anim_rudder);
  CreateControlSurface(AIRCTRL_AILERON, 4.8, 0.2, _V(17.8, 0, -17.8), AIRCTRL_AXIS_XPOS, anim_raileron);
  CreateControlSurface(AIRCTRL_AILERON, 4.8, 0.2, _V(-17.8, 0, -17.8), AIRCTRL_AXIS_XNEG, anim_laileron);
  CreateControlSurface(AIRCTRL_ELEVATORTRIM, 7.0, 0.2, _V(0, 0, -15.0), AIRCTRL_AXIS_XPOS, anim_elevator);

  // 6. Variable drag: the host reads the driving variables through these
  // addresses every frame; the flight step moves them in place.
  CreateVariableDragElement(&airbrake_pos, 10.0, _V(0, 0, 0));
  CreateVariableDragElement(&gear_ext, 2.0, _V(0, -1.0, 0));
  CreateVariableDragElement(&canopy_pos, 4.33, _V(0, -1.0, 0));
  CreateVariableDragElement(&fandoor_pos, 4.33, _V(0, -1.0, 0));

  // 7. One full tank feeds every thruster.
  PROPELLANT_HANDLE tank = CreatePropellantResource(kTankCapacity, -1.0, 1.0);

  // 8. The texture of both flames.
  SURFHANDLE exhaust_tex = oapiRegisterExhaustTexture("TarvexA-Exhaust");

  // 9. Nose spot light. From here on the shared handles are this vessel's.
  handles_owner = this;
  spot_light = AddSpotLight(kSpotLightPos, _V(0, 0, 1), 1000.0, 1e-6, 0, 1e-6, 25 * RAD, 40 * RAD, COLOUR4{1, 1, 1, 0},
                            COLOUR4{1, 1, 1, 0}, COLOUR4{0, 0, 0, 0});

  // 10. Engine thrusters, all at zero thrust until the flight step sets it.
  th_main = CreateThruster(_V(0, 0, -0.01), _V(0, 0, 1), 0, tank, kIsp, 0, kPressureRef);
  th_reheat = CreateThruster(_V(0, -0.1580385, -5.802197), _V(0, 0, 1), 0, tank, kIsp, 0, kPressureRef);
  th_hover[0] = CreateThruster(_V(0, -1.0, -4.5), _V(0, 1, 0), 0, tank, kIspLift, 0, kPressureRef);
  th_hover[1] = CreateThruster(_V(0, -1.0, 4.5), _V(0, 1, 0), 0, tank, kIspLift, 0, kPressureRef);
  CreateThrusterGroup(&th_main, 1, THGROUP_MAIN);
  CreateThrusterGroup(&th_reheat, 1, THGROUP_USER);
  CreateThrusterGroup(th_hover, 2, THGROUP_HOVER);

  // 11. Reheat flame.
  AddExhaust(th_reheat, 4.0, 0.65, _V(0, -0.1980385, -5.802197), _V(0, 0, -1), exhaust_tex);

  // 12. Exhaust effects of slow flight, decided once from the airspeed at
  // set-up: 70 m/s or more (or no number) leaves them out. (The flight
  // step's slow-flight band has the same edge, but this is set-up's own
  // rule, made once and never revisited.)
  if (GetAirspeed() < kSlowExhaustSpeed) {
    PARTICLESTREAMSPEC exhaust_stream{};
    exhaust_stream.flags = 0;
    exhaust_stream.srcsize = 0.4;
    exhaust_stream.srcrate = 565.0;
    exhaust_stream.v0 = 11.0;
    exhaust_stream.srcspread = 0.019;
    exhaust_stream.lifetime = 0.14;
    exhaust_stream.growthrate = 3.11;
    exhaust_stream.atmslowdown = 1.0;
    exhaust_stream.ltype = PARTICLESTREAMSPEC::DIFFUSE;
    exhaust_stream.levelmap = PARTICLESTREAMSPEC::LVL_PSQRT;
    exhaust_stream.lmin = 0.0;
    exhaust_stream.lmax = 2.0;
    exhaust_stream.atmsmap = PARTICLESTREAMSPEC::ATM_PLOG;
    exhaust_stream.amin = 1.0;
    exhaust_stream.amax = 1.0;
    exhaust_stream.tex = nullptr;
    AddExhaustStream(th_reheat, _V(0, -0.1580385, -5.802197), &exhaust_stream);
    AddExhaust(th_main, 2.0, 0.65, _V(0, -0.1580385, -4.602197), _V(0, 0, -0.5), exhaust_tex);
    AddExhaustStream(th_main, _V(0, -0.2580385, -4.252197), &exhaust_stream);
  }

  // 13. Attitude thrusters and their groups.
  THRUSTER_HANDLE th_att[14];
  for (int i = 0; i < 14; ++i)
    th_att[i] = CreateThruster(kAttitude[i].pos, kAttitude[i].dir, kAttitude[i].max0, tank, kIsp, 0, kPressureRef);
  for (const AttitudeGroup &g : kAttitudeGroups) {
    THRUSTER_HANDLE members[4];
    for (int k = 0; k < g.n; ++k) members[k] = th_att[g.members[k]];
    CreateThrusterGroup(members, g.n, g.type);
  }

  // 14. Beacons, all unlit; the flight step switches them in place.
  FillBeaconRecords();
  for (BEACONLIGHTSPEC *b : beacon_records) AddBeacon(b);

  // 15. Exterior mesh.
  AddMesh(hmesh_exterior);
}
