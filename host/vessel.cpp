// The host's vessel base classes: every VESSEL method records its call in the
// trace and reads or changes the vessel's host record.
#include <algorithm>
#include <cmath>

#include "host/world.h"

using namespace host;

namespace {

HostVessel &H(const VESSEL *v) { return HostOf(v); }

// The world, looked up once: every method asks whether the trace is on, and
// the flight step calls dozens of them.
World &g_world = world();

void Rec(const VESSEL *v, const char *name, std::string args = std::string()) {
  if (!g_world.trace.enabled) return;
  g_world.trace.Add(H(v).name.c_str(), name, std::move(args));
}

// The host record of the vessel a method runs on, read straight from the
// object (HostOf is a call into the library's symbol table).
#define Self() (*static_cast<HostVessel *>(hObj_))

#define TRACE(name, args)                             \
  do {                                                \
    if (g_world.trace.enabled) Rec(this, name, args); \
  } while (0)

double Clamp01(double x) {
  if (!(x >= 0)) return 0;  // also NaN
  return x > 1 ? 1 : x;
}

Thruster *T(THRUSTER_HANDLE th) { return static_cast<Thruster *>(th); }

std::string ThName(const VESSEL *v, THRUSTER_HANDLE th) { return H(v).ThrusterName(th); }

std::string MeshName(MESHHANDLE m) { return m ? static_cast<Mesh *>(m)->name : std::string("null"); }

std::string Colour(const COLOUR4 &c) {
  return "(" + Num(c.r) + ", " + Num(c.g) + ", " + Num(c.b) + ", " + Num(c.a) + ")";
}

}  // namespace

// --- HostVessel helpers -----------------------------------------------------

ThrusterGroup *HostVessel::Group(THGROUP_TYPE type) const {
  // The first group of each standard type, indexed again whenever groups were added.
  if (group_index_size_ != groups.size()) {
    std::fill(std::begin(group_index_), std::end(group_index_), nullptr);
    for (auto it = groups.rbegin(); it != groups.rend(); ++it)
      if ((unsigned)(*it)->type < kIndexedGroupTypes) group_index_[(*it)->type] = it->get();
    group_index_size_ = groups.size();
  }
  if ((unsigned)type < kIndexedGroupTypes) return group_index_[type];
  for (auto &g : groups)
    if (g->type == type) return g.get();
  return nullptr;
}

double HostVessel::GroupLevel(THGROUP_TYPE type) const {
  ThrusterGroup *g = Group(type);
  if (!g || g->members.empty()) return 0;
  double sum = 0;
  for (auto *t : g->members) sum += t->level;
  return sum / g->members.size();
}

void HostVessel::SetGroupLevel(THGROUP_TYPE type, double l) {
  if (ThrusterGroup *g = Group(type))
    for (auto *t : g->members) t->level = Clamp01(l);
}

double HostVessel::FuelMass() const { return propellants.empty() ? 0 : propellants[0]->mass; }

double HostVessel::AnimationState(UINT anim) const { return anim < animations.size() ? animations[anim].state : -1; }

std::string HostVessel::ThrusterName(THRUSTER_HANDLE th) const {
  if (!th) return "null";
  for (auto &t : thrusters)
    if (t.get() == th) return "th" + std::to_string(t->index);
  return "th?";
}

// --- Construction -----------------------------------------------------------

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel) : hObj_(hVessel), fmodel_(fmodel) {
  if (HostVessel *hv = world().FindVessel(hVessel)) hv->vessel = this;
}
VESSEL::~VESSEL() {
  if (HostVessel *hv = world().FindVessel(hObj_))
    if (hv->vessel == this) hv->vessel = nullptr;
}
VESSEL2::VESSEL2(OBJHANDLE hVessel, int fmodel) : VESSEL(hVessel, fmodel) {}
VESSEL3::VESSEL3(OBJHANDLE hVessel, int fmodel) : VESSEL2(hVessel, fmodel) {}

