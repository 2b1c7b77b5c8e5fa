// Airfoil coefficient routines: table look-up with linear interpolation over
// the angle of attack, plus the host's induced drag.
#include "config/airfoils.h"

#include "module/fpu_mode.h"
#include "module/handles.h"

namespace {

const double kPi = 3.141592653589793;

// Wing, every 15 degrees from -180 to +180.
const double kWingCl[25] = {0.1,    0.17, 0.2,  0.2,  0.17, 0.1, 0,     -0.11, -0.24, -0.38, -0.5, -0.5, -0.02,
                            0.6355, 0.63, 0.46, 0.28, 0.13, 0,   -0.16, -0.26, -0.29, -0.24, -0.1, 0.1};
const double kWingCm[25] = {0, 0,       0,       0, 0, 0, 0, 0, 0, 0.002, 0.004, 0.0025, 0.0012,
                            0, -0.0012, -0.0007, 0, 0, 0, 0, 0, 0, 0,     0,     0};

// Fins, every 22.5 degrees from -180 to +180.
const double kFinCl[17] = {0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0};

struct Lookup {
  int i;     // interval index, clamped to 0..last
  double f;  // position within the interval; outside -180..+180 it runs past 0..1
};

// The table interval of an angle of attack. `inv_step` is the kept reciprocal
// of the table step in radians; `last` the last interval index. The index is
// clamped before it is converted, so a non-finite or huge angle cannot make
// an out-of-range integer: a NaN angle uses interval 0 and yields NaN.
inline Lookup Find(double aoa, double inv_step, int last) {
  const double x = (aoa + kPi) * inv_step;
  int i;
  if (!(x >= 0))
    i = 0;
  else if (x >= last)
    i = last;
  else
    i = static_cast<int>(x);
  return Lookup{i, x - i};
}

// Reciprocals of the table steps, fixed when the module is built.
const double kInvWingStep = 1.0 / (15.0 * RAD);
const double kInvFinStep = 1.0 / (22.5 * RAD);

}  // namespace

// The lift is kept in a local, so the compiler need not read it back through
// the pointer (which might alias the others) for the drag.
void VLiftCoeff(double aoa, double, double, double *cl, double *cm, double *cd) {
  const ModuleFpuMode fpu_mode;
  const Lookup l = Find(aoa, kInvWingStep, 23);
  const double lift = kWingCl[l.i] + (kWingCl[l.i + 1] - kWingCl[l.i]) * l.f;
  *cl = lift;
  *cm = kWingCm[l.i] + (kWingCm[l.i + 1] - kWingCm[l.i]) * l.f;
  *cd = oapiGetInducedDrag(lift, 2.266, 0.6) + 0.06;
}

void HLiftCoeff(double aoa, double, double, double *cl, double *cm, double *cd) {
  const ModuleFpuMode fpu_mode;
  const Lookup l = Find(aoa, kInvFinStep, 15);
  const double lift = kFinCl[l.i] + (kFinCl[l.i + 1] - kFinCl[l.i]) * l.f;
  *cl = lift;
  *cm = 0;
  *cd = oapiGetInducedDrag(lift, 1.5, 0.6) + 0.02;
}
