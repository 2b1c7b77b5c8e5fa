// Host simulator interface, written from the host's published contract: the
// vessel base classes, the records the vessel hands over, the global oapi
// functions and the constants the module uses. The stand-in host library
// (host/) implements every function declared here.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#if defined(TARVEX_HOST_BUILD)
#define OAPIFUNC __declspec(dllexport)
#else
#define OAPIFUNC __declspec(dllimport)
#endif
#else
#define OAPIFUNC __attribute__((visibility("default")))
#endif

// ---------------------------------------------------------------------------
// Basic types and handles
// ---------------------------------------------------------------------------
#if defined(_WIN32)
// The same types as the system headers declare, so this header and
// <windows.h> can be included together in either order.
typedef unsigned long DWORD;
typedef unsigned short WORD;
struct HINSTANCE__;
typedef HINSTANCE__ *HINSTANCE;
#else
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef void *HINSTANCE;
#endif
typedef unsigned int UINT;

typedef void *OBJHANDLE;
typedef void *MESHHANDLE;
typedef void *THRUSTER_HANDLE;
typedef void *THGROUP_HANDLE;
typedef void *PROPELLANT_HANDLE;
typedef void *SURFHANDLE;
typedef void *FILEHANDLE;
typedef void *AIRFOILHANDLE;
typedef void *CTRLSURFHANDLE;
typedef void *ANIMATIONCOMPONENT_HANDLE;
typedef void *PSTREAM_HANDLE;

const double PI = 3.14159265358979323846;

struct VECTOR3 {
  union {
    double data[3];
    struct {
      double x, y, z;
    };
  };
};

inline VECTOR3 _V(double x, double y, double z) {
  VECTOR3 v;
  v.x = x;
  v.y = y;
  v.z = z;
  return v;
}

struct COLOUR4 {
  float r, g, b, a;
};

// ---------------------------------------------------------------------------
// Animation transforms
// ---------------------------------------------------------------------------
class OAPIFUNC MGROUP_TRANSFORM {
 public:
  enum TYPE { NULLTRANSFORM, ROTATE, TRANSLATE, SCALE };
  MGROUP_TRANSFORM() : mesh(0), grp(nullptr), ngrp(0) {}
  MGROUP_TRANSFORM(UINT _mesh, UINT *_grp, UINT _ngrp) : mesh(_mesh), grp(_grp), ngrp(_ngrp) {}
  virtual ~MGROUP_TRANSFORM() {}
  virtual TYPE Type() const { return NULLTRANSFORM; }
  UINT mesh;
  UINT *grp;
  UINT ngrp;
};

class OAPIFUNC MGROUP_ROTATE : public MGROUP_TRANSFORM {
 public:
  MGROUP_ROTATE(UINT _mesh, UINT *_grp, UINT _ngrp, const VECTOR3 &_ref, const VECTOR3 &_axis, float _angle)
      : MGROUP_TRANSFORM(_mesh, _grp, _ngrp), ref(_ref), axis(_axis), angle(_angle) {}
  TYPE Type() const override { return ROTATE; }
  VECTOR3 ref;
  VECTOR3 axis;
  float angle;
};

class OAPIFUNC MGROUP_TRANSLATE : public MGROUP_TRANSFORM {
 public:
  MGROUP_TRANSLATE(UINT _mesh, UINT *_grp, UINT _ngrp, const VECTOR3 &_shift)
      : MGROUP_TRANSFORM(_mesh, _grp, _ngrp), shift(_shift) {}
  TYPE Type() const override { return TRANSLATE; }
  VECTOR3 shift;
};

// ---------------------------------------------------------------------------
// Records handed to the host
// ---------------------------------------------------------------------------
const DWORD BEACONSHAPE_COMPACT = 0;
const DWORD BEACONSHAPE_DIFFUSE = 1;
const DWORD BEACONSHAPE_STAR = 2;

// The host keeps the address of this record and reads it every frame.
struct BEACONLIGHTSPEC {
  DWORD shape;
  VECTOR3 *pos;
  VECTOR3 *col;
  double size;
  double falloff;
  double period;
  double duration;
  double tofs;
  bool active;
};

struct PARTICLESTREAMSPEC {
  DWORD flags;
  double srcsize;
  double srcrate;
  double v0;
  double srcspread;
  double lifetime;
  double growthrate;
  double atmslowdown;
  enum LTYPE { EMISSIVE, DIFFUSE } ltype;
  enum LEVELMAP { LVL_FLAT, LVL_LIN, LVL_SQRT, LVL_PLIN, LVL_PSQRT } levelmap;
  double lmin, lmax;
  enum ATMSMAP { ATM_FLAT, ATM_PLIN, ATM_PLOG } atmsmap;
  double amin, amax;
  SURFHANDLE tex;
};