OBJHANDLE VESSEL::GetHandle() const {
  TRACE("GetHandle", "");
  return hObj_;
}

int VESSEL::GetFlightModel() const {
  TRACE("GetFlightModel", "");
  return Self().fmodel;
}

// --- Physical parameters ------------------------------------------------------

void VESSEL::SetSize(double size) const {
  TRACE("SetSize", Num(size));
  Self().size = size;
}
void VESSEL::SetEmptyMass(double m) const {
  TRACE("SetEmptyMass", Num(m));
  Self().empty_mass = m;
}
void VESSEL::SetPMI(const VECTOR3 &pmi) const {
  TRACE("SetPMI", Vec(pmi));
  Self().pmi = pmi;
}
void VESSEL::SetCrossSections(const VECTOR3 &cs) const {
  TRACE("SetCrossSections", Vec(cs));
  Self().cross_sections = cs;
}
void VESSEL::SetRotDrag(const VECTOR3 &rd) const {
  TRACE("SetRotDrag", Vec(rd));
  Self().rot_drag = rd;
}
void VESSEL::SetCW(double zp, double zn, double x, double y) const {
  TRACE("SetCW", Args(Num(zp), Num(zn), Num(x), Num(y)));
  HostVessel &h = Self();
  h.cw[0] = zp, h.cw[1] = zn, h.cw[2] = x, h.cw[3] = y;
}
void VESSEL::SetWingAspect(double a) const {
  TRACE("SetWingAspect", Num(a));
  Self().wing_aspect = a;
}
void VESSEL::SetWingEffectiveness(double e) const {
  TRACE("SetWingEffectiveness", Num(e));
  Self().wing_effectiveness = e;
}
void VESSEL::SetPitchMomentScale(double s) const {
  TRACE("SetPitchMomentScale", Num(s));
  Self().pitch_moment_scale = s;
}
void VESSEL::SetBankMomentScale(double s) const {
  TRACE("SetBankMomentScale", Num(s));
  Self().bank_moment_scale = s;
}
void VESSEL::SetTrimScale(double s) const {
  TRACE("SetTrimScale", Num(s));
  Self().trim_scale = s;
}
void VESSEL::SetMaxWheelbrakeForce(double f) const {
  TRACE("SetMaxWheelbrakeForce", Num(f));
  Self().max_wheelbrake_force = f;
}
void VESSEL::SetTouchdownPoints(const VECTOR3 &p1, const VECTOR3 &p2, const VECTOR3 &p3) const {
  TRACE("SetTouchdownPoints", Args(Vec(p1), Vec(p2), Vec(p3)));
  HostVessel &h = Self();
  h.touchdown[0] = p1, h.touchdown[1] = p2, h.touchdown[2] = p3;
  h.touchdown_set = true;
}

// --- Propellant and thrusters -------------------------------------------------

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass, double efficiency) const {
  TRACE("CreatePropellantResource", Args(Num(maxmass), Num(mass), Num(efficiency)));
  HostVessel &h = Self();
  auto p = std::make_unique<Propellant>();
  p->index = (int)h.propellants.size();
  p->maxmass = maxmass;
  p->mass = mass < 0 ? maxmass : mass;  // a negative initial mass means a full tank
  p->efficiency = efficiency;
  h.propellants.push_back(std::move(p));
  return h.propellants.back().get();
}

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3 &pos, const VECTOR3 &dir, double maxth0, PROPELLANT_HANDLE hp,
                                       double isp0, double isp_ref, double p_ref) const {
  HostVessel &h = Self();
  auto t = std::make_unique<Thruster>();
  t->index = (int)h.thrusters.size();
  t->pos = pos, t->dir = dir, t->max0 = maxth0;
  t->prop = static_cast<Propellant *>(hp);
  t->isp0 = isp0, t->isp_ref = isp_ref, t->p_ref = p_ref;
  TRACE("CreateThruster", Args(Vec(pos), Vec(dir), Num(maxth0), hp ? "ph" + std::to_string(t->prop->index) : "null",
                               Num(isp0), Num(isp_ref), Num(p_ref)));
  h.thrusters.push_back(std::move(t));
  return h.thrusters.back().get();
}

