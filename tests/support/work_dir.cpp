#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace tarvex_test {

TempWorkDir::TempWorkDir() {
  namespace fs = std::filesystem;
  std::error_code ec;
  previous_ = fs::current_path(ec).string();
  const fs::path base = fs::temp_directory_path(ec);
  // A new directory under a random name; creating it fails when the name is
  // taken, so no two tests share one.
  std::random_device seed;
  std::mt19937_64 random((uint64_t(seed()) << 32) ^ seed());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::ostringstream name;
    name << "tarvex-work-" << std::hex << random();
    fs::path candidate = base / name.str();
    if (fs::create_directory(candidate, ec)) path_ = candidate.string();
  }
  if (path_.empty()) {
    ADD_FAILURE() << "cannot create a temporary working directory under " << base.string();
    return;
  }
  fs::current_path(path_, ec);
  if (ec) ADD_FAILURE() << "cannot enter " << path_ << ": " << ec.message();
}

TempWorkDir::~TempWorkDir() {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!previous_.empty()) {
    fs::current_path(previous_, ec);
    if (ec) ADD_FAILURE() << "cannot return to " << previous_ << ": " << ec.message();
  }
  if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string &path) {
  // Text mode: the files read here are text files written in text mode,
  // whose line ends are "\r\n" on Windows and read back as "\n".
  std::ifstream in(path);
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
