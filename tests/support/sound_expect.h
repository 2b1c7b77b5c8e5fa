// What the sound tests expect to see: the calls a vessel's post-creation
// makes at the stand-in service, the sound log's texts and the gear-down
// touchdown points for a strut extension.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/world.h"

namespace tarvex_test {

// The service calls of one vessel's post-creation, identifier `id`: the
// identifier request, one replacement, eleven loads in slot-table order, then
// option 3 off and option 12 on and the ten options, all for `id`.
inline std::vector<std::string> PostCreationServiceCalls(int id) {
  const std::string i = std::to_string(id);
  std::vector<std::string> calls = {"GetVesselSoundID3(vessel)",
                                    "ReplaceStockOBSound3(" + i + ", \"Sound\\MySound\\Attmode0.wav\", 14)"};
  const struct {
    int slot;
    const char *file;
    int mode;
  } loads[] = {{10, "TarvexB-Eng.wav", 3},   {2, "EngStop.wav", 2},         {3, "EngStart.wav", 2},
               {4, "TarvexA-EngExt.wav", 2}, {5, "TarvexA-EngExtP.wav", 2}, {6, "Warning.wav", 1},
               {11, "TarvexB-Gear.wav", 2},  {7, "TarvexB-Canopy.wav", 2},  {12, "TarvexB-Cover.wav", 2},
               {13, "TarvexB-After.wav", 3}};
  for (const auto &l : loads)
    calls.push_back("LoadVesselWaveOBSound3(" + i + ", " + std::to_string(l.slot) + ", \"Sound\\Pelgar-Tarvex\\" +
                    l.file + "\", " + std::to_string(l.mode) + ")");
  calls.push_back("LoadVesselWaveOBSound3(" + i + ", 14, \"Sound\\Vessel\\crash.wav\", 3)");
  const int options[][2] = {{3, 0},  {12, 1}, {5, 0},  {6, 0}, {1, 0}, {13, 1},
                            {14, 0}, {16, 1}, {17, 0}, {7, 0}, {4, 1}, {10, 1}};
  for (const auto &o : options)
    calls.push_back("SoundOption3(" + i + ", " + std::to_string(o[0]) + ", " + std::to_string(o[1]) + ")");
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

// Number of entries in a log text.
inline size_t LogEntries(const std::string &log) {
  size_t n = 0;
  for (size_t at = log.find(kSoundLogSeparator); at != std::string::npos; at = log.find(kSoundLogSeparator, at + 1))
    ++n;
  return n;
}

// The gear-down touchdown points for strut extension 0.5 (nose, left main,
// right main).
inline void ExpectGearDownTouchdownAtHalfStrut(const host::HostVessel &hv) {
  ASSERT_TRUE(hv.touchdown_set);
  const double expected[3][3] = {
      {0, -2.41164, 3.10011}, {-1.285973, -2.415247, -2.175774}, {1.285973, -2.415247, -2.175774}};
  for (int p = 0; p < 3; ++p) {
    EXPECT_NEAR(hv.touchdown[p].x, expected[p][0], 1e-12) << "point " << p;
    EXPECT_NEAR(hv.touchdown[p].y, expected[p][1], 1e-12) << "point " << p;
    EXPECT_NEAR(hv.touchdown[p].z, expected[p][2], 1e-12) << "point " << p;
  }
}

}  // namespace tarvex_test