THGROUP_HANDLE VESSEL::CreateThrusterGroup(THRUSTER_HANDLE *th, int nth, THGROUP_TYPE type) const {
  HostVessel &h = Self();
  auto g = std::make_unique<ThrusterGroup>();
  g->index = (int)h.groups.size();
  g->type = type;
  std::string members = "{";
  for (int i = 0; i < nth; ++i) {
    g->members.push_back(T(th[i]));
    members += (i ? ", " : "") + ThName(this, th[i]);
  }
  members += "}";
  TRACE("CreateThrusterGroup", Args(members, std::to_string(nth), std::to_string((int)type)));
  h.groups.push_back(std::move(g));
  return h.groups.back().get();
}

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, const VECTOR3 &pos, const VECTOR3 &dir,
                        SURFHANDLE tex) const {
  TRACE("AddExhaust", Args(ThName(this, th), Num(lscale), Num(wscale), Vec(pos), Vec(dir),
                           tex ? static_cast<Mesh *>(tex)->name : std::string("null")));
  HostVessel &h = Self();
  h.exhausts.push_back(Exhaust{T(th), lscale, wscale, pos, dir, tex});
  return (UINT)h.exhausts.size() - 1;
}

PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3 &pos, PARTICLESTREAMSPEC *pss) const {
  TRACE("AddExhaustStream", Args(ThName(this, th), Vec(pos), pss ? "spec" : "null"));
  HostVessel &h = Self();
  ExhaustStream s;
  s.th = T(th), s.pos = pos;
  if (pss) s.spec = *pss, s.has_spec = true;  // the host keeps its own copy of the stream record
  h.streams.push_back(s);
  return &h.streams.back();
}

double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
  TRACE("GetThrusterLevel", ThName(this, th));
  return th ? T(th)->level : 0;
}
void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) const {
  TRACE("SetThrusterLevel", Args(ThName(this, th), Num(level)));
  if (th) T(th)->level = Clamp01(level);
}
void VESSEL::SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3 &dir) const {
  TRACE("SetThrusterDir", Args(ThName(this, th), Vec(dir)));
  if (th) T(th)->dir = dir;
}
void VESSEL::SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) const {
  TRACE("SetThrusterMax0", Args(ThName(this, th), Num(maxth0)));
  if (th) T(th)->max0 = maxth0;
}
double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE grp) const {
  TRACE("GetThrusterGroupLevel", std::to_string((int)grp));
  return Self().GroupLevel(grp);
}
void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE grp, double level) const {
  TRACE("SetThrusterGroupLevel", Args(std::to_string((int)grp), Num(level)));
  Self().SetGroupLevel(grp, level);
}
double VESSEL::GetFuelMass() const {
  TRACE("GetFuelMass", "");
  return Self().FuelMass();
}
void VESSEL::SetFuelMass(double m) const {
  TRACE("SetFuelMass", Num(m));
  HostVessel &h = Self();
  if (!h.propellants.empty()) {
    Propellant &p = *h.propellants[0];
    p.mass = std::max(0.0, std::min(m, p.maxmass));
  }
}

// --- Aerodynamics -------------------------------------------------------------

AIRFOILHANDLE VESSEL::CreateAirfoil(AIRFOIL_ORIENTATION align, const VECTOR3 &ref, AirfoilCoeffFunc cf, double c,
                                    double S, double A) const {
  TRACE("CreateAirfoil", Args(std::to_string((int)align), Vec(ref), cf ? "cf" : "null", Num(c), Num(S), Num(A)));
  HostVessel &h = Self();
  h.airfoils.push_back(Airfoil{align, ref, cf, c, S, A});
  return &h.airfoils.back();
}

