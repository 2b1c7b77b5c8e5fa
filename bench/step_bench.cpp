// Cost of one flight step (clbkPostStep) with the host's trace off and the
// sound service loaded, and the heap allocations made during steps after
// warm-up, which must be none. Every allocation of this executable goes
// through the counting operator new below.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>
#include <string>

#include "host/harness.h"
#include "module/exports.h"
#include "module/handles.h"
#include "module/state.h"
#include "sound_service/service_control.h"

namespace {
unsigned long long g_allocations = 0;

void *Allocate(std::size_t n) {
  ++g_allocations;
  if (void *p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void *AllocateAligned(std::size_t n, std::align_val_t a) {
  ++g_allocations;
  std::size_t align = static_cast<std::size_t>(a);
  std::size_t size = (n + align - 1) / align * align;
  if (void *p = std::aligned_alloc(align, size ? size : align)) return p;
  throw std::bad_alloc();
}
}  // namespace

void *operator new(std::size_t n) { return Allocate(n); }
void *operator new[](std::size_t n) { return Allocate(n); }
void *operator new(std::size_t n, const std::nothrow_t &) noexcept {
  ++g_allocations;
  return std::malloc(n ? n : 1);
}
void *operator new[](std::size_t n, const std::nothrow_t &) noexcept {
  ++g_allocations;
  return std::malloc(n ? n : 1);
}
void *operator new(std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void *operator new[](std::size_t n, std::align_val_t a) { return AllocateAligned(n, a); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

enum Scene { kCruise, kHover };

// A vessel made the host's way: created, set up, loaded and post-created,
// connected to the stand-in sound service (loaded once, reset for each vessel
// so that its identifiers never run out).
host::HostVessel &MakeVessel() {
  static TarvexSound_ResetFn reset_sound = [] {
    std::string error;
    void *lib = host::LoadLibraryPath(TARVEX_SOUND_PATH, error);
    return lib ? reinterpret_cast<TarvexSound_ResetFn>(host::LibrarySymbol(lib, "TarvexSound_Reset")) : nullptr;
  }();
  if (reset_sound) reset_sound();
  host::ResetWorld();
  ResetStateRecord();
  host::HostVessel &hv = host::AddVessel("Bench");
  hv.vessel = ovcInit(&hv, hv.fmodel);
  host::SetUpVessel(hv, {});
  return hv;
}

// Cruise: 120 m/s at 1500 m, nozzle aft, altitude hold with its trim, full
// lights. Hover: 3 m/s at 8 m, nozzle down, altitude and horizon-level holds,
// lift thrusters working, translation input.
void SetScene(host::HostVessel &hv, Scene scene) {
  eng_status = 1;
  spot_on = 1;
  hv.ground_contact = false;
  hv.navmode[NAVMODE_HOLDALT] = true;
  hv.ctrl_level[AIRCTRL_RUDDER] = 0.2;
  hv.ctrl_level[AIRCTRL_ELEVATOR] = -0.1;
  static_cast<host::Thruster *>(th_main)->level = 0.8;
  if (scene == kCruise) {
    hv.airspeed = 120, hv.altitude = 1500;
    hv.horizon_airspeed = _V(0, -0.5, 120);
    hv.ship_airspeed = _V(0, 0, 120);
    nozzle_angle = nozzle_deflection = 0;
  } else {
    hv.airspeed = 3, hv.altitude = 8;
    hv.horizon_airspeed = _V(0, -1, 3);
    hv.ship_airspeed = _V(0, -1, 3);
    hv.navmode[NAVMODE_HLEVEL] = true;
    nozzle_angle = nozzle_deflection = 1;
    hv.SetGroupLevel(THGROUP_ATT_BACK, 0.3);
    static_cast<host::Thruster *>(th_hover[0])->level = 0.5;
    static_cast<host::Thruster *>(th_hover[1])->level = 0.5;
  }
}

void BM_PostStep(benchmark::State &state) {
  host::HostVessel &hv = MakeVessel();
  SetScene(hv, static_cast<Scene>(state.range(0)));
  // The counter must see the host library's allocations: a traced step allocates.
  unsigned long long traced = g_allocations;
  host::Step(hv);
  if (g_allocations == traced) state.SkipWithError("the allocation counter does not see the host's allocations");
  host::world().trace.Clear();

  host::world().trace.enabled = false;
  for (int i = 0; i < 100; ++i) host::Step(hv);  // warm-up: host containers reach their size

  unsigned long long before = g_allocations;
  long long steps = 0;
  for (auto _ : state) {
    host::Step(hv);
    ++steps;
  }
  unsigned long long allocations = g_allocations - before;
  state.counters["allocs_per_step"] = steps ? static_cast<double>(allocations) / steps : 0;
  state.counters["allocs_total"] = static_cast<double>(allocations);
  if (allocations != 0) state.SkipWithError("the flight step allocated on the heap after warm-up");
  state.SetLabel(state.range(0) == kCruise ? "cruise" : "hover");
  host::world().trace.enabled = true;
  host::ModuleApi api;
  api.ovcExit = &ovcExit;
  host::DestroyVessel(api, hv);
}
BENCHMARK(BM_PostStep)->Arg(kCruise)->Arg(kHover);

}  // namespace
