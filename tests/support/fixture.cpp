#include "tests/support/fixture.h"

#include <fstream>

#include "module/exports.h"
#include "sound/connector.h"

namespace tarvex_test {

host::ModuleApi LinkedModule() { return {nullptr, &ovcInit, &ovcExit, &ModuleDate, &GetModuleVersion}; }

void ModuleTest::SetUp() {
  host::ResetWorld();
  ResetStateRecord();
  ResetSoundConnector();
}

void ModuleTest::TearDown() {
  for (host::HostVessel *hv : vessels_)
    if (host::world().FindVessel(hv)) host::DestroyVessel(api_, *hv);
  vessels_.clear();
}

host::HostVessel &ModuleTest::NewVessel(const std::string &name, bool set_up, const std::vector<std::string> &lines) {
  host::HostVessel &hv = host::AddVessel(name);
  EXPECT_TRUE(host::CreateVessel(api_, hv));
  vessels_.push_back(&hv);
  if (set_up) host::SetUpVessel(hv, lines);
  return hv;
}

std::vector<std::string> ModuleTest::AnimationCalls(const std::vector<UINT> &anims) {
  std::vector<std::string> out;
  for (const std::string &c : trace().Filter("SetAnimation"))
    for (UINT a : anims)
      if (c.rfind("SetAnimation(" + std::to_string(a) + ", ", 0) == 0) out.push_back(c);
  return out;
}

std::vector<std::string> DataLines(const std::string &name) {
  std::ifstream in(TARVEX_SOURCE_DIR "/tests/data/" + name);
  EXPECT_TRUE(in) << "cannot read tests/data/" << name;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

std::string AnimCall(UINT anim, double state) {
  return "SetAnimation(" + host::Args(std::to_string(anim), host::Num(state)) + ")";
}

static std::string Join(const std::vector<std::string> &v) {
  std::string out;
  for (auto &s : v) out += "    " + s + "\n";
  return out;
}

::testing::AssertionResult CallsInOrder(const std::vector<std::string> &actual,
                                        const std::vector<std::string> &expected) {
  size_t at = 0;
  for (const std::string &e : expected) {
    while (at < actual.size() && actual[at] != e) ++at;
    if (at == actual.size())
      return ::testing::AssertionFailure() << "missing (in order): " << e << "\n  expected in order:\n"
                                           << Join(expected) << "  actual:\n"
                                           << Join(actual);
    ++at;
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult CallsEqual(const std::vector<std::string> &actual,
                                      const std::vector<std::string> &expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\n  expected:\n" << Join(expected) << "  actual:\n" << Join(actual);
}

}  // namespace tarvex_test