CTRLSURFHANDLE VESSEL::CreateControlSurface(AIRCTRL_TYPE type, double area, double dCl, const VECTOR3 &ref, int axis,
                                            UINT anim) const {
  TRACE("CreateControlSurface",
        Args(std::to_string((int)type), Num(area), Num(dCl), Vec(ref), std::to_string(axis), std::to_string(anim)));
  HostVessel &h = Self();
  h.ctrl_surfaces.push_back(ControlSurface{type, area, dCl, ref, axis, anim});
  return &h.ctrl_surfaces.back();
}

void VESSEL::CreateVariableDragElement(const double *drag, double factor, const VECTOR3 &ref) const {
  TRACE("CreateVariableDragElement", Args(drag ? "&var" : "null", Num(factor), Vec(ref)));
  Self().drag_elements.push_back(DragElement{drag, factor, ref});
}

double VESSEL::GetControlSurfaceLevel(AIRCTRL_TYPE type) const {
  TRACE("GetControlSurfaceLevel", std::to_string((int)type));
  return (unsigned)type < 6 ? Self().ctrl_level[type] : 0;
}
void VESSEL::SetControlSurfaceLevel(AIRCTRL_TYPE type, double level) const {
  TRACE("SetControlSurfaceLevel", Args(std::to_string((int)type), Num(level)));
  if ((unsigned)type < 6) Self().ctrl_level[type] = std::isnan(level) ? 0 : std::max(-1.0, std::min(1.0, level));
}

// --- Lights -------------------------------------------------------------------

bool VESSEL::AddBeacon(BEACONLIGHTSPEC *bs) {
  TRACE("AddBeacon", bs ? "shape " + std::to_string(bs->shape) + ", pos " + (bs->pos ? Vec(*bs->pos) : "null") +
                              ", col " + (bs->col ? Vec(*bs->col) : "null") + ", size " + Num(bs->size) + ", falloff " +
                              Num(bs->falloff) + ", period " + Num(bs->period) + ", duration " + Num(bs->duration) +
                              ", tofs " + Num(bs->tofs) + ", active " + Bool(bs->active)
                        : std::string("null"));
  if (bs) Self().beacons.push_back(bs);
  return bs != nullptr;
}

LightEmitter *VESSEL::AddSpotLight(const VECTOR3 &pos, const VECTOR3 &dir, double range, double att0, double att1,
                                   double att2, double umbra, double penumbra, const COLOUR4 &diffuse,
                                   const COLOUR4 &specular, const COLOUR4 &ambient) const {
  TRACE("AddSpotLight", Args(Vec(pos), Vec(dir), Num(range), Num(att0), Num(att1), Num(att2), Num(umbra), Num(penumbra),
                             Colour(diffuse), Colour(specular), Colour(ambient)));
  HostVessel &h = Self();
  auto l = std::make_unique<SpotLight>();
  l->owner = &h;
  l->pos = pos, l->dir = dir, l->range = range, l->att0 = att0, l->att1 = att1, l->att2 = att2;
  l->umbra = umbra, l->penumbra = penumbra, l->diffuse = diffuse, l->specular = specular, l->ambient = ambient;
  h.lights.push_back(std::move(l));
  return h.lights.back().get();
}

void LightEmitter::Activate(bool act) {
  World &w = world();
  if (w.trace.enabled) {
    auto *spot = dynamic_cast<SpotLight *>(this);
    w.trace.Add(spot && spot->owner ? spot->owner->name.c_str() : "", "LightEmitter::Activate", Bool(act));
  }
  active = act;
}

// --- Meshes and animations ----------------------------------------------------

