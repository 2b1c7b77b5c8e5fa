// Steps per second of the flight host with one vessel and the trace off: one
// step is what tarvex-sim does per step (physics, the host's controllers, the
// module's flight step and the HUD redraw). Reported as items per second.
#include <benchmark/benchmark.h>

#include "host/harness.h"
#include "host/physics.h"
#include "module/exports.h"
#include "module/state.h"

namespace {

struct Flight {
  host::ModuleApi api;
  host::HostVessel *hv = nullptr;
  host::RecordingSketchpad hud;

  explicit Flight(const std::vector<std::string> &lines, bool engine_on) {
    host::ResetWorld();
    ResetStateRecord();
    host::world().trace.enabled = false;
    api.ovcInit = &ovcInit;
    api.ovcExit = &ovcExit;
    hv = &host::AddVessel("Tarvex1");
    host::CreateVessel(api, *hv);
    host::SetUpVessel(*hv, lines);
    host::PlaceBody(*hv);
    if (engine_on) eng_status = 1, nozzle_angle = 1, nozzle_deflection = 1;
  }
  ~Flight() { host::DestroyVessel(api, *hv); }

  void Step(double dt) {
    host::PhysicsStep(*hv, dt);
    host::HostControllers(*hv, dt);
    hv->forces.clear();
    host::Callbacks(*hv)->clbkPostStep(0, dt, 51544.5);
    hud.Clear();
    host::DrawHUD(*hv, hud);
  }
};

void BM_SimStepOnTheGround(benchmark::State &state) {
  Flight f({"STATUS Landed", "FUEL 8000"}, false);
  for (auto _ : state) f.Step(1.0 / 60);
  state.SetItemsProcessed(state.iterations());
}

void BM_SimStepHovering(benchmark::State &state) {
  Flight f({"STATUS Flying", "ALT 30", "FUEL 8000"}, true);
  f.hv->navmode[NAVMODE_HOLDALT] = f.hv->navmode[NAVMODE_HLEVEL] = true;
  f.hv->SetGroupLevel(THGROUP_MAIN, 0.8);
  for (auto _ : state) f.Step(1.0 / 60);
  state.SetItemsProcessed(state.iterations());
}

void BM_PhysicsOnly(benchmark::State &state) {
  Flight f({"STATUS Flying", "ALT 500", "AIRSPEED 120", "FUEL 8000"}, false);
  for (auto _ : state) host::PhysicsStep(*f.hv, 1.0 / 60);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_SimStepOnTheGround);
BENCHMARK(BM_SimStepHovering);
BENCHMARK(BM_PhysicsOnly);

}  // namespace
