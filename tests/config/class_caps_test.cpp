// Class set-up: every host call in its order against tests/data/class_setup.txt,
// the flight-model and airspeed branches, and the records the host keeps by address.
#include <cmath>
#include <cstring>
#include <tuple>

#include "config/airfoils.h"
#include "module/handles.h"
#include "tests/support/fixture.h"

namespace {

class ClassCaps : public tarvex_test::ModuleTest {
 protected:
  // A constructed vessel whose class set-up alone is run, the construction's calls dropped.
  host::HostVessel &SetUpOnly(const std::string &name = "T", int fmodel = 1, double airspeed = 0) {
    host::HostVessel &hv = NewVessel(name, false);
    hv.fmodel = fmodel, hv.airspeed = airspeed;
    trace().Clear();
    host::Callbacks(hv)->clbkSetClassCaps(nullptr);
    return hv;
  }
};

TEST_F(ClassCaps, CallsEveryStepInOrderAndTheFlightModelAndAirspeedChooseMomentScalesAndExhaust) {
  SetUpOnly();
  EXPECT_TRUE(tarvex_test::CallsEqual(trace().Texts(), tarvex_test::DataLines("class_setup.txt")));
  // What, flight model, airspeed at set-up, moments scaled, slow-flight exhaust.
  const std::tuple<const char *, int, double, bool, bool> rows[] = {
      {"flight model 0: no moment scales", 0, 0, false, true},
      {"flight model 2: scaled", 2, 0, true, true},
      {"flight model -1: no moment scales", -1, 0, false, true},
      {"exactly 70 m/s is not slow", 1, 70, true, false},
      {"69.9 m/s is slow", 1, 69.9, true, true},
      {"no number is not slow", 1, NAN, true, false},
  };
  for (const auto &[what, fmodel, airspeed, scaled, slow] : rows) {
    host::HostVessel &hv = SetUpOnly(what, fmodel, airspeed);
    const double scale = scaled ? 1e-4 : 0;
    EXPECT_EQ(std::make_pair(hv.pitch_moment_scale, hv.bank_moment_scale), std::make_pair(scale, scale)) << what;
    EXPECT_EQ(hv.streams.size(), slow ? 2u : 0u) << what;
    EXPECT_EQ(hv.exhausts.size(), slow ? 2u : 1u) << what << ": the reheat flame always exists";
  }
}

TEST_F(ClassCaps, HandlesAndRecordsTheHostKeepsByAddressAndALaterSetUpRefillsThem) {
  strut_ext = 1, camera_view = 1;
  host::HostVessel &hv = SetUpOnly();
  EXPECT_EQ(camera_view, 0.0) << "every vessel starts in cockpit view 0";
  EXPECT_NEAR(hv.touchdown[0].y, -2.68914, 1e-12) << "nose point at full strut extension";
  EXPECT_NEAR(hv.touchdown[1].y, -2.692747, 1e-12) << "main points at full strut extension";
  EXPECT_ALL(hv.airfoils[0].cf == &VLiftCoeff, hv.airfoils[1].cf == &HLiftCoeff);
  const double *vars[4] = {&airbrake_pos, &gear_ext, &canopy_pos, &fandoor_pos};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(hv.drag_elements[i].drag, vars[i]) << "drag element " << i;
  for (int i = 0; i < 9; ++i) EXPECT_EQ(hv.beacons[i], beacon_records[i]) << "beacon " << i;
  ASSERT_EQ(hv.streams.size(), 2u);
  const PARTICLESTREAMSPEC &p = hv.streams[0].spec;
  EXPECT_EQ(std::memcmp(&p, &hv.streams[1].spec, sizeof p), 0) << "both exhaust streams share one particle spec";
  EXPECT_EQ(std::vector<double>({p.srcsize, p.srcrate, p.v0, p.srcspread, p.lifetime, p.growthrate, p.atmslowdown,
                                 p.lmin, p.lmax, p.amin, p.amax, (double)p.flags}),
            std::vector<double>({0.4, 565.0, 11.0, 0.019, 0.14, 3.11, 1.0, 0.0, 2.0, 1.0, 1.0, 0}));
  EXPECT_ALL(p.ltype == PARTICLESTREAMSPEC::DIFFUSE, p.levelmap == PARTICLESTREAMSPEC::LVL_PSQRT,
             p.atmsmap == PARTICLESTREAMSPEC::ATM_PLOG, p.tex == nullptr);
  // A later vessel's set-up replaces the shared handles but not the records' addresses.
  const VECTOR3 *pos = beacon_nav_red.pos;
  beacon_nav_red.active = true;
  host::HostVessel &b = SetUpOnly("B");
  EXPECT_ALL(th_main == b.thrusters[0].get(), spot_light == b.lights[0].get());
  EXPECT_EQ(beacon_nav_red.pos, pos) << "beacon vectors stay at their addresses";
  EXPECT_EQ(hv.beacons[0], b.beacons[0]) << "both vessels show the one shared record";
  EXPECT_FALSE(hv.beacons[0]->active) << "the later set-up refills the shared records unlit";
}

}  // namespace
