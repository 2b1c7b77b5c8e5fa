// Access to the stand-in sound service from a test: loads "OrbiterSound.dll"
// from its path (as the host process would have it loaded) and finds the
// service's routines by their export names.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "host/harness.h"
#include "sound_service/service_control.h"

namespace tarvex_test {

class SoundService {
 public:
  // Loads the service at `path`; a test fails if it cannot be loaded.
  explicit SoundService(const char *path = TARVEX_SOUND_PATH);
  bool loaded() const { return library_ != nullptr; }

  // A routine of the service by its export name, or null.
  template <typename Fn>
  Fn Find(const char *name) const {
    void *sym = library_ ? host::LibrarySymbol(library_, name) : nullptr;
    Fn f;
    std::memcpy(&f, &sym, sizeof f);
    return f;
  }
  std::vector<std::string> Calls() const;
  void ClearCalls() const { Find<TarvexSound_ClearCallsFn>("TarvexSound_ClearCalls")(); }
  void Advance(double seconds) const { Find<TarvexSound_AdvanceFn>("TarvexSound_Advance")(seconds); }
  bool Playing(int id, int slot) const {
    return Find<TarvexSound_SlotStateFn>("TarvexSound_SlotState")(id, slot, nullptr, nullptr, nullptr) != 0;
  }
  void Reset() const { Find<TarvexSound_ResetFn>("TarvexSound_Reset")(); }

 private:
  void *library_ = nullptr;
};

}  // namespace tarvex_test
