#include "tests/support/work_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvex_test {

TempWorkDir::TempWorkDir() {
  std::error_code ec;
  previous_ = std::filesystem::current_path(ec).string();
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "tarvex-work-XXXXXX").string();
  if (!mkdtemp(&pattern[0])) {
    ADD_FAILURE() << "cannot create a temporary working directory";
    return;
  }
  path_ = pattern;
  if (chdir(path_.c_str()) != 0) ADD_FAILURE() << "cannot enter " << path_;
}

TempWorkDir::~TempWorkDir() {
  if (!previous_.empty() && chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

bool FileExists(const std::string &path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace tarvex_test