UINT VESSEL::AddMesh(MESHHANDLE hMesh, const VECTOR3 *ofs) const {
  TRACE("AddMesh", Args(MeshName(hMesh), ofs ? Vec(*ofs) : "null"));
  HostVessel &h = Self();
  MeshSlot s;
  s.mesh = hMesh, s.present = true, s.has_ofs = ofs != nullptr;
  if (ofs) s.ofs = *ofs;
  // The first empty slot is used (slots left empty by InsertMesh at a higher
  // index, or by DelMesh); otherwise the mesh is appended.
  for (size_t i = 0; i < h.meshes.size(); ++i)
    if (!h.meshes[i].present) {
      h.meshes[i] = s;
      return (UINT)i;
    }
  h.meshes.push_back(s);
  return (UINT)h.meshes.size() - 1;
}

UINT VESSEL::InsertMesh(MESHHANDLE hMesh, UINT idx, const VECTOR3 *ofs) const {
  TRACE("InsertMesh", Args(MeshName(hMesh), std::to_string(idx), ofs ? Vec(*ofs) : "null"));
  HostVessel &h = Self();
  if (idx > 1000) idx = (UINT)h.meshes.size();  // an absurd index appends
  if (idx >= h.meshes.size()) h.meshes.resize(idx + 1);
  MeshSlot &s = h.meshes[idx];  // an occupied index is replaced
  s.mesh = hMesh, s.present = true, s.has_ofs = ofs != nullptr, s.vis = MESHVIS_EXTERNAL;
  s.ofs = ofs ? *ofs : VECTOR3{};
  return idx;
}

bool VESSEL::DelMesh(UINT idx, bool retain_anim) const {
  TRACE("DelMesh", Args(std::to_string(idx), Bool(retain_anim)));
  HostVessel &h = Self();
  if (idx >= h.meshes.size() || !h.meshes[idx].present) return false;
  h.meshes[idx] = MeshSlot{};
  return true;
}

void VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) const {
  TRACE("SetMeshVisibilityMode", Args(std::to_string(idx), std::to_string(mode)));
  HostVessel &h = Self();
  if (idx < h.meshes.size()) h.meshes[idx].vis = mode;
}

UINT VESSEL::CreateAnimation(double initial_state) const {
  TRACE("CreateAnimation", Num(initial_state));
  HostVessel &h = Self();
  Animation a;
  a.initial = a.state = initial_state;
  h.animations.push_back(a);
  return (UINT)h.animations.size() - 1;
}

ANIMATIONCOMPONENT_HANDLE VESSEL::AddAnimationComponent(UINT anim, double state0, double state1,
                                                        MGROUP_TRANSFORM *trans,
                                                        ANIMATIONCOMPONENT_HANDLE parent) const {
  HostVessel &h = Self();
  auto *par = static_cast<AnimComponent *>(parent);
  TRACE("AddAnimationComponent", Args(std::to_string(anim), Num(state0), Num(state1),
                                      trans ? "comp" + std::to_string(h.components.size() + 1) : "null",
                                      par ? "comp" + std::to_string(par->index) : "null"));
  auto c = std::make_unique<AnimComponent>();
  c->index = (int)h.components.size() + 1;  // components count from 1, in the order added
  c->anim = anim, c->state0 = state0, c->state1 = state1, c->trans = trans, c->parent = par;
  if (par) par->children.push_back(c.get());
  if (anim < h.animations.size()) h.animations[anim].components.push_back(c.get());
  h.components.push_back(std::move(c));
  return h.components.back().get();
}

bool VESSEL::SetAnimation(UINT anim, double state) const {
  TRACE("SetAnimation", Args(std::to_string(anim), Num(state)));
  HostVessel &h = Self();
  if (anim >= h.animations.size()) return false;
  h.animations[anim].state = state;
  return true;
}

// --- Flight state queries -----------------------------------------------------

