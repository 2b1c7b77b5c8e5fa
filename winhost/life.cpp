// One scripted vessel life, written as the host's call trace: load the
// module (and the sound service first), create a vessel, load it from
// scenario lines, fly a few hundred steps with keys and changing flight
// state, call the airfoils, load the virtual cockpit and click its areas,
// draw the HUD, save, destroy, unload. Doubles the host reads back from the
// module (airfoil coefficients, drag elements) are written as bit patterns;
// every other real in the trace is in the shortest text that reads back as
// the same double, so equal text means equal bits.
//
// Built twice from this source: natively, with the Linux libTarvex.so, and
// as a Microsoft-ABI orbiter.exe that loads Tarvex.dll under Wine. The two
// traces must be byte for byte the same.
//   life MODULE SOUND_SERVICE > trace.txt
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/harness.h"
#include "host/module_call.h"
#include "sound_service/service_control.h"

namespace {

std::string Bits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  char text[24];
  std::snprintf(text, sizeof text, "0x%08lx%08lx", (unsigned long)(bits >> 32), (unsigned long)(bits & 0xffffffffu));
  return text;
}

size_t g_written = 0;
int g_sound_written = 0;
TarvexSound_CallCountFn g_sound_call_count = nullptr;
TarvexSound_CallFn g_sound_call = nullptr;

// The host calls and the sound-service calls made since the last call, one
// line each.
void Flush(const char *what) {
  const auto &entries = host::world().trace.Entries();
  std::printf("== %s\n", what);
  for (; g_written < entries.size(); ++g_written) {
    const host::TraceEntry &e = entries[g_written];
    std::printf("%s: %s\n", e.vessel.c_str(), e.Text().c_str());
  }
  if (!g_sound_call_count || !g_sound_call) return;
  for (const int n = g_sound_call_count(); g_sound_written < n; ++g_sound_written)
    std::printf("sound: %s\n", g_sound_call(g_sound_written));
}

struct KeyAt {
  int step;
  DWORD key;
  bool shift, ctrl;
};