struct VCHUDSPEC {
  DWORD nmesh;
  DWORD ngroup;
  VECTOR3 hudcnt;
  double size;
};

struct VCMFDSPEC {
  DWORD nmesh;
  DWORD ngroup;
};

struct HUDPAINTSPEC {
  int W, H;
  int CX, CY;
  double Scale;
  int Markersize;
};

// ---------------------------------------------------------------------------
// Drawing surface and lights
// ---------------------------------------------------------------------------
namespace oapi {
// Drawing surface handed to the HUD callback. Font, pen and colour are
// whatever the host selected before handing it over.
class OAPIFUNC Sketchpad {
 public:
  virtual ~Sketchpad() {}
  virtual bool Text(int x, int y, const char *str, int len) {
    (void)x, (void)y, (void)str, (void)len;
    return false;
  }
  virtual void Line(int x0, int y0, int x1, int y1) { (void)x0, (void)y0, (void)x1, (void)y1; }
  virtual void Rectangle(int x0, int y0, int x1, int y1) { (void)x0, (void)y0, (void)x1, (void)y1; }
  virtual void Ellipse(int x0, int y0, int x1, int y1) { (void)x0, (void)y0, (void)x1, (void)y1; }
};
}  // namespace oapi

class OAPIFUNC LightEmitter {
 public:
  LightEmitter() : active(false) {}
  virtual ~LightEmitter() {}
  void Activate(bool act);
  bool IsActive() const { return active; }

 protected:
  bool active;
};

// ---------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------
enum THGROUP_TYPE {
  THGROUP_MAIN = 0,
  THGROUP_RETRO = 1,
  THGROUP_HOVER = 2,
  THGROUP_ATT_PITCHUP = 3,
  THGROUP_ATT_PITCHDOWN = 4,
  THGROUP_ATT_YAWLEFT = 5,
  THGROUP_ATT_YAWRIGHT = 6,
  THGROUP_ATT_BANKLEFT = 7,
  THGROUP_ATT_BANKRIGHT = 8,
  THGROUP_ATT_RIGHT = 9,
  THGROUP_ATT_LEFT = 10,
  THGROUP_ATT_UP = 11,
  THGROUP_ATT_DOWN = 12,
  THGROUP_ATT_FORWARD = 13,
  THGROUP_ATT_BACK = 14,
  THGROUP_USER = 0x40
};

enum AIRFOIL_ORIENTATION { LIFT_VERTICAL = 0, LIFT_HORIZONTAL = 1 };

enum AIRCTRL_TYPE {
  AIRCTRL_ELEVATOR = 0,
  AIRCTRL_RUDDER = 1,
  AIRCTRL_AILERON = 2,
  AIRCTRL_FLAP = 3,
  AIRCTRL_ELEVATORTRIM = 4,
  AIRCTRL_RUDDERTRIM = 5
};

const int AIRCTRL_AXIS_AUTO = 0;
const int AIRCTRL_AXIS_YPOS = 1;
const int AIRCTRL_AXIS_YNEG = 2;
const int AIRCTRL_AXIS_XPOS = 3;
const int AIRCTRL_AXIS_XNEG = 4;

const int NAVMODE_KILLROT = 1;
const int NAVMODE_HLEVEL = 2;
const int NAVMODE_PROGRADE = 3;
const int NAVMODE_RETROGRADE = 4;
const int NAVMODE_NORMAL = 5;
const int NAVMODE_ANTINORMAL = 6;
const int NAVMODE_HOLDALT = 7;

const WORD MESHVIS_NEVER = 0x00;
const WORD MESHVIS_EXTERNAL = 0x01;
const WORD MESHVIS_COCKPIT = 0x02;
const WORD MESHVIS_ALWAYS = 0x03;
const WORD MESHVIS_VC = 0x04;

const int MFD_LEFT = 0;
const int MFD_RIGHT = 1;

const int PANEL_REDRAW_NEVER = 0x00;
const int PANEL_MOUSE_LBDOWN = 0x01;
const int PANEL_MOUSE_RBDOWN = 0x02;
const int PANEL_MOUSE_LBUP = 0x04;
const int PANEL_MOUSE_RBUP = 0x08;
const int PANEL_MOUSE_LBPRESSED = 0x10;
const int PANEL_MOUSE_RBPRESSED = 0x20;
const int PANEL_MOUSE_ONREPLAY = 0x40;

