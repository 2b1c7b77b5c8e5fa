#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace tarvex_test {

namespace fs = std::filesystem;

TempWorkDir::TempWorkDir() {
  std::error_code ec;
  previous_ = fs::current_path(ec).string();
  // A new directory under a random name: creating it fails when the name is
  // taken, so no two tests share one.
  std::mt19937_64 random(std::random_device{}());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    fs::path candidate = fs::temp_directory_path(ec) / ("tarvex-work-" + std::to_string(random()));
    if (fs::create_directory(candidate, ec)) path_ = candidate.string();
  }
  if (!path_.empty()) fs::current_path(path_, ec);
  if (path_.empty() || ec) ADD_FAILURE() << "cannot make and enter a working directory";
}

TempWorkDir::~TempWorkDir() {
  std::error_code ec;
  if (!previous_.empty()) fs::current_path(previous_, ec);
  if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string &path) {
  // Text mode: files written in text mode have "\r\n" line ends on Windows,
  // read back as "\n".
  std::ifstream in(path);
  std::ostringstream os;
  if (in) os << in.rdbuf();
  return os.str();
}

}  // namespace tarvex_test
