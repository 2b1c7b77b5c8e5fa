// Test support: a fresh host world and module state per test, vessels made
// the way the host makes them, and a few project assertions over the trace.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/harness.h"
#include "module/shuttlepb.h"
#include "module/state.h"

namespace tarvex_test {

// The module's four entry points, linked into the test.
host::ModuleApi LinkedModule();

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates a vessel through ovcInit; with `set_up` the host then calls
  // clbkSetClassCaps, clbkLoadStateEx (with `lines`) and clbkPostCreation.
  host::HostVessel &NewVessel(const std::string &name = "Tarvex1", bool set_up = true,
                              const std::vector<std::string> &lines = {});
  static ShuttlePB &Ship(host::HostVessel &hv) { return *static_cast<ShuttlePB *>(hv.vessel); }
  host::Trace &trace() { return host::world().trace; }
  // The SetAnimation calls in the trace for the given animations, in order.
  std::vector<std::string> AnimationCalls(const std::vector<UINT> &anims);
  std::vector<std::string> AnimationCalls(UINT anim) { return AnimationCalls(std::vector<UINT>{anim}); }

  host::ModuleApi api_ = LinkedModule();
  std::vector<host::HostVessel *> vessels_;
};

// The trace text of SetAnimation(anim, state).
std::string AnimCall(UINT anim, double state);

// Success when `expected` appears in the trace's texts in this order (other
// calls may come between them).
::testing::AssertionResult CallsInOrder(const std::vector<std::string> &actual,
                                        const std::vector<std::string> &expected);

// The lines of a data file under tests/data, without blank lines and "#"
// comments.
std::vector<std::string> DataLines(const std::string &name);

// Success when the two call lists are equal; on failure both are printed.
::testing::AssertionResult CallsEqual(const std::vector<std::string> &actual, const std::vector<std::string> &expected);

// Success when every condition holds; a failure numbers those that do not.
template <class... T>
::testing::AssertionResult AllHold(const char *text, const T &...conditions) {
  const bool holds[] = {static_cast<bool>(conditions)...};
  std::string failing;
  for (size_t i = 0; i < sizeof...(T); ++i) failing += holds[i] ? "" : " #" + std::to_string(i + 1);
  if (failing.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "condition" << failing << " of (" << text << ") fails";
}

}  // namespace tarvex_test

// EXPECT_ALL(a == 1, Has(text, "x")): unlike `a && b`, says which failed.
#define EXPECT_ALL(...) GTEST_ASSERT_(::tarvex_test::AllHold(#__VA_ARGS__, __VA_ARGS__), GTEST_NONFATAL_FAILURE_)
#define ASSERT_ALL(...) GTEST_ASSERT_(::tarvex_test::AllHold(#__VA_ARGS__, __VA_ARGS__), GTEST_FATAL_FAILURE_)
