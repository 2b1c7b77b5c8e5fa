// The airfoil coefficient routines: table points, interpolation, the ends of
// the angle range and beyond, and the induced drag taken from the host.
#include "config/airfoils.h"

#include <cmath>

#include "tests/support/fixture.h"

namespace {

const double kPi = 3.141592653589793;
const double kDeg = kPi / 180;

// The wing's table, every 15 degrees from -180.
const double kWingCl[25] = {0.1,    0.17, 0.2,  0.2,  0.17, 0.1, 0,     -0.11, -0.24, -0.38, -0.5, -0.5, -0.02,
                            0.6355, 0.63, 0.46, 0.28, 0.13, 0,   -0.16, -0.26, -0.29, -0.24, -0.1, 0.1};
const double kWingCm[25] = {0, 0,       0,       0, 0, 0, 0, 0, 0, 0.002, 0.004, 0.0025, 0.0012,
                            0, -0.0012, -0.0007, 0, 0, 0, 0, 0, 0, 0,     0,     0};
// The fins' table, every 22.5 degrees from -180.
const double kFinCl[17] = {0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0, 0.2, 0.3, 0.2, 0, -0.2, -0.3, -0.2, 0};

struct Coeffs {
  double cl, cm, cd;
};
Coeffs Wing(double aoa) {
  Coeffs c{};
  VLiftCoeff(aoa, 0.8, 1e6, &c.cl, &c.cm, &c.cd);
  return c;
}
Coeffs Fin(double aoa) {
  Coeffs c{};
  HLiftCoeff(aoa, 0.8, 1e6, &c.cl, &c.cm, &c.cd);
  return c;
}

double WingDrag(double cl) { return cl * cl / (kPi * 2.266 * 0.6) + 0.06; }
double FinDrag(double cl) { return cl * cl / (kPi * 1.5 * 0.6) + 0.02; }

class Airfoils : public tarvex_test::ModuleTest {};

TEST_F(Airfoils, WingGivesTheTableValuesAtEveryTablePointAndMidpoint) {
  for (int i = 0; i < 25; ++i) {
    Coeffs c = Wing((-180 + 15 * i) * kDeg);
    EXPECT_NEAR(c.cl, kWingCl[i], 1e-12) << "cl at table point " << i;
    EXPECT_NEAR(c.cm, kWingCm[i], 1e-12) << "cm at table point " << i;
    EXPECT_NEAR(c.cd, WingDrag(c.cl), 1e-12) << "cd at table point " << i;
  }
  for (int i = 0; i < 24; ++i) {
    Coeffs c = Wing((-172.5 + 15 * i) * kDeg);
    EXPECT_NEAR(c.cl, (kWingCl[i] + kWingCl[i + 1]) / 2, 1e-12) << "cl halfway after table point " << i;
    EXPECT_NEAR(c.cm, (kWingCm[i] + kWingCm[i + 1]) / 2, 1e-12) << "cm halfway after table point " << i;
  }
  // A quarter of the way from 15 to 30 degrees.
  EXPECT_NEAR(Wing(18.75 * kDeg).cl, 0.6355 + (0.63 - 0.6355) * 0.25, 1e-12);
}

TEST_F(Airfoils, FinsGiveTheTableValuesNoMomentAndTheirOwnDrag) {
  for (int i = 0; i < 17; ++i) {
    Coeffs c = Fin((-180 + 22.5 * i) * kDeg);
    EXPECT_NEAR(c.cl, kFinCl[i], 1e-12) << "cl at table point " << i;
    EXPECT_EQ(c.cm, 0.0) << "cm at table point " << i;
    EXPECT_NEAR(c.cd, FinDrag(c.cl), 1e-12) << "cd at table point " << i;
  }
  // The fin table is antisymmetric about 0 and repeats every 180 degrees.
  for (double deg = -170; deg < 0; deg += 3.7) {
    EXPECT_NEAR(Fin(deg * kDeg).cl, -Fin(-deg * kDeg).cl, 1e-12) << "antisymmetry at " << deg;
    EXPECT_NEAR(Fin(deg * kDeg).cl, Fin((deg + 180) * kDeg).cl, 1e-12) << "180-degree period at " << deg;
  }
}

TEST_F(Airfoils, NamedCases) {
  struct Row {
    const char *what;
    bool wing;
    double aoa, cl, cm;
  };
  const Row rows[] = {
      {"wing at 0", true, 0, -0.02, 0.0012},
      {"wing halfway to 15 degrees", true, 7.5 * kDeg, 0.30775, 0.0006},
      {"wing at +pi: last interval at its end", true, kPi, 0.1, 0},
      {"wing at -pi: first interval at its start", true, -kPi, 0.1, 0},
      {"wing half a step below -pi: first interval extended", true, -kPi - 7.5 * kDeg, 0.1 - 0.07 / 2, 0},
      {"wing half a step above +pi: last interval extended", true, kPi + 7.5 * kDeg, -0.1 + 0.2 * 1.5, 0},
      {"wing two steps above +pi: still the last interval", true, kPi + 30 * kDeg, -0.1 + 0.2 * 3, 0},
      {"wing two steps below -pi: still the first interval", true, -kPi - 30 * kDeg, 0.1 - 0.07 * 2, 0},
      {"fins at 0", false, 0, 0, 0},
      {"fins at +pi", false, kPi, 0, 0},
      {"fins at -pi", false, -kPi, 0, 0},
      {"fins half a step above +pi", false, kPi + 11.25 * kDeg, 0.1, 0},
      {"fins half a step below -pi", false, -kPi - 11.25 * kDeg, -0.1, 0},
  };
  for (const Row &r : rows) {
    Coeffs c = r.wing ? Wing(r.aoa) : Fin(r.aoa);
    EXPECT_NEAR(c.cl, r.cl, 1e-12) << r.what;
    EXPECT_NEAR(c.cm, r.cm, 1e-12) << r.what;
    EXPECT_NEAR(c.cd, r.wing ? WingDrag(r.cl) : FinDrag(r.cl), 1e-12) << r.what;
  }
}

TEST_F(Airfoils, InducedDragComesFromTheHostWithTheAirfoilsAspectRatio) {
  Coeffs w = Wing(7.5 * kDeg);
  Coeffs f = Fin(45 * kDeg);
  EXPECT_TRUE(tarvex_test::CallsEqual(trace().Filter("oapiGetInducedDrag"),
                                      {"oapiGetInducedDrag(" + host::Num(w.cl) + ", 2.266, 0.6)",
                                       "oapiGetInducedDrag(" + host::Num(f.cl) + ", 1.5, 0.6)"}));
  EXPECT_EQ(trace().Texts().size(), 2u) << "the routines call nothing else";
}

TEST_F(Airfoils, NonFiniteAnglesGiveNonFiniteCoefficientsWithoutFailing) {
  // A NaN angle from the host propagates as NaN; infinite or huge angles stay
  // on the end intervals instead of indexing outside the tables.
  Coeffs n = Wing(std::nan(""));
  EXPECT_TRUE(std::isnan(n.cl) && std::isnan(n.cd));
  EXPECT_TRUE(std::isnan(Fin(std::nan("")).cl));
  const double huge[] = {1e300, -1e300, INFINITY, -INFINITY};
  for (double a : huge) {
    Coeffs w = Wing(a), f = Fin(a);
    EXPECT_FALSE(std::isfinite(w.cl) && std::fabs(w.cl) < 1e3) << "wing at " << a;
    EXPECT_EQ(f.cm, 0.0) << "fins at " << a;
  }
  Coeffs big = Wing(1e6);
  const double x = (1e6 + kPi) / (15 * kDeg);
  EXPECT_NEAR(big.cl / (-0.1 + 0.2 * (x - 23)), 1.0, 1e-9) << "a huge angle extends the last interval";
}

}  // namespace