const KeyAt kKeys[] = {
    {2, OAPI_KEY_E, false, false},   {5, OAPI_KEY_G, false, false},     {8, OAPI_KEY_1, false, false},
    {12, OAPI_KEY_V, false, false},  {15, OAPI_KEY_9, false, true},     {20, OAPI_KEY_K, false, false},
    {30, OAPI_KEY_B, false, false},  {40, OAPI_KEY_C, false, false},    {50, OAPI_KEY_S, false, false},
    {60, OAPI_KEY_J, false, false},  {70, OAPI_KEY_COMMA, true, false}, {80, OAPI_KEY_PERIOD, false, false},
    {90, OAPI_KEY_2, false, false},  {100, OAPI_KEY_0, false, true},    {120, OAPI_KEY_G, false, false},
    {150, OAPI_KEY_H, false, false}, {200, OAPI_KEY_E, false, false},   {230, OAPI_KEY_G, false, false}};

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: life MODULE SOUND_SERVICE\n");
    return 2;
  }
  std::string error;
  void *sound = host::LoadLibraryPath(argv[2], error);
  if (!sound) return std::fprintf(stderr, "life: %s\n", error.c_str()), 3;
  g_sound_call_count = reinterpret_cast<TarvexSound_CallCountFn>(host::LibrarySymbol(sound, "TarvexSound_CallCount"));
  g_sound_call = reinterpret_cast<TarvexSound_CallFn>(host::LibrarySymbol(sound, "TarvexSound_Call"));
  // The service records its calls only when asked.
  auto keep_calls = reinterpret_cast<TarvexSound_KeepCallsFn>(host::LibrarySymbol(sound, "TarvexSound_KeepCalls"));
  if (keep_calls) keep_calls(1);
  host::ModuleApi api;
  if (!host::LoadModule(argv[1], api, error)) return std::fprintf(stderr, "life: %s\n", error.c_str()), 3;
  const char *date;
  int version;
  {
    const host::ModuleCall in;
    date = api.ModuleDate();
    version = api.GetModuleVersion();
  }
  std::printf("ModuleDate %s, GetModuleVersion %d\n", date, version);
  Flush("load");

  host::HostVessel &hv = host::AddVessel("Tarvex1");
  if (!host::CreateVessel(api, hv)) return std::fprintf(stderr, "life: ovcInit returned null\n"), 3;
  Flush("ovcInit");
  // The object's run-time type information, as a host finds it through the
  // vftable (in the Microsoft ABI, the Complete Object Locator before it).
  std::printf("dynamic_cast<VESSEL3 *>: %s\n",
              dynamic_cast<VESSEL3 *>(hv.vessel) == host::Callbacks(hv) ? "the vessel" : "failed");
  host::SetUpVessel(hv, {"STATUS Landed", "FUEL 0.8", "GEAR 0 1", "ENG TURN 1 0.25", "TRIM 0.1", "SKIN default"});
  Flush("set-up and scenario load");

  for (int step = 0; step < 300; ++step) {
    for (const KeyAt &k : kKeys)
      if (k.step == step)
        std::printf("key 0x%02lx: %d\n", (unsigned long)k.key, host::Key(hv, k.key, true, k.shift, k.ctrl));
    // The host's flight state: a take-off run, a climb and a turn.
    hv.airspeed = step * 0.35;
    hv.altitude = step < 100 ? 2.4 : 2.4 + (step - 100) * 0.5;
    hv.ground_contact = step < 100;
    hv.aoa = 0.002 * (step % 50) - 0.04;
    hv.pitch = hv.aoa / 2;
    hv.horizon_airspeed = _V(0.01 * step, 0.1 * (step - 100), hv.airspeed);
    hv.ship_airspeed = _V(0.02 * step, -0.05 * step, hv.airspeed);
    host::Step(hv, step / 60.0, 1 / 60.0, 51544.5 + step / 86400.0);
    char what[32];
    std::snprintf(what, sizeof what, "step %d", step);
    Flush(what);
    for (size_t i = 0; i < hv.drag_elements.size(); ++i)
      std::printf("drag[%d] %s\n", (int)i, Bits(*hv.drag_elements[i].drag).c_str());
    if (step % 25 == 0)
      for (size_t i = 0; i < hv.airfoils.size(); ++i) {
        double cl = 0, cm = 0, cd = 0;
        {
          const host::ModuleCall in;
          hv.airfoils[i].cf(-0.3 + step * 0.003, 0.1 + step * 0.002, 1e7, &cl, &cm, &cd);
        }
        std::printf("airfoil[%d] %s %s %s\n", (int)i, Bits(cl).c_str(), Bits(cm).c_str(), Bits(cd).c_str());
      }
  }

  VESSEL3 *v = host::Callbacks(hv);
  bool loaded;
  {
    const host::ModuleCall in;
    loaded = v->clbkLoadVC(0);
  }
  std::printf("clbkLoadVC %d\n", (int)loaded);
  Flush("virtual cockpit");
  for (int id = 0; id < 40; ++id) {
    VECTOR3 p = _V(0.1, 0.2, 0.3);
    bool answered;
    {
      const host::ModuleCall in;
      answered = v->clbkVCMouseEvent(id, PANEL_MOUSE_LBDOWN, p);
    }
    std::printf("clbkVCMouseEvent(%d) %d\n", id, (int)answered);
  }
  Flush("virtual cockpit clicks");
  host::RecordingSketchpad skp;
  std::printf("clbkDrawHUD %d\n", (int)host::DrawHUD(hv, skp));
  for (const auto &t : skp.texts) std::printf("hud text %d %d \"%s\"\n", t.x, t.y, t.text.c_str());
  for (const auto &s : skp.shapes) std::printf("hud %s %d %d %d %d\n", s.kind.c_str(), s.x0, s.y0, s.x1, s.y1);
  Flush("HUD");
  for (const std::string &line : host::Save(hv)) std::printf("saved %s\n", line.c_str());
  Flush("save");
  host::DestroyVessel(api, hv);
  Flush("ovcExit");
  host::UnloadModule(api);
  Flush("unload");
  return 0;
}
