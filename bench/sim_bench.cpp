// One step of the flight host as tarvex-sim makes it for a user's run:
// physics, the host's controllers, the module's flight step and the sound
// service's clock, with the stand-in sound service loaded and the trace off.
// Each benchmark keeps the state its name promises for all its iterations:
// propellant is topped up (and a body that must not land is put back) outside
// the timing, and the state is checked once more after the last iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/harness.h"
#include "host/physics.h"
#include "module/exports.h"
#include "module/handles.h"
#include "module/state.h"
#include "sound_service/service_control.h"

namespace {

const double kDt = 1.0 / 60;
const long kRefuelEvery = 1024;  // steps between top-ups, about 17 s of flight

// The sound service, loaded once per process before any vessel connects.
struct Sound {
  TarvexSound_AdvanceFn advance = nullptr;
  TarvexSound_ClearCallsFn clear = nullptr;
  TarvexSound_ResetFn reset = nullptr;
  Sound() {
    std::string error;
    if (void *lib = host::LoadLibraryPath(TARVEX_SOUND_PATH, error)) {
      advance = reinterpret_cast<TarvexSound_AdvanceFn>(host::LibrarySymbol(lib, "TarvexSound_Advance"));
      clear = reinterpret_cast<TarvexSound_ClearCallsFn>(host::LibrarySymbol(lib, "TarvexSound_ClearCalls"));
      reset = reinterpret_cast<TarvexSound_ResetFn>(host::LibrarySymbol(lib, "TarvexSound_Reset"));
    }
  }
};
Sound &SoundService() {
  static Sound s;
  return s;
}

struct Fleet {
  host::ModuleApi api;
  std::vector<host::HostVessel *> vessels;
  std::vector<double> fuel;  // each vessel's propellant at the start

  Fleet(int count, const std::vector<std::string> &lines) {
    Sound &sound = SoundService();
    host::ResetWorld();
    ResetStateRecord();
    if (sound.reset) sound.reset();
    host::world().trace.enabled = false;
    api.ovcInit = &ovcInit;
    api.ovcExit = &ovcExit;
    for (int i = 0; i < count; ++i) {
      host::HostVessel &hv = host::AddVessel("Tarvex" + std::to_string(i + 1));
      host::CreateVessel(api, hv);
      host::Callbacks(hv)->clbkSetClassCaps(nullptr);
      host::ScenarioFile f;
      f.lines = lines;
      host::Callbacks(hv)->clbkLoadStateEx(&f, &f);
      vessels.push_back(&hv);
    }
    for (auto *hv : vessels) host::Callbacks(*hv)->clbkPostCreation();
    for (auto *hv : vessels) host::PlaceBody(*hv), fuel.push_back(hv->FuelMass());
  }
  ~Fleet() {
    for (auto *hv : vessels) host::DestroyVessel(api, *hv);
  }

