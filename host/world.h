// The stand-in host's world: what the host knows about each vessel (what the
// module set up, what it commanded, and the flight state the host reports
// back), plus the host-wide settings. Tests set the flight state directly;
// the flight host's physics computes it. The module never sees this header.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/trace.h"
#include "module/orbiter_api.h"

namespace host {

struct HostVessel;

struct Mesh {
  std::string name;
};

struct Propellant {
  int index = 0;
  double maxmass = 0, mass = 0, efficiency = 1;
};

struct Thruster {
  int index = 0;
  VECTOR3 pos{}, dir{};
  double max0 = 0;
  Propellant *prop = nullptr;
  double isp0 = 0, isp_ref = 0, p_ref = 101.4e3;
  double level = 0;  // the host keeps levels within 0..1

  // The direction scaled to length 1 (none for a zero or not-finite one),
  // computed again only when `dir` changed.
  const VECTOR3 &UnitDir() const;

 private:
  mutable VECTOR3 unit_dir_{}, unit_of_{};
  mutable bool unit_known_ = false;
};

struct ThrusterGroup {
  int index = 0;
  THGROUP_TYPE type = THGROUP_MAIN;
  std::vector<Thruster *> members;
};

struct Airfoil {
  AIRFOIL_ORIENTATION align = LIFT_VERTICAL;
  VECTOR3 ref{};
  AirfoilCoeffFunc cf = nullptr;
  double c = 0, S = 0, A = 0;
};

struct ControlSurface {
  AIRCTRL_TYPE type = AIRCTRL_ELEVATOR;
  double area = 0, dCl = 0;
  VECTOR3 ref{};
  int axis = 0;
  UINT anim = (UINT)-1;
};

// The host keeps the address of the driving variable and reads it whenever
// it needs the drag, as the real host does every frame.
struct DragElement {
  const double *drag = nullptr;
  double factor = 0;
  VECTOR3 ref{};
};

struct Exhaust {
  Thruster *th = nullptr;
  double lscale = 0, wscale = 0;
  VECTOR3 pos{}, dir{};
  SURFHANDLE tex = nullptr;
};

struct ExhaustStream {
  Thruster *th = nullptr;
  VECTOR3 pos{};
  PARTICLESTREAMSPEC spec{};
  bool has_spec = false;
};

class SpotLight : public LightEmitter {
 public:
  HostVessel *owner = nullptr;
  VECTOR3 pos{}, dir{};
  double range = 0, att0 = 0, att1 = 0, att2 = 0, umbra = 0, penumbra = 0;
  COLOUR4 diffuse{}, specular{}, ambient{};
};

struct MeshSlot {
  MESHHANDLE mesh = nullptr;
  bool present = false;
  bool has_ofs = false;
  VECTOR3 ofs{};
  WORD vis = MESHVIS_EXTERNAL;
};

struct AnimComponent {
  int index = 0;  // creation order within the vessel
  UINT anim = 0;
  double state0 = 0, state1 = 1;
  MGROUP_TRANSFORM *trans = nullptr;  // owned by the module
  AnimComponent *parent = nullptr;
  std::vector<AnimComponent *> children;
};

struct Animation {
  double initial = 0;
  double state = 0;
  std::vector<AnimComponent *> components;
};

struct Force {
  VECTOR3 F{}, r{};
};

// The rigid body the flight host's physics flies (host/physics.h). Only the
// physics reads and writes it; the recording-only world of the unit tests
// leaves it alone.
struct RigidBody {
  bool active = false;                          // the physics has placed this vessel
  VECTOR3 pos{}, vel{};                         // world frame: x east, y up (height of the centre of gravity), z north
  VECTOR3 omega{};                              // angular velocity in the vessel frame, rad/s
  double rot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // vessel-to-world rotation, row major
  // Read from the host's scenario lines; used when the body is placed.
  bool has_pos = false, has_vel = false, has_omega = false;
  // The host's own controllers.
  double hold_altitude = 0;         // altitude the altitude hold keeps
  bool hold_armed = false;          // altitude hold engaged and its target taken
  double pilot_linear[2] = {0, 0};  // pilot's forward and back translation inputs, 0..1
  bool drag_refused = false;        // a drag factor was refused (said once)
};

struct HostVessel {
  std::string name;
  std::string class_name;
  int fmodel = 1;
  VESSEL *vessel = nullptr;  // the module's object, once created

  // --- What the module set up ---
  double size = 0, empty_mass = 0;
  VECTOR3 pmi{}, cross_sections{}, rot_drag{};
  double cw[4] = {0, 0, 0, 0};  // z+, z-, x, y
  double wing_aspect = 0, wing_effectiveness = 0;
  double pitch_moment_scale = 0, bank_moment_scale = 0, trim_scale = 0;
  double max_wheelbrake_force = 0;
  VECTOR3 touchdown[3]{};
  bool touchdown_set = false;

