// What the sound tests expect: the service calls of a vessel's post-creation,
// the sound log's texts and the gear-down touchdown points.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fixture.h"

namespace tarvex_test {

// The service calls of one vessel's post-creation, identifier `id`, as
// tests/data/post_creation_sounds.txt lists them.
inline std::vector<std::string> PostCreationServiceCalls(int id) {
  std::vector<std::string> calls = DataLines("post_creation_sounds.txt");
  for (std::string &c : calls)
    if (c.find("(ID, ") != std::string::npos) c.replace(c.find("(ID, ") + 1, 2, std::to_string(id));
  return calls;
}

const char kSoundLogName[] = "OrbiterSound_Log.txt";
const char kSoundLogHeader[] = "Orbiter Sound Log Started\n*****************************\n\n";
const char kSoundLogSeparator[] = "--------------------------------------\n";
const char kNotInstalled[] =
    "ERR01= Vessel->ConnectToOrbiterSoundDLL3: Unable to connect to OrbiterSound 3.5 - not installed or activated";
const char kNullHandle[] = "ERR01= Vessel->ConnectToOrbiterSoundDLL3: A vessel passed a NULL handle to this function";
const char kRoutinesMissing[] = "ERR02= ConnectToOrbiterSoundDLL3: Unable to find routines missing OrbiterSound3.5 ?";
const char kNoGetId[] = "ERR03= unable to connect to GetMyID, Older OrbiterSound.dll ?";

// A connect failure's log entry: the separator, the message and a blank line.
inline std::string FailureEntry(const char *message) { return std::string(kSoundLogSeparator) + message + "\n\n"; }

inline size_t LogEntries(const std::string &log) {
  size_t n = 0;
  for (size_t at = log.find(kSoundLogSeparator); at != std::string::npos; at = log.find(kSoundLogSeparator, at + 1))
    ++n;
  return n;
}

// The touchdown points (nose, left main, right main) for strut extension 0.5.
inline void ExpectGearDownTouchdownAtHalfStrut(const host::HostVessel &hv) {
  ASSERT_TRUE(hv.touchdown_set);
  const VECTOR3 expected[3] = {_V(0, -2.41164, 3.10011), _V(-1.285973, -2.415247, -2.175774),
                               _V(1.285973, -2.415247, -2.175774)};
  for (int p = 0; p < 3; ++p)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(hv.touchdown[p].data[i], expected[p].data[i], 1e-12) << "point " << p;
}

}  // namespace tarvex_test
