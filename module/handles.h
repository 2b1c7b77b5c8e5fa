// Module-level handles and records shared by every vessel of the class: the
// meshes loaded by the constructor and the thrusters, spot light and beacon
// records kept by class set-up. A later vessel's set-up replaces them.
#pragma once

#include "module/orbiter_api.h"

// Degrees to radians.
extern const double RAD;

// The one propellant tank's capacity (kg): class set-up creates it, the
// flight step refuels to it and reads the fuel gauge against it.
const double kTankCapacity = 20000.0;
// Where the nose spot light stands; the landing beacon stands there too.
extern const VECTOR3 kSpotLightPos;

// Meshes, reloaded by every constructor.
extern MESHHANDLE hmesh_exterior;   // "Pelgar\TarvexB"
extern MESHHANDLE hmesh_cockpit;    // "Pelgar\TarvexB-Cpit"
extern MESHHANDLE hmesh_cockpit_n;  // "Pelgar\TarvexB-Cpit_n"
extern MESHHANDLE hmesh_status;     // "Pelgar\TarvexB-status"
extern MESHHANDLE hmesh_invisible;  // "Pelgar\TarvexB-invisible"

// Thrusters and the spot light of class set-up.
extern THRUSTER_HANDLE th_main;      // main engine, group THGROUP_MAIN
extern THRUSTER_HANDLE th_reheat;    // reheat flame, group THGROUP_USER
extern THRUSTER_HANDLE th_hover[2];  // [0] rear, [1] front lift thruster
extern LightEmitter *spot_light;
// The vessel whose class set-up made the thrusters and the spot light above.
// When that vessel is destroyed the handles are cleared, so the vessels that
// remain never reach into a vessel that is gone.
extern const VESSEL *handles_owner;

// Beacon records; the host keeps their addresses and reads them every frame,
// the flight step switches their active flags in place.
extern BEACONLIGHTSPEC beacon_nav_red;
extern BEACONLIGHTSPEC beacon_nav_green;
extern BEACONLIGHTSPEC beacon_strobe_left;
extern BEACONLIGHTSPEC beacon_strobe_right;
extern BEACONLIGHTSPEC beacon_tail_right;
extern BEACONLIGHTSPEC beacon_tail_left;
extern BEACONLIGHTSPEC beacon_anticoll_top;
extern BEACONLIGHTSPEC beacon_anticoll_bottom;
extern BEACONLIGHTSPEC beacon_landing;

// The nine records in the order class set-up hands them to the host.
extern BEACONLIGHTSPEC *const beacon_records[9];
// Fills every beacon record with its shape, position, colour and timing, all
// beacons unlit. The positions and colours are module constants, so the
// addresses the records carry stay valid for the module's life.
void FillBeaconRecords();