const int COCKPIT_GENERIC = 1;
const int COCKPIT_PANELS = 2;
const int COCKPIT_VIRTUAL = 3;

const int HUD_NONE = 0;
const int HUD_ORBIT = 1;
const int HUD_SURFACE = 2;
const int HUD_DOCKING = 3;

// Keyboard scan codes.
const DWORD OAPI_KEY_ESCAPE = 0x01;
const DWORD OAPI_KEY_1 = 0x02;
const DWORD OAPI_KEY_2 = 0x03;
const DWORD OAPI_KEY_3 = 0x04;
const DWORD OAPI_KEY_4 = 0x05;
const DWORD OAPI_KEY_5 = 0x06;
const DWORD OAPI_KEY_6 = 0x07;
const DWORD OAPI_KEY_7 = 0x08;
const DWORD OAPI_KEY_8 = 0x09;
const DWORD OAPI_KEY_9 = 0x0A;
const DWORD OAPI_KEY_0 = 0x0B;
const DWORD OAPI_KEY_MINUS = 0x0C;
const DWORD OAPI_KEY_EQUALS = 0x0D;
const DWORD OAPI_KEY_BACK = 0x0E;
const DWORD OAPI_KEY_TAB = 0x0F;
const DWORD OAPI_KEY_Q = 0x10;
const DWORD OAPI_KEY_W = 0x11;
const DWORD OAPI_KEY_E = 0x12;
const DWORD OAPI_KEY_R = 0x13;
const DWORD OAPI_KEY_T = 0x14;
const DWORD OAPI_KEY_Y = 0x15;
const DWORD OAPI_KEY_U = 0x16;
const DWORD OAPI_KEY_I = 0x17;
const DWORD OAPI_KEY_O = 0x18;
const DWORD OAPI_KEY_P = 0x19;
const DWORD OAPI_KEY_LBRACKET = 0x1A;
const DWORD OAPI_KEY_RBRACKET = 0x1B;
const DWORD OAPI_KEY_RETURN = 0x1C;
const DWORD OAPI_KEY_LCONTROL = 0x1D;
const DWORD OAPI_KEY_A = 0x1E;
const DWORD OAPI_KEY_S = 0x1F;
const DWORD OAPI_KEY_D = 0x20;
const DWORD OAPI_KEY_F = 0x21;
const DWORD OAPI_KEY_G = 0x22;
const DWORD OAPI_KEY_H = 0x23;
const DWORD OAPI_KEY_J = 0x24;
const DWORD OAPI_KEY_K = 0x25;
const DWORD OAPI_KEY_L = 0x26;
const DWORD OAPI_KEY_SEMICOLON = 0x27;
const DWORD OAPI_KEY_APOSTROPHE = 0x28;
const DWORD OAPI_KEY_GRAVE = 0x29;
const DWORD OAPI_KEY_LSHIFT = 0x2A;
const DWORD OAPI_KEY_BACKSLASH = 0x2B;
const DWORD OAPI_KEY_Z = 0x2C;
const DWORD OAPI_KEY_X = 0x2D;
const DWORD OAPI_KEY_C = 0x2E;
const DWORD OAPI_KEY_V = 0x2F;
const DWORD OAPI_KEY_B = 0x30;
const DWORD OAPI_KEY_N = 0x31;
const DWORD OAPI_KEY_M = 0x32;
const DWORD OAPI_KEY_COMMA = 0x33;
const DWORD OAPI_KEY_PERIOD = 0x34;
const DWORD OAPI_KEY_SLASH = 0x35;
const DWORD OAPI_KEY_RSHIFT = 0x36;
const DWORD OAPI_KEY_MULTIPLY = 0x37;
const DWORD OAPI_KEY_LALT = 0x38;
const DWORD OAPI_KEY_SPACE = 0x39;
const DWORD OAPI_KEY_CAPITAL = 0x3A;
const DWORD OAPI_KEY_F1 = 0x3B;
const DWORD OAPI_KEY_F2 = 0x3C;
const DWORD OAPI_KEY_F3 = 0x3D;
const DWORD OAPI_KEY_F4 = 0x3E;
const DWORD OAPI_KEY_F5 = 0x3F;
const DWORD OAPI_KEY_F6 = 0x40;
const DWORD OAPI_KEY_F7 = 0x41;
const DWORD OAPI_KEY_F8 = 0x42;
const DWORD OAPI_KEY_F9 = 0x43;
const DWORD OAPI_KEY_F10 = 0x44;
const DWORD OAPI_KEY_RCONTROL = 0x9D;
const DWORD OAPI_KEY_RALT = 0xB8;

