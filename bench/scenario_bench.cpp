// Cost of a vessel's scenario save and load, with every vessel line present
// and the host's call trace switched off, as in a long flight-host run.
#include <benchmark/benchmark.h>

#include "host/harness.h"
#include "module/exports.h"
#include "module/handles.h"
#include "module/state.h"

namespace {

host::HostVessel &BenchVessel() {
  host::ResetWorld();
  ResetStateRecord();
  host::ModuleApi api;
  api.ovcInit = &ovcInit;
  api.ovcExit = &ovcExit;
  host::HostVessel &hv = host::AddVessel("Bench");
  host::CreateVessel(api, hv);
  host::Callbacks(hv)->clbkSetClassCaps(nullptr);
  if (!th_main) th_main = hv.vessel->CreateThruster(_V(0, 0, 0), _V(0, 0, 1), 1);
  gear_status = 1, gear_pos = 0.35, eng_status = 1, nozzle_angle = 0.7, nozzle_mode = 1, reheat = 1;
  lights_off = 1, spot_on = 1, camera_view = 1;
  hv.vessel->SetThrusterLevel(th_main, 0.5);
  hv.ctrl_level[AIRCTRL_ELEVATORTRIM] = 0.2;
  host::world().trace.enabled = false;
  return hv;
}

void BM_ScenarioSave(benchmark::State &state) {
  host::HostVessel &hv = BenchVessel();
  for (auto _ : state) benchmark::DoNotOptimize(host::Save(hv));
}
BENCHMARK(BM_ScenarioSave);

void BM_ScenarioLoad(benchmark::State &state) {
  host::HostVessel &hv = BenchVessel();
  const std::vector<std::string> lines = host::Save(hv);
  for (auto _ : state) {
    host::ScenarioFile f;
    f.lines = lines;
    host::Callbacks(hv)->clbkLoadStateEx(&f, &f);
    benchmark::DoNotOptimize(gear_pos);
  }
}
BENCHMARK(BM_ScenarioLoad);

}  // namespace
