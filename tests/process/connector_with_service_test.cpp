// The sound connector's guards, the saved engine state and the service's own
// timing, with the stand-in sound service loaded in the process, as the host
// process would have it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "module/handles.h"
#include "sound/connector.h"
#include "tests/support/sound_client.h"
#include "tests/support/sound_expect.h"
#include "tests/support/work_dir.h"

using namespace tarvex_test;

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

class ConnectorWithService : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    ASSERT_TRUE(sound_.loaded());
    sound_.Reset();
  }
  TempWorkDir dir_;
  SoundService sound_;
};

// A row: the call, and whether its guard passes it on to the service, which
// then records it as written here.
struct GuardRow {
  const char *call;
  int (*run)();
  bool passes;
};
#define ROW(call, passes) (GuardRow{#call, [] { return call; }, passes})

TEST_F(ConnectorWithService, GuardsRefuseOutOfRangeArgumentsAndPassTheEdgesOn) {
  host::HostVessel &hv = NewVessel("A");
  ASSERT_EQ(ConnectToOrbiterSoundDLL3(&hv), 0) << "the identifier the service handed out";
  // Slot 60 of identifiers 0 and 59 hold a sound, so a passed-on play answers 1.
  ASSERT_EQ(LoadVesselWaveOBSound3(59, 60, "edge.wav", 1), 1);
  ASSERT_EQ(LoadVesselWaveOBSound3(0, 60, "edge.wav", 1), 1);
  const GuardRow rows[] = {
      ROW(PlayVesselWaveOBSound3(60, 10, 0, 255, 0), false),
      ROW(PlayVesselWaveOBSound3(-1, 10, 0, 255, 0), false),
      ROW(PlayVesselWaveOBSound3(0, 0, 0, 255, 0), false),
      ROW(PlayVesselWaveOBSound3(0, 61, 0, 255, 0), false),
      ROW(PlayVesselWaveOBSound3(0, 60, 1, 200, 21000), true),
      ROW(PlayVesselWaveOBSound3(59, 60, 0, 255, 0), true),
      ROW(LoadVesselWaveOBSound3(0, 61, "x.wav", 1), false),
      ROW(LoadVesselWaveOBSound3(60, 1, "x.wav", 1), false),
      ROW(LoadVesselWaveOBSound3(0, 1, nullptr, 2), false),
      ROW(LoadVesselWaveOBSound3(0, 1, "x.wav", 2), true),
      ROW(StopVesselWave3(0, 0), false),
      ROW(StopVesselWave3(-1, 10), false),
      ROW(StopVesselWave3(0, 60), true),
      ROW(IsPlayingVesselWave3(0, 61), false),
      ROW(IsPlayingVesselWave3(60, 10), false),
      ROW(IsPlayingVesselWave3(59, 60), true),
      ROW(SoundOption3(0, 0, 1), false),
      ROW(SoundOption3(0, 18, 1), false),
      ROW(SoundOption3(0, -1, 1), false),
      ROW(SoundOption3(60, 5, 1), false),
      ROW(SoundOption3(0, 17, 1), true),
      ROW(SoundOption3(59, 1, 0), true),
      ROW(ReplaceStockOBSound3(0, nullptr, 14), false),
      ROW(ReplaceStockOBSound3(60, "y.wav", 14), false),
      ROW(ReplaceStockOBSound3(59, "y.wav", 3), true),
  };
  for (const auto &r : rows) {
    sound_.ClearCalls();
    EXPECT_EQ(r.run(), r.passes ? 1 : 0) << r.call;
    EXPECT_TRUE(CallsEqual(sound_.Calls(), r.passes ? std::vector<std::string>{r.call} : std::vector<std::string>{}))
        << r.call;
  }
}

// The engine-sound answer is saved first and the engine state last, so a load
// restores the engine whether its sound played or not.
TEST_F(ConnectorWithService, EngineStateSurvivesSaveAndLoadWithAndWithoutItsSound) {
  for (bool plays : {true, false}) {
    SCOPED_TRACE(plays ? "engine sound playing" : "engine sound stopped by a warning");
    ResetStateRecord();
    host::HostVessel &from = NewVessel("From" + std::to_string(plays));
    const int id = Ship(from).MyID;
    eng_status = 1;
    Ship(from).SetThrusterLevel(th_main, 0.7);
    PlayVesselWaveOBSound3(id, 10, 1, 200, 20000);
    if (!plays) StopVesselWave3(id, 10);
    sound_.ClearCalls();
    std::vector<std::string> saved = host::Save(from), engine;
    EXPECT_TRUE(CallsEqual(sound_.Calls(), {"IsPlayingVesselWave3(" + std::to_string(id) + ", 10)"}));
    for (const std::string &l : saved)
      if (l.rfind("  ENG STAT", 0) == 0) engine.push_back(l);
    EXPECT_TRUE(CallsEqual(engine, {std::string("  ENG STAT2 ") + (plays ? "1" : "0"), "  ENG STAT 1"}));
    ResetStateRecord();
    host::HostVessel &to = NewVessel("To" + std::to_string(plays), true, saved);
    EXPECT_EQ(eng_status, 1.0);
    EXPECT_EQ(Ship(to).GetThrusterLevel(th_main), 0.0);
  }
}