double VESSEL::GetAltitude() const {
  TRACE("GetAltitude", "");
  return Self().altitude;
}
double VESSEL::GetAirspeed() const {
  TRACE("GetAirspeed", "");
  return Self().airspeed;
}
double VESSEL::GetAOA() const {
  TRACE("GetAOA", "");
  return Self().aoa;
}
double VESSEL::GetPitch() const {
  TRACE("GetPitch", "");
  return Self().pitch;
}
bool VESSEL::GetHorizonAirspeedVector(VECTOR3 &v) const {
  TRACE("GetHorizonAirspeedVector", "");
  const HostVessel &h = Self();
  if (h.horizon_query_fails) return false;
  v = h.horizon_airspeed;
  return true;
}
bool VESSEL::GetShipAirspeedVector(VECTOR3 &v) const {
  TRACE("GetShipAirspeedVector", "");
  const HostVessel &h = Self();
  if (h.ship_query_fails) return false;
  v = h.ship_airspeed;
  return true;
}
bool VESSEL::GroundContact() const {
  TRACE("GroundContact", "");
  return Self().ground_contact;
}

// --- Forces, modes, brakes, camera ------------------------------------------

void VESSEL::AddForce(const VECTOR3 &F, const VECTOR3 &r) const {
  TRACE("AddForce", Args(Vec(F), Vec(r)));
  Self().forces.push_back(Force{F, r});
}

bool VESSEL::GetNavmodeState(int mode) const {
  TRACE("GetNavmodeState", std::to_string(mode));
  return mode >= 1 && mode <= 7 && Self().navmode[mode];
}

bool VESSEL::ActivateNavmode(int mode) {
  TRACE("ActivateNavmode", std::to_string(mode));
  if (mode < 1 || mode > 7) return false;
  HostVessel &h = Self();
  bool was = h.navmode[mode];
  h.navmode[mode] = true;
  return !was;
}

bool VESSEL::DeactivateNavmode(int mode) {
  TRACE("DeactivateNavmode", std::to_string(mode));
  if (mode < 1 || mode > 7) return false;
  HostVessel &h = Self();
  bool was = h.navmode[mode];
  h.navmode[mode] = false;
  return was;
}

void VESSEL::SetAttitudeMode(int mode) const {
  TRACE("SetAttitudeMode", std::to_string(mode));
  Self().attitude_mode = mode;
}

void VESSEL::SetWheelbrakeLevel(double level, int which, bool permanent) const {
  TRACE("SetWheelbrakeLevel", Args(Num(level), std::to_string(which), Bool(permanent)));
  HostVessel &h = Self();
  double l = Clamp01(level);
  if (which == 0 || which == 1) h.wheelbrake[0] = l;
  if (which == 0 || which == 2) h.wheelbrake[1] = l;
}

void VESSEL::SetCameraOffset(const VECTOR3 &co) const {
  TRACE("SetCameraOffset", Vec(co));
  Self().camera_offset = co;
}

void VESSEL::SetCameraRotationRange(double left, double right, double up, double down) const {
  TRACE("SetCameraRotationRange", Args(Num(left), Num(right), Num(up), Num(down)));
  HostVessel &h = Self();
  h.camera_range[0] = left, h.camera_range[1] = right, h.camera_range[2] = up, h.camera_range[3] = down;
}

// --- Default callbacks --------------------------------------------------------

void VESSEL2::clbkSetClassCaps(FILEHANDLE) {}
void VESSEL2::clbkPostCreation() {}
void VESSEL2::clbkPreStep(double, double, double) {}
void VESSEL2::clbkPostStep(double, double, double) {}
int VESSEL2::clbkConsumeDirectKey(char *) { return 0; }
int VESSEL2::clbkConsumeBufferedKey(DWORD, bool, char *) { return 0; }
bool VESSEL2::clbkLoadVC(int) { return false; }
bool VESSEL2::clbkVCMouseEvent(int, int, VECTOR3 &) { return false; }
bool VESSEL2::clbkVCRedrawEvent(int, int, SURFHANDLE) { return false; }

// The default HUD elements of the host: recorded as a call and marked on the
// drawing surface so that tests see whether the default HUD was drawn.
bool VESSEL3::clbkDrawHUD(int mode, const HUDPAINTSPEC *, oapi::Sketchpad *) {
  TRACE("VESSEL3::clbkDrawHUD", std::to_string(mode));
  return true;
}
