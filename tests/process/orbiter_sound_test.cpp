// The stand-in sound service on its own: how long a slot plays (a loop until
// stopped, a sound played once for its file's length or a short default).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "tests/support/sound_client.h"
#include "tests/support/work_dir.h"

namespace {

// A PCM WAV file whose data lasts `seconds` at 100000 bytes per second; with
// `canonical` false a "LIST" chunk stands where the data chunk should be.
void WriteWav(const std::string &path, double seconds, bool canonical) {
  FILE *f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) std::fputc((v >> (8 * i)) & 0xff, f);
  };
  const uint32_t rate = 100000, data = (uint32_t)(seconds * rate);
  std::fputs("RIFF", f), u32(36 + data), std::fputs("WAVE", f), std::fputs("fmt ", f), u32(16);
  u32(0x00010001), u32(rate), u32(rate), u32(0x00080001);  // PCM, mono, 8 bits
  std::fputs(canonical ? "data" : "LIST", f), u32(data);
  for (uint32_t i = 0; i < data; ++i) std::fputc(128, f);
  std::fclose(f);
}

TEST(OrbiterSoundService, HowLongASlotPlays) {
  tarvex_test::TempWorkDir dir;
  tarvex_test::SoundService sound;
  ASSERT_TRUE(sound.loaded());
  sound.Reset();
  auto get_id = sound.Find<int (*)(void *)>("GetVesselSoundID3");
  auto load = sound.Find<int (*)(int, int, const char *, int)>("LoadVesselWaveOBSound3");
  auto play = sound.Find<int (*)(int, int, int, int, int)>("PlayVesselWaveOBSound3");
  auto stop = sound.Find<int (*)(int, int)>("StopVesselWave3");
  std::filesystem::create_directory("Sound");
  WriteWav("Sound/half.wav", 0.5, true);
  WriteWav("Sound/odd.wav", 0.5, false);
  ASSERT_EQ(get_id(&dir), 0);
  const struct {
    const char *what;
    std::function<void()> act;
    double wait;
    bool playing;
    // clang-format off
  } rows[] = {
      {"a loop plays on", [&] { load(0, 1, "Sound\\none.wav", 2), play(0, 1, 1, 255, 0); }, 100, true},
      {"until it is stopped", [&] { stop(0, 1); }, 0, false},
      {"a sound without a file plays once for a second", [&] { play(0, 1, 0, 255, 0); }, 0.99, true},
      {"and then stops", [] {}, 0.02, false},
      {"a sound with a file plays for the file's length", [&] { load(0, 2, "Sound\\half.wav", 2), play(0, 2, 0, 255, 0); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"playing it again while it plays does not lengthen it", [&] { play(0, 2, 0, 255, 0), sound.Advance(0.3), play(0, 2, 0, 200, 0); }, 0.25, false},
      {"a loop told to play once runs once from then", [&] { play(0, 2, 1, 255, 0), sound.Advance(50), play(0, 2, 0, 255, 0); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"a file in another layout plays for the default second", [&] { load(0, 3, "Sound\\odd.wav", 2), play(0, 3, 0, 255, 0); }, 0.9, true},
      {"reloading a slot silences it", [&] { load(0, 3, "Sound\\odd.wav", 2); }, 0, false},
      {"an empty slot plays nothing", [&] { play(0, 4, 1, 255, 0); }, 0, false},
  };
  // clang-format on
  for (const auto &r : rows) {
    r.act();
    sound.Advance(r.wait);
    bool any = false;
    for (int s = 1; s <= 4; ++s) any = any || sound.Playing(0, s);
    EXPECT_EQ(any, r.playing) << r.what;
  }
}

}  // namespace