  std::vector<std::unique_ptr<Propellant>> propellants;
  std::vector<std::unique_ptr<Thruster>> thrusters;
  std::vector<std::unique_ptr<ThrusterGroup>> groups;
  std::vector<Airfoil> airfoils;
  std::vector<ControlSurface> ctrl_surfaces;
  std::vector<DragElement> drag_elements;
  std::vector<Exhaust> exhausts;
  std::vector<ExhaustStream> streams;
  std::vector<BEACONLIGHTSPEC *> beacons;  // the module's records, by address
  std::vector<std::unique_ptr<SpotLight>> lights;
  std::vector<MeshSlot> meshes;
  std::vector<Animation> animations;
  std::vector<std::unique_ptr<AnimComponent>> components;

  // --- What the module commanded ---
  double ctrl_level[6] = {0, 0, 0, 0, 0, 0};  // by AIRCTRL_TYPE, -1..1
  bool navmode[8] = {false, false, false, false, false, false, false, false};
  int attitude_mode = 1;
  double wheelbrake[2] = {0, 0};  // permanent levels, left and right
  VECTOR3 camera_offset{};
  double camera_range[4] = {0, 0, 0, 0};  // left, right, up, down
  std::vector<Force> forces;              // added this step; cleared at the start of each step

  // --- Flight state the host reports (set by tests or by the physics) ---
  double airspeed = 0, altitude = 0, aoa = 0, pitch = 0, bank = 0, heading = 0;
  bool ground_contact = false;
  VECTOR3 horizon_airspeed{}, ship_airspeed{};
  bool horizon_query_fails = false;
  bool ship_query_fails = false;

  // --- The flight host's physics (opt-in; see host/physics.h) ---
  RigidBody body;

  // --- Helpers for tests and the flight host ---
  Thruster *ThrusterByIndex(size_t i) const { return i < thrusters.size() ? thrusters[i].get() : nullptr; }
  ThrusterGroup *Group(THGROUP_TYPE type) const;
  double GroupLevel(THGROUP_TYPE type) const;       // mean level of the members, 0 without members
  void SetGroupLevel(THGROUP_TYPE type, double l);  // sets every member, clamped to 0..1
  double FuelMass() const;                          // propellant mass of the first resource
  double AnimationState(UINT anim) const;           // -1 for an unknown animation
  std::string ThrusterName(THRUSTER_HANDLE th) const;

 private:
  // Group's index by type for the standard types (main to back), built from `groups`.
  static const unsigned kIndexedGroupTypes = THGROUP_ATT_BACK + 1;
  mutable ThrusterGroup *group_index_[kIndexedGroupTypes] = {};
  mutable size_t group_index_size_ = 0;
};

// A click area of the virtual cockpit.
struct VCArea {
  int id = 0;
  int draw_event = 0, mouse_event = 0;
  bool spherical = false;
  VECTOR3 centre{};
  double radius = 0;
};

struct World {
  // Host-wide settings the module queries.
  double time_acceleration = 1.0;
  bool camera_internal = true;
  int cockpit_mode = COCKPIT_VIRTUAL;
  int hud_mode = HUD_SURFACE;

  std::vector<std::unique_ptr<HostVessel>> vessels;
  std::map<std::string, std::unique_ptr<Mesh>> meshes;  // global meshes, loaded once by name
  std::set<std::string> failing_meshes;                 // names oapiLoadMeshGlobal answers with null
  std::map<std::string, std::unique_ptr<Mesh>> textures;

  // Virtual cockpit registrations (the latest of each) and the clicks passed on.
  bool hud_registered = false;
  VCHUDSPEC hud{};
  bool mfd_registered[2] = {false, false};
  VCMFDSPEC mfd[2]{};
  std::vector<VCArea> areas;
  std::vector<std::pair<int, DWORD>> mfd_keys;  // (mfd, key)
  struct ButtonPress {
    int mfd, button, event;
  };
  std::vector<ButtonPress> mfd_buttons;

  HINSTANCE initlib_handle = nullptr;
  int initlib_calls = 0;
  int date2int_calls = 0;

  Trace trace;

  HostVessel *FindVessel(OBJHANDLE h) const;
  HostVessel *FindVessel(const std::string &name) const;
  VCArea *FindArea(int id);
};

// The one world of this process.
World &world();

// Puts the world back to its state at process start (no vessels, default
// settings, empty trace). Vessels still alive are not destroyed by this.
void ResetWorld();

}  // namespace host