// The stand-in service times a slot: a loop until stopped, a sound played
// once for its file's length or a short default (slots the vessel leaves empty).
TEST_F(ConnectorWithService, TheServiceTimesHowLongASlotPlays) {
  ASSERT_EQ(Ship(NewVessel("A")).MyID, 0);
  std::filesystem::create_directory("Sound");
  WriteWav("Sound/half.wav", 0.5, true);
  WriteWav("Sound/odd.wav", 0.5, false);
  auto load = [](int slot, const char *file) { LoadVesselWaveOBSound3(0, slot, file, 2); };
  auto play = [](int slot, int loop, int volume) { PlayVesselWaveOBSound3(0, slot, loop, volume, 0); };
  const struct {
    const char *what;
    std::function<void()> act;
    double wait;
    bool playing;
    // clang-format off
  } rows[] = {
      {"a loop plays on", [&] { load(1, "Sound\\none.wav"), play(1, 1, 255); }, 100, true},
      {"until it is stopped", [&] { StopVesselWave3(0, 1); }, 0, false},
      {"a sound without a file plays once for a second", [&] { play(1, 0, 255); }, 0.99, true},
      {"and then stops", [] {}, 0.02, false},
      {"a sound with a file plays for the file's length", [&] { load(8, "Sound\\half.wav"), play(8, 0, 255); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"playing it again while it plays does not lengthen it", [&] { play(8, 0, 255), sound_.Advance(0.3), play(8, 0, 200); }, 0.25, false},
      {"a loop told to play once runs once from then", [&] { play(8, 1, 255), sound_.Advance(50), play(8, 0, 255); }, 0.49, true},
      {"and then stops", [] {}, 0.02, false},
      {"a file in another layout plays for the default second", [&] { load(9, "Sound\\odd.wav"), play(9, 0, 255); }, 0.9, true},
      {"reloading a slot silences it", [&] { load(9, "Sound\\odd.wav"); }, 0, false},
      {"an empty slot plays nothing", [&] { play(15, 1, 255); }, 0, false},
  };
  // clang-format on
  for (const auto &r : rows) {
    r.act();
    sound_.Advance(r.wait);
    bool any = false;
    for (int s : {1, 8, 9, 15}) any = any || sound_.Playing(0, s);
    EXPECT_EQ(any, r.playing) << r.what;
  }
  // The service itself refuses a load without a file, which the connector never passes on.
  EXPECT_EQ(sound_.Find<int (*)(int, int, char *, int)>("LoadVesselWaveOBSound3")(0, 1, nullptr, 2), 0);
  // It answers a play of an empty slot with 0, of a loaded one with 1.
  auto service_play = sound_.Find<int (*)(int, int, int, int, int)>("PlayVesselWaveOBSound3");
  EXPECT_EQ(service_play(0, 15, 1, 255, 0), 0) << "an empty slot";
  EXPECT_EQ(service_play(0, 8, 0, 255, 0), 1) << "a loaded slot";
}

// Thousands of vessels made and destroyed, most of them past the service's
// 60 identifiers: nothing leaks (the sanitizer build checks that), and the
// vessel that stays keeps working animations on the shared transforms.
TEST_F(ConnectorWithService, ThousandsOfVesselsComeAndGo) {
  trace().enabled = false;
  host::HostVessel &keeper = NewVessel("Keeper");
  for (int i = 0; i < 3000; ++i) {
    host::HostVessel &hv = host::AddVessel("Cycle" + std::to_string(i));
    ASSERT_TRUE(host::CreateVessel(api_, hv));
    host::SetUpVessel(hv, {"GEAR 0", "ENG STAT 1"});
    host::Step(hv);
    host::DestroyVessel(api_, hv);
  }
  ASSERT_EQ(keeper.animations.size(), 23u);
  for (auto &c : keeper.components) EXPECT_ALL(c->trans, c->trans && c->trans->ngrp > 0, c->trans && c->trans->grp);
  EXPECT_TRUE(keeper.vessel->SetAnimation(Ship(keeper).anim_gear, 0.7));
  host::Step(keeper);
}

}  // namespace
