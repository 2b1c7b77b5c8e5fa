// The lists tarvex-sim prints (--list): the keys, the telemetry columns, the
// scenario and script lines and the sound slots, each from the table the
// readers use.
#pragma once

#include <string>

namespace sim {

// The list named `which` ("keys", "columns", "lines", "sounds"), or the
// names of the lists for "". Empty for an unknown name.
std::string ListText(const std::string &which);

// "keys, columns, lines, sounds".
const char *ListNames();

}  // namespace sim
