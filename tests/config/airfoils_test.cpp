// The airfoil coefficient routines: table points and halfway between, the ends of the angle range and
// beyond, and the induced drag taken from the host (expected: the stand-in's plus the airfoil's own).
#include "config/airfoils.h"

#include <cmath>
#include <tuple>

#include "tests/support/fixture.h"

namespace {

const double kPi = 3.141592653589793, kDeg = kPi / 180;

// The wing's lift and moment every 15 degrees from -180; the fins' lift every 22.5.
const double kWingCl[25] = {0.1,    0.17, 0.2,  0.2,  0.17, 0.1, 0,     -0.11, -0.24, -0.38, -0.5, -0.5, -0.02,
                            0.6355, 0.63, 0.46, 0.28, 0.13, 0,   -0.16, -0.26, -0.29, -0.24, -0.1, 0.1};
const double kWingCm[25] = {0, 0,       0,       0, 0, 0, 0, 0, 0, 0.002, 0.004, 0.0025, 0.0012,
                            0, -0.0012, -0.0007, 0, 0, 0, 0, 0, 0, 0,     0,     0};
const double kFinCl[17] = {0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0};
const double kNoMoment[17] = {};

struct Airfoil {
  const char *name;
  void (*routine)(double, double, double, double *, double *, double *);
  const double *cl, *cm;
  int points;
  double step, aspect, drag;
};
const Airfoil kWing = {"wing", &VLiftCoeff, kWingCl, kWingCm, 25, 15, 2.266, 0.06};
const Airfoil kFins = {"fins", &HLiftCoeff, kFinCl, kNoMoment, 17, 22.5, 1.5, 0.02};

struct Coeffs {
  double cl = 0, cm = 0, cd = 0;
  Coeffs(const Airfoil &a, double aoa) { a.routine(aoa, 0.8, 1e6, &cl, &cm, &cd); }
};
double Drag(const Airfoil &a, double cl) { return cl * cl / (kPi * a.aspect * 0.6) + a.drag; }

class Airfoils : public tarvex_test::ModuleTest {};

TEST_F(Airfoils, TableValuesAtEveryPointAndHalfwayBetweenAndTheInducedDragFromTheHost) {
  const double wing = Coeffs(kWing, 7.5 * kDeg).cl, fins = Coeffs(kFins, 45 * kDeg).cl;
  EXPECT_TRUE(tarvex_test::CallsEqual(trace().Texts(), {"oapiGetInducedDrag(" + host::Num(wing) + ", 2.266, 0.6)",
                                                        "oapiGetInducedDrag(" + host::Num(fins) + ", 1.5, 0.6)"}))
      << "with each airfoil's aspect ratio, and the routines call nothing else";
  for (const Airfoil &a : {kWing, kFins})
    for (int j = 0; j <= 2 * (a.points - 1); ++j) {  // table points and halfway between them
      const Coeffs c(a, (-180 + a.step * j / 2) * kDeg);
      EXPECT_NEAR(c.cl, (a.cl[j / 2] + a.cl[(j + 1) / 2]) / 2, 1e-12) << a.name << " cl at half step " << j;
      EXPECT_NEAR(c.cm, (a.cm[j / 2] + a.cm[(j + 1) / 2]) / 2, 1e-12) << a.name << " cm at half step " << j;
    }
}

TEST_F(Airfoils, EndsOfTheRangeAndBeyondStayOnTheEndIntervals) {
  // What, airfoil, angle of attack, cl, cm.
  const std::tuple<const char *, Airfoil, double, double, double> rows[] = {
      {"a quarter of the way from 15 to 30 degrees", kWing, 18.75 * kDeg, 0.6355 + (0.63 - 0.6355) * 0.25, -0.0003},
      {"+pi: last interval at its end", kWing, kPi, 0.1, 0},
      {"-pi: first interval at its start", kWing, -kPi, 0.1, 0},
      {"half a step below -pi: first interval extended", kWing, -kPi - 7.5 * kDeg, 0.1 - 0.07 / 2, 0},
      {"half a step above +pi: last interval extended", kWing, kPi + 7.5 * kDeg, -0.1 + 0.2 * 1.5, 0},
      {"two steps above +pi: still the last interval", kWing, kPi + 30 * kDeg, -0.1 + 0.2 * 3, 0},
      {"two steps below -pi: still the first interval", kWing, -kPi - 30 * kDeg, 0.1 - 0.07 * 2, 0},
      {"half a step above +pi", kFins, kPi + 11.25 * kDeg, 0.1, 0},
      {"half a step below -pi", kFins, -kPi - 11.25 * kDeg, -0.1, 0},
  };
  for (const auto &[what, a, aoa, cl, cm] : rows) {
    Coeffs c = Coeffs(a, aoa);
    EXPECT_NEAR(c.cl, cl, 1e-12) << a.name << " at " << what;
    EXPECT_NEAR(c.cm, cm, 1e-12) << a.name << " at " << what;
    EXPECT_NEAR(c.cd, Drag(a, cl), 1e-12) << a.name << " at " << what;
  }
  const double x = (1e6 + kPi) / (15 * kDeg);
  EXPECT_NEAR(Coeffs(kWing, 1e6).cl / (-0.1 + 0.2 * (x - 23)), 1.0, 1e-9) << "a huge angle extends the last interval";
  // A NaN angle from the host propagates as NaN; huge or infinite angles stay
  // on the end intervals instead of indexing outside the tables.
  EXPECT_ALL(std::isnan(Coeffs(kWing, NAN).cl), std::isnan(Coeffs(kWing, NAN).cd), std::isnan(Coeffs(kFins, NAN).cl));
  for (double aoa : {1e300, -1e300, (double)INFINITY, -(double)INFINITY})
    EXPECT_ALL(!(std::fabs(Coeffs(kWing, aoa).cl) < 1e3), Coeffs(kFins, aoa).cm == 0) << aoa;
}

}  // namespace
