// One call of each airfoil coefficient routine, as the host's aerodynamic
// update makes it, with the stand-in host's trace switched off.
#include <benchmark/benchmark.h>

#include "config/airfoils.h"
#include "host/world.h"

namespace {

// Angles of attack spread over the whole range, so that every call looks up
// a different interval.
const double kAngles[8] = {-3.0, -2.1, -0.7, -0.05, 0.13, 0.9, 1.9, 3.1};

template <void (*Coeff)(double, double, double, double *, double *, double *)>
void BM_Airfoil(benchmark::State &state) {
  host::world().trace.enabled = false;
  double cl, cm, cd;
  size_t i = 0;
  for (auto _ : state) {
    Coeff(kAngles[i++ & 7], 0.5, 1e7, &cl, &cm, &cd);
    benchmark::DoNotOptimize(cl);
    benchmark::DoNotOptimize(cm);
    benchmark::DoNotOptimize(cd);
  }
  host::world().trace.enabled = true;
}

BENCHMARK(BM_Airfoil<VLiftCoeff>)->Name("VLiftCoeff");
BENCHMARK(BM_Airfoil<HLiftCoeff>)->Name("HLiftCoeff");

}  // namespace
