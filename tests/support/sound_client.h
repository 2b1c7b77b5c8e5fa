// Access to the stand-in sound service from a test: loads "OrbiterSound.dll"
// from its path (as the host process would have it loaded) and finds the
// service's inspection routines by name.
#pragma once

#include <string>
#include <vector>

#include "sound_service/service_control.h"

namespace tarvex_test {

class SoundService {
 public:
  // Loads the service at `path`; a test fails if it cannot be loaded.
  explicit SoundService(const char *path = TARVEX_SOUND_PATH);
  bool loaded() const { return library_ != nullptr; }

  std::vector<std::string> Calls() const;
  void ClearCalls() const { clear_(); }
  void Advance(double seconds) const { advance_(seconds); }
  // Whether the slot plays, with its loop flag, volume and frequency.
  bool Playing(int id, int slot, int *loop = nullptr, int *volume = nullptr, int *frequency = nullptr) const {
    return slot_state_(id, slot, loop, volume, frequency) != 0;
  }
  std::string SlotFile(int id, int slot) const {
    const char *f = slot_file_(id, slot);
    return f ? f : "";
  }
  void Reset() const { reset_(); }

 private:
  void *library_ = nullptr;
  TarvexSound_CallCountFn count_ = nullptr;
  TarvexSound_CallFn call_ = nullptr;
  TarvexSound_ClearCallsFn clear_ = nullptr;
  TarvexSound_AdvanceFn advance_ = nullptr;
  TarvexSound_SlotStateFn slot_state_ = nullptr;
  TarvexSound_SlotFileFn slot_file_ = nullptr;
  TarvexSound_ResetFn reset_ = nullptr;
};

}  // namespace tarvex_test
