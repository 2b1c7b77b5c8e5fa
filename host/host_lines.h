// The host's own lines in a vessel's scenario block: what the host saves for
// every vessel before the vessel's own lines, and reads back through
// ParseScenarioLineEx. None of these keys begins with a key of the module's
// own lines, so the module hands every one of them on to the host.
#pragma once

#include <string>
#include <vector>

#include "host/world.h"

namespace host {

// The host's standard lines for `hv`, in the order written:
//   STATUS Landed|Flying, ALT <m>, AIRSPEED <m/s>, PITCH <deg>, BANK <deg>,
//   HEADING <deg>, FUEL <kg> (only once a propellant resource exists), and
//   once the flight host's physics flies the vessel: POS <x y z> (world, m),
//   VEL <x y z> (world, m/s), ANGVEL <x y z> (vessel frame, rad/s).
std::vector<std::string> HostLines(const HostVessel &hv);

// Reads one host line into `hv`; false (and nothing changed) when the key is
// not one of the host's or its value cannot be read.
bool ParseHostLine(HostVessel &hv, const char *line);

// The same, with the verdict: read; read but changed on the way (a tank
// filled to its capacity), said in `why`; not one of the host's keys; or one
// of its keys with a value that cannot be read (trailing characters
// included) or a state that cannot be (a body far below the ground, faster
// than 1e5 m/s, turning faster than 100 rad/s, ...), which leaves `hv`
// unchanged and says why in `why`.
enum class HostLineVerdict { kRead, kUnknown, kRefused, kNoted };
HostLineVerdict CheckHostLine(HostVessel &hv, const char *line, std::string &why);

}  // namespace host
