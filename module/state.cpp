#include "module/state.h"

#define TARVEX_DEFINE_STATE(type, name, init, meaning) type name = init;
TARVEX_STATE_RECORD(TARVEX_DEFINE_STATE)
#undef TARVEX_DEFINE_STATE

void ResetStateRecord() {
#define TARVEX_RESET_STATE(type, name, init, meaning) name = init;
  TARVEX_STATE_RECORD(TARVEX_RESET_STATE)
#undef TARVEX_RESET_STATE
}
