#include "tests/support/sound_client.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host/harness.h"

namespace tarvex_test {

namespace {
template <typename Fn>
Fn Find(void *lib, const char *name) {
  void *sym = host::LibrarySymbol(lib, name);
  Fn f;
  std::memcpy(&f, &sym, sizeof f);
  return f;
}
}  // namespace

SoundService::SoundService(const char *path) {
  std::string error;
  library_ = host::LoadLibraryPath(path, error);
  if (!library_) {
    ADD_FAILURE() << "cannot load the sound service: " << error;
    return;
  }
  count_ = Find<TarvexSound_CallCountFn>(library_, "TarvexSound_CallCount");
  call_ = Find<TarvexSound_CallFn>(library_, "TarvexSound_Call");
  clear_ = Find<TarvexSound_ClearCallsFn>(library_, "TarvexSound_ClearCalls");
  advance_ = Find<TarvexSound_AdvanceFn>(library_, "TarvexSound_Advance");
  slot_state_ = Find<TarvexSound_SlotStateFn>(library_, "TarvexSound_SlotState");
  slot_file_ = Find<TarvexSound_SlotFileFn>(library_, "TarvexSound_SlotFile");
  reset_ = Find<TarvexSound_ResetFn>(library_, "TarvexSound_Reset");
  Find<TarvexSound_KeepCallsFn>(library_, "TarvexSound_KeepCalls")(1);  // tests read the calls
}

std::vector<std::string> SoundService::Calls() const {
  std::vector<std::string> out;
  int n = count_();
  for (int i = 0; i < n; ++i) out.push_back(call_(i));
  return out;
}

}  // namespace tarvex_test
