#include "module/handles.h"

const double RAD = 0.017453292519943295;

MESHHANDLE hmesh_exterior = nullptr;
MESHHANDLE hmesh_cockpit = nullptr;
MESHHANDLE hmesh_cockpit_n = nullptr;
MESHHANDLE hmesh_status = nullptr;
MESHHANDLE hmesh_invisible = nullptr;

THRUSTER_HANDLE th_main = nullptr;
THRUSTER_HANDLE th_reheat = nullptr;
THRUSTER_HANDLE th_hover[2] = {nullptr, nullptr};
LightEmitter *spot_light = nullptr;

BEACONLIGHTSPEC beacon_nav_red = {};
BEACONLIGHTSPEC beacon_nav_green = {};
BEACONLIGHTSPEC beacon_strobe_left = {};
BEACONLIGHTSPEC beacon_strobe_right = {};
BEACONLIGHTSPEC beacon_tail_right = {};
BEACONLIGHTSPEC beacon_tail_left = {};
BEACONLIGHTSPEC beacon_anticoll_top = {};
BEACONLIGHTSPEC beacon_anticoll_bottom = {};
BEACONLIGHTSPEC beacon_landing = {};
