// Loading libraries the way the host does, through the platform's own loader
// (LoadLibrary and GetProcAddress on Windows): failures are reported with
// the file named, never by a crash or a half-filled module record.
#include "host/harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HarnessLoading, FailuresNameTheFileAndLeaveNoModuleBehind) {
  const std::string missing = std::string(TARVEX_BINARY_DIR) + "/bin/no-such-module.dll";
  host::ModuleApi api;
  std::string error;
  EXPECT_FALSE(host::LoadModule(missing, api, error));
  EXPECT_NE(error.find("cannot load module " + missing), std::string::npos) << error;
  EXPECT_EQ(api.library, nullptr);
  EXPECT_EQ(api.ovcInit, nullptr);

  // A library that loads but is no vessel module: refused, and its record
  // left empty.
  error.clear();
  EXPECT_FALSE(host::LoadModule(TARVEX_SOUND_NO_GETID_PATH, api, error));
  EXPECT_NE(error.find("has no ovcInit export"), std::string::npos) << error;
  EXPECT_EQ(api.library, nullptr);
  EXPECT_EQ(api.ovcExit, nullptr);
  EXPECT_EQ(api.ModuleDate, nullptr);
  EXPECT_EQ(api.GetModuleVersion, nullptr);

  error.clear();
  EXPECT_EQ(host::LoadLibraryPath(missing, error), nullptr);
  EXPECT_NE(error.find("cannot load " + missing), std::string::npos) << error;
  EXPECT_EQ(host::LibrarySymbol(nullptr, "ovcInit"), nullptr);
}

TEST(HarnessLoading, ExportsAreFoundByTheirPlainNamesOnly) {
  host::ModuleApi api;
  std::string error;
  ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api, error)) << error;
  EXPECT_EQ(host::LibrarySymbol(api.library, "ovcInit"), reinterpret_cast<void *>(api.ovcInit));
  EXPECT_NE(api.ModuleDate, nullptr);
  EXPECT_STREQ(api.ModuleDate(), "Mar  3 2011");
  // Decorated forms of the names are not exported.
  for (const char *decorated : {"_ovcInit", "ovcInit@8", "_GetModuleVersion", "GetModuleVersion@0"})
    EXPECT_EQ(host::LibrarySymbol(api.library, decorated), nullptr) << decorated;
  host::UnloadModule(api);
  EXPECT_EQ(api.library, nullptr);
}

}  // namespace
