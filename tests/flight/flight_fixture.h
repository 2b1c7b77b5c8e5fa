// Flight-step test support: a vessel set up the host's way, with the engines,
// translation groups, propellant and spot light the step drives (made here
// when class set-up has not made them), and short hands to set the flight
// state and read the thrusters.
#pragma once

#include <string>
#include <vector>

#include "module/handles.h"
#include "tests/support/fixture.h"

namespace tarvex_test {

class FlightTest : public ModuleTest {
 protected:
  // A vessel ready to fly: set up, engine running, one step already taken so
  // that the hold-mode numbers hold their values; the trace is cleared.
  host::HostVessel &Flyer(const std::string &name = "Tarvex1") {
    host::HostVessel &hv = NewVessel(name);
    EnsureEngines(hv);
    eng_status = 1;
    Fly(hv, 50, 1000);
    host::Step(hv);
    trace().Clear();
    return hv;
  }

  // Creates, in class set-up's order, what the flight step needs and class
  // set-up has not created: propellant, the main, reheat and lift thrusters
  // (th0..th3) with their groups, the translation thrusters (th16 forward,
  // th17 back) and the spot light.
  static void EnsureEngines(host::HostVessel &hv) {
    VESSEL &v = *hv.vessel;
    if (!th_main) {
      PROPELLANT_HANDLE ph = v.CreatePropellantResource(20000.0);
      th_main = v.CreateThruster(_V(0, 0, -0.01), _V(0, 0, 1), 0, ph, 320000.0, 0, 101400.0);
      th_reheat = v.CreateThruster(_V(0, -0.1580385, -5.802197), _V(0, 0, 1), 0, ph, 320000.0, 0, 101400.0);
      th_hover[0] = v.CreateThruster(_V(0, -1, -4.5), _V(0, 1, 0), 0, ph, 1e7, 0, 101400.0);
      th_hover[1] = v.CreateThruster(_V(0, -1, 4.5), _V(0, 1, 0), 0, ph, 1e7, 0, 101400.0);
      v.CreateThrusterGroup(&th_main, 1, THGROUP_MAIN);
      v.CreateThrusterGroup(&th_reheat, 1, THGROUP_USER);
      v.CreateThrusterGroup(th_hover, 2, THGROUP_HOVER);
      THRUSTER_HANDLE att[14];
      for (int i = 0; i < 14; ++i)
        att[i] = v.CreateThruster(_V(0, 0, 0), _V(0, 1, 0), 99000.0, ph, 320000.0, 0, 101400.0);
      v.CreateThrusterGroup(&att[12], 1, THGROUP_ATT_FORWARD);
      v.CreateThrusterGroup(&att[13], 1, THGROUP_ATT_BACK);
    }
    if (!spot_light) {
      COLOUR4 white{1, 1, 1, 0}, black{0, 0, 0, 0};
      spot_light = v.AddSpotLight(_V(0, -0.5703472, 7.260373), _V(0, 0, 1), 1000.0, 1e-6, 0, 1e-6, 25 * RAD, 40 * RAD,
                                  white, white, black);
    }
  }

  // Airborne flight state: airspeed, altitude and a vertical speed `vy`
  // (horizon frame) with the ship-frame airspeed straight ahead.
  static void Fly(host::HostVessel &hv, double airspeed, double altitude, double vy = 0) {
    hv.airspeed = airspeed;
    hv.altitude = altitude;
    hv.ground_contact = false;
    hv.horizon_airspeed = _V(0, vy, airspeed);
    hv.ship_airspeed = _V(0, 0, airspeed);
  }

  static host::Thruster &Th(THRUSTER_HANDLE th) { return *static_cast<host::Thruster *>(th); }

  // Takes `n` steps.
  static void Steps(host::HostVessel &hv, int n) {
    for (int i = 0; i < n; ++i) host::Step(hv);
  }

  // The calls of the last step named `name`, as texts.
  std::vector<std::string> Calls(const std::string &name) { return trace().Filter(name); }
  std::vector<std::string> Calls(const std::vector<std::string> &names) { return trace().Filter(names); }

  // A step with a fresh trace.
  void TracedStep(host::HostVessel &hv) {
    trace().Clear();
    host::Step(hv);
  }
};

}  // namespace tarvex_test
