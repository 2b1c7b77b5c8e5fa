// Cost of one HUD redraw in the surface HUD, the mode with the most work:
// the default HUD, eight readouts formatted and drawn, the gear symbol.
#include <benchmark/benchmark.h>

#include "host/harness.h"
#include "module/exports.h"
#include "module/handles.h"
#include "module/state.h"

namespace {

void BM_DrawHudSurface(benchmark::State &state) {
  host::ResetWorld();
  ResetStateRecord();
  host::ModuleApi api;
  api.ovcInit = &ovcInit;
  api.ovcExit = &ovcExit;
  host::HostVessel &hv = host::AddVessel("Tarvex1");
  host::CreateVessel(api, hv);
  host::SetUpVessel(hv, {});
  host::world().hud_mode = HUD_SURFACE;
  host::world().trace.enabled = false;
  // A low hover with the holds on: every readout but the altitude-hold label.
  hv.airspeed = 12.5;
  hv.altitude = 35.2;
  hv.horizon_airspeed = _V(0, -1.7, 12.4);
  hv.navmode[NAVMODE_HLEVEL] = hv.navmode[NAVMODE_KILLROT] = true;
  navmode_alt = NAVMODE_HOLDALT;
  navmode_lvl = NAVMODE_HLEVEL;
  navmode_rot = NAVMODE_KILLROT;
  nozzle_deflection = 0.85;
  gear_pos = 0.0;

  host::RecordingSketchpad skp;
  for (auto _ : state) {
    skp.Clear();
    benchmark::DoNotOptimize(host::DrawHUD(hv, skp));
  }
  state.counters["texts"] = static_cast<double>(skp.texts.size());
  host::DestroyVessel(api, hv);
}
BENCHMARK(BM_DrawHudSurface);

}  // namespace