// Modifier tests on the keyboard state handed to key callbacks.
#define KEYDOWN(buf, key) (buf[key] & 0x80)
#define KEYMOD_LSHIFT(buf) (KEYDOWN(buf, OAPI_KEY_LSHIFT))
#define KEYMOD_LCONTROL(buf) (KEYDOWN(buf, OAPI_KEY_LCONTROL))
#define KEYMOD_LALT(buf) (KEYDOWN(buf, OAPI_KEY_LALT))

// Airfoil coefficient callback: angle of attack (rad), Mach number, Reynolds
// number in; lift, moment and drag coefficients out.
typedef void (*AirfoilCoeffFunc)(double aoa, double M, double Re, double *cl, double *cm, double *cd);

// ---------------------------------------------------------------------------
// Vessel base classes
// ---------------------------------------------------------------------------
class VESSEL;
namespace host {
struct HostVessel;
// The host's record behind a vessel object (host side only).
HostVessel &HostOf(const VESSEL *v);
}  // namespace host

class OAPIFUNC VESSEL {
 public:
  VESSEL(OBJHANDLE hVessel, int fmodel = 1);
  virtual ~VESSEL();

  OBJHANDLE GetHandle() const;
  int GetFlightModel() const;

  // Physical parameters
  void SetSize(double size) const;
  void SetEmptyMass(double m) const;
  void SetPMI(const VECTOR3 &pmi) const;
  void SetCrossSections(const VECTOR3 &cs) const;
  void SetRotDrag(const VECTOR3 &rd) const;
  void SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) const;
  void SetWingAspect(double aspect) const;
  void SetWingEffectiveness(double eff) const;
  void SetPitchMomentScale(double scale) const;
  void SetBankMomentScale(double scale) const;
  void SetTrimScale(double scale) const;
  void SetMaxWheelbrakeForce(double f) const;
  void SetTouchdownPoints(const VECTOR3 &pt1, const VECTOR3 &pt2, const VECTOR3 &pt3) const;

  // Propellant and thrusters
  PROPELLANT_HANDLE CreatePropellantResource(double maxmass, double mass = -1.0, double efficiency = 1.0) const;
  THRUSTER_HANDLE CreateThruster(const VECTOR3 &pos, const VECTOR3 &dir, double maxth0, PROPELLANT_HANDLE hp = nullptr,
                                 double isp0 = 0.0, double isp_ref = 0.0, double p_ref = 101.4e3) const;
  THGROUP_HANDLE CreateThrusterGroup(THRUSTER_HANDLE *th, int nth, THGROUP_TYPE type) const;
  UINT AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3 &pos, const VECTOR3 &dir,
                  SURFHANDLE tex = nullptr) const;
  PSTREAM_HANDLE AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3 &pos, PARTICLESTREAMSPEC *pss = nullptr) const;
  double GetThrusterLevel(THRUSTER_HANDLE th) const;
  void SetThrusterLevel(THRUSTER_HANDLE th, double level) const;
  void SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3 &dir) const;
  void SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const;
  double GetThrusterGroupLevel(THGROUP_TYPE grp) const;
  void SetThrusterGroupLevel(THGROUP_TYPE grp, double level) const;
  double GetFuelMass() const;
  void SetFuelMass(double m) const;

  // Aerodynamics
  AIRFOILHANDLE CreateAirfoil(AIRFOIL_ORIENTATION align, const VECTOR3 &ref, AirfoilCoeffFunc cf, double c, double S,
                              double A) const;
  CTRLSURFHANDLE CreateControlSurface(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3 &ref,
                                      int axis = AIRCTRL_AXIS_AUTO, UINT anim = (UINT)-1) const;
  void CreateVariableDragElement(const double *drag, double factor, const VECTOR3 &ref) const;
  double GetControlSurfaceLevel(AIRCTRL_TYPE type) const;
  void SetControlSurfaceLevel(AIRCTRL_TYPE type, double level) const;

  // Lights
  bool AddBeacon(BEACONLIGHTSPEC *bs);
  LightEmitter *AddSpotLight(const VECTOR3 &pos, const VECTOR3 &dir, double range, double att0, double att1,
                             double att2, double umbra, double penumbra, const COLOUR4 &diffuse,
                             const COLOUR4 &specular, const COLOUR4 &ambient) const;

  // Meshes and animations
  UINT AddMesh(MESHHANDLE hMesh, const VECTOR3 *ofs = nullptr) const;
  UINT InsertMesh(MESHHANDLE hMesh, UINT idx, const VECTOR3 *ofs = nullptr) const;
  bool DelMesh(UINT idx, bool retain_anim = false) const;
  void SetMeshVisibilityMode(UINT idx, WORD mode) const;
  UINT CreateAnimation(double initial_state) const;
  ANIMATIONCOMPONENT_HANDLE AddAnimationComponent(UINT anim, double state0, double state1, MGROUP_TRANSFORM *trans,
                                                  ANIMATIONCOMPONENT_HANDLE parent = nullptr) const;
  bool SetAnimation(UINT anim, double state) const;

  // Flight state queries
  double GetAltitude() const;
  double GetAirspeed() const;
  double GetAOA() const;
  double GetPitch() const;
  bool GetHorizonAirspeedVector(VECTOR3 &v) const;
  bool GetShipAirspeedVector(VECTOR3 &v) const;
  bool GroundContact() const;

  // Forces, modes, brakes, camera
  void AddForce(const VECTOR3 &F, const VECTOR3 &r) const;
  bool GetNavmodeState(int mode) const;
  bool ActivateNavmode(int mode);
  bool DeactivateNavmode(int mode);
  void SetAttitudeMode(int mode) const;
  void SetWheelbrakeLevel(double level, int which = 0, bool permanent = true) const;
  void SetCameraOffset(const VECTOR3 &co) const;
  void SetCameraRotationRange(double left, double right, double up, double down) const;

  // Scenario lines understood by the host itself
  void ParseScenarioLineEx(char *line, void *status) const;

 protected:
  OBJHANDLE hObj_;
  int fmodel_;
  friend host::HostVessel &host::HostOf(const VESSEL *v);
};