  void Step() {
    for (auto *hv : vessels) host::PhysicsStep(*hv, kDt);
    for (auto *hv : vessels) {
      host::HostControllers(*hv, kDt);
      hv->forces.clear();
      host::Callbacks(*hv)->clbkPostStep(0, kDt, 51544.5);
    }
    Sound &sound = SoundService();
    if (sound.advance) sound.advance(kDt);
    if (sound.clear) sound.clear();
  }
  void Refuel() {
    for (size_t i = 0; i < vessels.size(); ++i) vessels[i]->propellants[0]->mass = fuel[i];
  }
  void Fly(double seconds) {
    for (int i = 0; i < seconds / kDt; ++i) Step();
  }
  host::HostVessel &first() { return *vessels.front(); }
};

// Engine started with E and run up to idle on the ground.
void StartEngine(Fleet &f) {
  host::Key(f.first(), OAPI_KEY_E, true);
  host::Key(f.first(), OAPI_KEY_E, false);
  f.Fly(5);
}

bool Parked(Fleet &f) {
  for (auto *hv : f.vessels)
    if (!hv->ground_contact || hv->airspeed > 0.05 || !(hv->FuelMass() > 0)) return false;
  return eng_status == 1;
}

// Lifted on the nozzles into a hover at 10-20 m held by the host's altitude hold.
void Hover(Fleet &f) {
  StartEngine(f);
  host::Key(f.first(), OAPI_KEY_0, true);  // nozzle drive down
  f.Fly(3);
  f.first().SetGroupLevel(THGROUP_MAIN, 0.9);
  f.first().navmode[NAVMODE_HLEVEL] = true;
  f.Fly(4);
  f.first().navmode[NAVMODE_HOLDALT] = true;
  f.Fly(10);
}

bool Hovering(Fleet &f) {
  host::HostVessel &hv = f.first();
  return !hv.ground_contact && hv.altitude > 5 && hv.altitude < 40 && hv.airspeed < 2 && eng_status == 1;
}

template <typename Check>
void Run(benchmark::State &state, Fleet &f, Check in_state, const char *what) {
  if (!in_state(f)) return state.SkipWithError((std::string("not ") + what + " before timing").c_str());
  long n = 0;
  for (auto _ : state) {
    f.Step();
    if (++n % kRefuelEvery == 0) {
      state.PauseTiming();
      f.Refuel();
      state.ResumeTiming();
    }
  }
  if (!in_state(f)) state.SkipWithError((std::string("no longer ") + what + " after timing").c_str());
  state.SetItemsProcessed(state.iterations() * static_cast<long>(f.vessels.size()));
  state.counters["vessels"] = static_cast<double>(f.vessels.size());
}

const std::vector<std::string> kParked = {"STATUS Landed", "HEADING 0", "FUEL 8000"};

void BM_SimStepParkedEngineRunning(benchmark::State &state) {
  Fleet f(1, kParked);
  StartEngine(f);
  f.first().wheelbrake[0] = f.first().wheelbrake[1] = 1;
  Run(state, f, Parked, "parked with the engine running");
}
BENCHMARK(BM_SimStepParkedEngineRunning);

void BM_SimStepHovering(benchmark::State &state) {
  Fleet f(1, kParked);
  Hover(f);
  Run(state, f, Hovering, "hovering");
}
BENCHMARK(BM_SimStepHovering);

// A hundred vessels side by side on the ground, engines running (the engine
// state is the module's, shared by all); one iteration steps them all.
void BM_SimStepFleetParked100(benchmark::State &state) {
  Fleet f(100, kParked);
  for (size_t i = 0; i < f.vessels.size(); ++i) {
    f.vessels[i]->body.pos.x = 30.0 * static_cast<double>(i);
    f.vessels[i]->wheelbrake[0] = f.vessels[i]->wheelbrake[1] = 1;
  }
  StartEngine(f);
  Run(state, f, Parked, "all parked with engines running");
}
BENCHMARK(BM_SimStepFleetParked100);

// The physics alone for a body in a hover: the hover set up as above, then
// physics and the host's controllers only, with the module's thruster levels
// as they stand. Without the module's step the hover drifts, so the body is
// put back where it was every 64 steps (about a second), outside the timing.
void BM_PhysicsHovering(benchmark::State &state) {
  Fleet f(1, kParked);
  Hover(f);
  host::HostVessel &hv = f.first();
  if (!Hovering(f)) return state.SkipWithError("not hovering before timing");
  auto airborne = [&hv] { return !hv.ground_contact && hv.altitude > 5 && hv.altitude < 40 && hv.airspeed < 10; };
  const host::RigidBody start = hv.body;
  long n = 0;
  bool left = false;
  for (auto _ : state) {
    host::PhysicsStep(hv, kDt);
    host::HostControllers(hv, kDt);
    if (++n % 64 == 0) {
      state.PauseTiming();
      left |= !airborne();
      hv.body = start;
      f.Refuel();
      state.ResumeTiming();
    }
  }
  if (left || !airborne()) state.SkipWithError("left the hover within the timing");
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PhysicsHovering);

}  // namespace
