// The stand-in sound service on its own: identifiers per vessel handle, and
// how long a slot plays (a loop until stopped, a sound played once for its
// file's length or a short default).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "host/harness.h"
#include "tests/support/sound_client.h"
#include "tests/support/work_dir.h"

namespace {

extern "C" {
typedef int (*GetIdFn)(void *);
typedef int (*LoadFn)(int, int, char *, int);
typedef int (*PlayFn)(int, int, int, int, int);
typedef int (*StopFn)(int, int);
}

// A PCM WAV file whose data lasts `seconds` at 1000 bytes per second; with
// `canonical` false a "LIST" chunk stands where the data chunk should be.
void WriteWav(const std::string &path, double seconds, bool canonical = true) {
  FILE *f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) std::fputc((v >> (8 * i)) & 0xff, f);
  };
  auto u16 = [&](uint16_t v) { std::fputc(v & 0xff, f), std::fputc(v >> 8, f); };
  const uint32_t data = (uint32_t)(seconds * 1000);
  std::fputs("RIFF", f), u32(36 + data), std::fputs("WAVE", f);
  std::fputs("fmt ", f), u32(16), u16(1), u16(1), u32(1000), u32(1000), u16(1), u16(8);
  std::fputs(canonical ? "data" : "LIST", f), u32(data);
  for (uint32_t i = 0; i < data; ++i) std::fputc(128, f);
  std::fclose(f);
}

class OrbiterSoundService : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
    std::string error;
    void *lib = host::LoadLibraryPath(TARVEX_SOUND_PATH, error);  // the service already loaded
    ASSERT_NE(lib, nullptr) << error;
    get_id_ = (GetIdFn)host::LibrarySymbol(lib, "GetVesselSoundID3");
    load_ = (LoadFn)host::LibrarySymbol(lib, "LoadVesselWaveOBSound3");
    play_ = (PlayFn)host::LibrarySymbol(lib, "PlayVesselWaveOBSound3");
    stop_ = (StopFn)host::LibrarySymbol(lib, "StopVesselWave3");
    std::filesystem::create_directory("Sound");
    WriteWav("Sound/half.wav", 0.5);
    WriteWav("Sound/odd.wav", 0.5, false);
  }
  int Load(int slot, const char *file) { return load_(0, slot, const_cast<char *>(file), 2); }
  tarvex_test::TempWorkDir dir_;
  tarvex_test::SoundService sound_;
  GetIdFn get_id_ = nullptr;
  LoadFn load_ = nullptr;
  PlayFn play_ = nullptr;
  StopFn stop_ = nullptr;
};

TEST_F(OrbiterSoundService, HowLongASlotPlays) {
  ASSERT_EQ(get_id_(this), 0);
  const struct {
    const char *what;
    std::function<void()> act;
    double wait;
    bool playing;
    // clang-format off
  } rows[] = {
      {"a loop plays on", [&] { Load(1, "Sound\\none.wav"), play_(0, 1, 1, 255, 0); }, 100, true},
      {"until it is stopped", [&] { stop_(0, 1); }, 0, false},
      {"a sound without a file plays once for a second", [&] { play_(0, 1, 0, 255, 0); }, 0.99, true},
      {"and then stops", [] {}, 0.02, false},
      {"a sound with a file plays for the file's length", [&] { Load(2, "Sound\\half.wav"), play_(0, 2, 0, 255, 0); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"playing it again while it plays does not lengthen it", [&] { play_(0, 2, 0, 255, 0), sound_.Advance(0.3), play_(0, 2, 0, 200, 0); }, 0.25, false},
      {"a loop told to play once runs once from then", [&] { play_(0, 2, 1, 255, 0), sound_.Advance(50), play_(0, 2, 0, 255, 0); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"a file in another layout plays for the default second", [&] { Load(3, "Sound\\odd.wav"), play_(0, 3, 0, 255, 0); }, 0.9, true},
      {"reloading a slot silences it", [&] { Load(3, "Sound\\odd.wav"); }, 0, false},
      {"an empty slot plays nothing", [&] { play_(0, 4, 1, 255, 0); }, 0, false},
  };
  // clang-format on
  for (const auto &r : rows) {
    r.act();
    sound_.Advance(r.wait);
    bool any = false;
    for (int s = 1; s <= 4; ++s) any = any || sound_.Playing(0, s);
    EXPECT_EQ(any, r.playing) << r.what;
  }
}

// The call record is kept only on request (the test client asks for it);
// without it the service works the same and records nothing, across resets.
TEST_F(OrbiterSoundService, CallsAreRecordedOnlyWhileAsked) {
  std::string error;
  auto keep = reinterpret_cast<TarvexSound_KeepCallsFn>(
      host::LibrarySymbol(host::LoadLibraryPath(TARVEX_SOUND_PATH, error), "TarvexSound_KeepCalls"));
  ASSERT_NE(keep, nullptr);
  ASSERT_EQ(get_id_(this), 0);
  keep(0);
  sound_.Reset();
  EXPECT_EQ(get_id_(this), 0);
  EXPECT_EQ(Load(1, "Sound\\half.wav"), 1);
  EXPECT_EQ(play_(0, 1, 1, 255, 0), 1);
  EXPECT_TRUE(sound_.Playing(0, 1));
  EXPECT_TRUE(sound_.Calls().empty());
  keep(1);
  stop_(0, 1);
  EXPECT_EQ(sound_.Calls(), std::vector<std::string>{"StopVesselWave3(0, 1)"});
}

}  // namespace
