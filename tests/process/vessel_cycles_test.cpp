// Creating and destroying vessels many times, with and without the sound
// service: nothing leaks (the sanitizer build checks that), and the vessels
// that remain keep working animations on the shared, once-built transforms.
#include <gtest/gtest.h>

#include "tests/support/fixture.h"
#include "tests/support/sound_client.h"

namespace {

class VesselCycles : public tarvex_test::ModuleTest {
 protected:
  void Cycle(int rounds) {
    host::world().trace.enabled = false;
    host::HostVessel &keeper = NewVessel("Keeper");
    for (int i = 0; i < rounds; ++i) {
      host::HostVessel &hv = host::AddVessel("Cycle" + std::to_string(i));
      ASSERT_TRUE(host::CreateVessel(api_, hv));
      host::SetUpVessel(hv, {"GEAR 0", "ENG STAT 1"});
      host::Step(hv);
      host::DestroyVessel(api_, hv);
    }
    // The remaining vessel still has all its animations, each component's
    // transform still alive and of the kind it was made as.
    ASSERT_EQ(keeper.animations.size(), 23u);
    for (auto &c : keeper.components) {
      ASSERT_NE(c->trans, nullptr);
      auto type = c->trans->Type();
      EXPECT_TRUE(type == MGROUP_TRANSFORM::ROTATE || type == MGROUP_TRANSFORM::TRANSLATE);
      EXPECT_GT(c->trans->ngrp, 0u);
      EXPECT_NE(c->trans->grp, nullptr);
    }
    EXPECT_TRUE(keeper.vessel->SetAnimation(Ship(keeper).anim_gear, 0.7));
    host::Step(keeper);
  }
};

TEST_F(VesselCycles, ThousandsOfVesselsWithoutTheSoundService) { Cycle(3000); }

TEST_F(VesselCycles, ThousandsOfVesselsWithTheSoundService) {
  tarvex_test::SoundService service;
  ASSERT_TRUE(service.loaded());
  // The service hands out at most 60 identifiers; later vessels fly silently.
  Cycle(3000);
}

}  // namespace