class OAPIFUNC VESSEL2 : public VESSEL {
 public:
  VESSEL2(OBJHANDLE hVessel, int fmodel = 1);
  virtual void clbkSetClassCaps(FILEHANDLE cfg);
  virtual void clbkSaveState(FILEHANDLE scn);
  virtual void clbkLoadStateEx(FILEHANDLE scn, void *status);
  virtual void clbkPostCreation();
  virtual void clbkPreStep(double simt, double simdt, double mjd);
  virtual void clbkPostStep(double simt, double simdt, double mjd);
  virtual int clbkConsumeDirectKey(char *kstate);
  virtual int clbkConsumeBufferedKey(DWORD key, bool down, char *kstate);
  virtual bool clbkLoadVC(int id);
  virtual bool clbkVCMouseEvent(int id, int event, VECTOR3 &p);
  virtual bool clbkVCRedrawEvent(int id, int event, SURFHANDLE surf);
};

class OAPIFUNC VESSEL3 : public VESSEL2 {
 public:
  VESSEL3(OBJHANDLE hVessel, int fmodel = 1);
  virtual bool clbkDrawHUD(int mode, const HUDPAINTSPEC *hps, oapi::Sketchpad *skp);
};

// ---------------------------------------------------------------------------
// Global host functions
// ---------------------------------------------------------------------------
extern "C" {
OAPIFUNC void InitLib(HINSTANCE hModule);
OAPIFUNC int Date2Int(const char *date);
}

OAPIFUNC MESHHANDLE oapiLoadMeshGlobal(const char *fname);
OAPIFUNC SURFHANDLE oapiRegisterExhaustTexture(const char *name);
OAPIFUNC double oapiGetTimeAcceleration();
OAPIFUNC void oapiSetTimeAcceleration(double warp);
OAPIFUNC bool oapiCameraInternal();
OAPIFUNC int oapiCockpitMode();
OAPIFUNC int oapiGetHUDMode();
OAPIFUNC double oapiGetInducedDrag(double cl, double A, double e);

OAPIFUNC void oapiVCRegisterMFD(int mfd, const VCMFDSPEC *spec);
OAPIFUNC void oapiVCRegisterHUD(const VCHUDSPEC *spec);
OAPIFUNC void oapiVCRegisterArea(int id, int draw_event, int mouse_event);
OAPIFUNC void oapiVCSetAreaClickmode_Spherical(int id, const VECTOR3 &cnt, double rad);
OAPIFUNC bool oapiProcessMFDButton(int mfd, int bt, int event);
OAPIFUNC int oapiSendMFDKey(int mfd, DWORD key);

OAPIFUNC bool oapiReadScenario_nextline(FILEHANDLE scn, char *&line);
OAPIFUNC void oapiWriteScenario_int(FILEHANDLE scn, const char *item, int i);
OAPIFUNC void oapiWriteScenario_float(FILEHANDLE scn, const char *item, double d);
OAPIFUNC void oapiWriteScenario_string(FILEHANDLE scn, const char *item, const char *string);
