// A fresh, empty working directory for tests that write files where the
// host's working directory is (the sound log): entered on construction, left
// and removed on destruction.
#pragma once

#include <string>

namespace tarvex_test {

class TempWorkDir {
 public:
  TempWorkDir();
  ~TempWorkDir();
  TempWorkDir(const TempWorkDir &) = delete;
  TempWorkDir &operator=(const TempWorkDir &) = delete;

  const std::string &path() const { return path_; }

 private:
  std::string path_, previous_;
};

// The whole content of a file, or an empty text when it cannot be read.
std::string ReadWholeFile(const std::string &path);

}  // namespace tarvex_test
