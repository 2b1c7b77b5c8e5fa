// Flight-step test support: a vessel set up the host's way and flying, and
// short hands to set the flight state and read the thrusters.
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
    eng_status = 1;
    Fly(hv, 50, 1000);
    host::Step(hv);
    trace().Clear();
    return hv;
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
  // On the ground at this airspeed.
  static void Roll(host::HostVessel &hv, double airspeed) {
    Fly(hv, airspeed, 0);
    hv.ground_contact = true;
  }

  static host::Thruster &Th(THRUSTER_HANDLE th) { return *static_cast<host::Thruster *>(th); }

  static void Steps(host::HostVessel &hv, int n) {
    for (int i = 0; i < n; ++i) host::Step(hv);
  }

  std::vector<std::string> Calls(const std::string &name) { return trace().Filter(name); }
  std::vector<std::string> Calls(const std::vector<std::string> &names) { return trace().Filter(names); }

  // A step with a fresh trace.
  void TracedStep(host::HostVessel &hv) {
    trace().Clear();
    host::Step(hv);
  }
};

}  // namespace tarvex_test
