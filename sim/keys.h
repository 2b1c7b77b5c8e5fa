// The host's keys by name, and what the Tarvex does with each of the twenty
// it uses: one table for the script reader, --list keys, the report's
// timeline and docs/scenarios.md.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct KeyName {
  const char *name;    // as a script writes it ("E", "COMMA"); also "OAPI_KEY_E"
  unsigned code;       // the host's scan code
  const char *action;  // what the vessel does with it; "" for a key it does not use
};

const std::vector<KeyName> &Keys();

// A key by its name, case aside ("E", "comma", "OAPI_KEY_E"); 0 if unknown.
unsigned KeyCode(const std::string &name);

// What the vessel does with a key ("engine start or stop"); "" for a key it
// does not use.
const char *KeyAction(unsigned key);

}  // namespace sim
