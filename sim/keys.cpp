#include "sim/keys.h"

#include <strings.h>

#include "module/orbiter_api.h"

namespace sim {

const std::vector<KeyName> &Keys() {
  static const std::vector<KeyName> keys = {
      {"ESCAPE", OAPI_KEY_ESCAPE, ""},
      {"1", OAPI_KEY_1, "struts shorter: strut extension 0.05 less, down to 0"},
      {"2", OAPI_KEY_2, "clear the latched gear-damage warning"},
      {"3", OAPI_KEY_3, "less strut bounce: one step less, down to 0"},
      {"4", OAPI_KEY_4, "more strut bounce: one step more, up to 3"},
      {"5", OAPI_KEY_5, "less strut damping: 0.01 less, down to 0"},
      {"6", OAPI_KEY_6, "more strut damping: 0.01 more, up to 0.5"},
      {"7", OAPI_KEY_7, "reheat on or off (burns at full main thrust with the nozzle aft)"},
      {"8", OAPI_KEY_8, "nozzle a step aft: 0.1 toward 0"},
      {"9", OAPI_KEY_9, "nozzle a step down: 0.1 toward 1.2"},
      {"0", OAPI_KEY_0, "nozzle drive: aft to 0 when past 0.6, else down to 1.0"},
      {"MINUS", OAPI_KEY_MINUS, ""},
      {"EQUALS", OAPI_KEY_EQUALS, ""},
      {"BACK", OAPI_KEY_BACK, ""},
      {"TAB", OAPI_KEY_TAB, ""},
      {"Q", OAPI_KEY_Q, ""},
      {"W", OAPI_KEY_W, ""},
      {"E", OAPI_KEY_E, "engine start or stop, on the ground only"},
      {"R", OAPI_KEY_R, ""},
      {"T", OAPI_KEY_T, ""},
      {"Y", OAPI_KEY_Y, ""},
      {"U", OAPI_KEY_U, ""},
      {"I", OAPI_KEY_I, ""},
      {"O", OAPI_KEY_O, ""},
      {"P", OAPI_KEY_P, ""},
      {"LBRACKET", OAPI_KEY_LBRACKET, ""},
      {"RBRACKET", OAPI_KEY_RBRACKET, ""},
      {"RETURN", OAPI_KEY_RETURN, ""},
      {"A", OAPI_KEY_A, ""},
      {"S", OAPI_KEY_S, "spot light on or off"},
      {"D", OAPI_KEY_D, ""},
      {"F", OAPI_KEY_F, ""},
      {"G", OAPI_KEY_G, "gear up or down, in the air only"},
      {"H", OAPI_KEY_H, ""},
      {"J", OAPI_KEY_J, "refuelling request: fills the tank when stopped with the engine off"},
      {"K", OAPI_KEY_K, "exterior lights off or on"},
      {"L", OAPI_KEY_L, ""},
      {"SEMICOLON", OAPI_KEY_SEMICOLON, ""},
      {"APOSTROPHE", OAPI_KEY_APOSTROPHE, ""},
      {"GRAVE", OAPI_KEY_GRAVE, ""},
      {"BACKSLASH", OAPI_KEY_BACKSLASH, ""},
      {"Z", OAPI_KEY_Z, ""},
      {"X", OAPI_KEY_X, ""},
      {"C", OAPI_KEY_C, "canopy open or close"},
      {"V", OAPI_KEY_V, "cockpit view or open view"},
      {"B", OAPI_KEY_B, "speed brake out or in"},
      {"N", OAPI_KEY_N, ""},
      {"M", OAPI_KEY_M, ""},
      {"COMMA", OAPI_KEY_COMMA, "left wheel brake off"},
      {"PERIOD", OAPI_KEY_PERIOD, "right wheel brake off"},
      {"SLASH", OAPI_KEY_SLASH, ""},
      {"MULTIPLY", OAPI_KEY_MULTIPLY, ""},
      {"SPACE", OAPI_KEY_SPACE, ""},
      {"F1", OAPI_KEY_F1, ""},
      {"F2", OAPI_KEY_F2, ""},
      {"F3", OAPI_KEY_F3, ""},
      {"F4", OAPI_KEY_F4, ""},
      {"F5", OAPI_KEY_F5, ""},
      {"F6", OAPI_KEY_F6, ""},
      {"F7", OAPI_KEY_F7, ""},
      {"F8", OAPI_KEY_F8, ""},
      {"F9", OAPI_KEY_F9, ""},
      {"F10", OAPI_KEY_F10, ""},
  };
  return keys;
}

unsigned KeyCode(const std::string &name) {
  std::string n = name;
  if (n.size() > 9 && strncasecmp(n.c_str(), "OAPI_KEY_", 9) == 0) n = n.substr(9);
  for (const KeyName &k : Keys())
    if (strcasecmp(n.c_str(), k.name) == 0) return k.code;
  return 0;
}

const char *KeyAction(unsigned key) {
  for (const KeyName &k : Keys())
    if (k.code == key) return k.action;
  return "";
}

}  // namespace sim
