// Loading libraries the way the host does: failures name the file and leave
// no half-filled module record; exports are found by their plain names only.
#include "host/harness.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/fixture.h"

namespace {

TEST(HarnessLoading, FailuresNameTheFileAndExportsHavePlainNames) {
  const std::string missing = std::string(TARVEX_BINARY_DIR) + "/bin/no-such-module.dll";
  host::ModuleApi api;
  std::string error;
  EXPECT_FALSE(host::LoadModule(missing, api, error));
  EXPECT_NE(error.find("cannot load module " + missing), std::string::npos) << error;
  EXPECT_FALSE(host::LoadModule(TARVEX_SOUND_NO_GETID_PATH, api, error)) << "loads, but is no vessel module";
  EXPECT_NE(error.find("has no ovcInit export"), std::string::npos) << error;
  EXPECT_ALL(!api.library, !api.ovcInit, !api.ovcExit, !api.ModuleDate, !api.GetModuleVersion);
  EXPECT_EQ(host::LoadLibraryPath(missing, error), nullptr);
  EXPECT_NE(error.find("cannot load " + missing), std::string::npos) << error;

  ASSERT_TRUE(host::LoadModule(TARVEX_MODULE_PATH, api, error)) << error;
  EXPECT_EQ(host::LibrarySymbol(api.library, "ovcInit"), reinterpret_cast<void *>(api.ovcInit));
  EXPECT_STREQ(api.ModuleDate(), "Mar  3 2011");
  for (const char *decorated : {"_ovcInit", "ovcInit@8", "_GetModuleVersion", "GetModuleVersion@0"})
    EXPECT_EQ(host::LibrarySymbol(api.library, decorated), nullptr) << decorated;
  host::UnloadModule(api);
  EXPECT_EQ(api.library, nullptr);
}

TEST(HostDates, Date2IntReadsTheCompilerDateAndRefusesOthers) {
  const struct {
    const char *date;
    int value;
  } rows[] = {{"Mar  3 2011", 20110303}, {"Dec 31 9999", 99991231}, {"Dec 32 2011", 0},
              {"Dec  0 2011", 0},        {"Abc  3 2011", 0},        {"Mar  3 10000", 0}};
  for (const auto &r : rows) EXPECT_EQ(Date2Int(r.date), r.value) << r.date;
}

}  // namespace
