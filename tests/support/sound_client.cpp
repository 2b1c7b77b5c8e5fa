#include "tests/support/sound_client.h"

#include <gtest/gtest.h>

namespace tarvex_test {

SoundService::SoundService(const char *path) {
  std::string error;
  library_ = host::LoadLibraryPath(path, error);
  if (!library_) ADD_FAILURE() << "cannot load the sound service: " << error;
  if (library_) Find<TarvexSound_KeepCallsFn>("TarvexSound_KeepCalls")(1);  // tests read the calls
}

std::vector<std::string> SoundService::Calls() const {
  auto call = Find<TarvexSound_CallFn>("TarvexSound_Call");
  std::vector<std::string> out;
  for (int i = 0, n = Find<TarvexSound_CallCountFn>("TarvexSound_CallCount")(); i < n; ++i) out.push_back(call(i));
  return out;
}

}  // namespace tarvex_test
