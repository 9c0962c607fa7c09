// Kamishibai: the pacing, end flag and speed factor that every transition shares.
#include <stdexcept>

#include "tests/unit/effects_support.h"

namespace kamishibai::testing {
namespace {

// The wipe from the left at W = H = 200 runs 21 steps of 50 ms.
constexpr std::int32_t kWipe = 19;

TEST(TransitionContract, EachStepEndsAtTheFirstTickAfterItsDeadline) {
  TransitionRun run(200, 4);
  run.run(kWipe);
  ASSERT_EQ(run.frames.size(), 21u);
  for (std::size_t k = 0; k < run.refreshTicks.size(); ++k) {
    EXPECT_EQ(run.refreshTicks[k], 1000 + 51 * static_cast<std::int32_t>(k)) << k;
  }
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

TEST(TransitionContract, DeadlineRoundsHalfMillisecondsToEven) {
  TransitionRun run(200, 4);
  run.speedFactor = 4;  // 50 / 4 = 12.5 ms: t0 + 12 from an even t0, t0 + 13 from an odd one
  run.run(kWipe);
  ASSERT_GE(run.refreshTicks.size(), 4u);
  // Each step ends one tick after its deadline: 1000 -> 1012, 1013 -> 1026, 1027 -> 1040.
  EXPECT_EQ(run.refreshTicks[0], 1000);
  EXPECT_EQ(run.refreshTicks[1], 1013);
  EXPECT_EQ(run.refreshTicks[2], 1027);
  EXPECT_EQ(run.refreshTicks[3], 1041);
}

TEST(TransitionContract, SpeedFactorBelowOneMillisecondStillWaitsForTheNextTick) {
  TransitionRun run(200, 4);
  run.speedFactor = 1 << 10;  // 50 / 1024 ms: the deadline is t0 itself
  run.run(kWipe);
  ASSERT_EQ(run.frames.size(), 21u);
  for (std::size_t k = 1; k < run.refreshTicks.size(); ++k) {
    EXPECT_EQ(run.refreshTicks[k] - run.refreshTicks[k - 1], 1) << k;
  }
}

TEST(TransitionContract, SpeedFactorZeroIsAnError) {
  TransitionRun run(20, 4);
  run.speedFactor = 0;
  EXPECT_THROW(run.run(kWipe), std::domain_error);
}

TEST(TransitionContract, EndFlagRaisedBeforeTheCallDrawsOneStepThenTheNextPicture) {
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run) continue;
    TransitionRun run(60, 120);
    run.endFlag = kTrue;
    run.run(effect.code);
    EXPECT_EQ(run.frames.size(), 1u) << effect.name;
    EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << effect.name;
    EXPECT_EQ(run.events.now(), 1000) << effect.name;
  }
}

TEST(TransitionContract, EndFlagRaisedDuringAWaitSkipsTheRemainingSteps) {
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run) continue;
    TransitionRun run(60, 120);
    // Inside the third step's wait: after two frame times (plus the tick after each deadline).
    const std::int32_t frameTime = effect.frameMs + 1;
    run.raiseEndAt(1000 + 2 * frameTime + 1);
    run.run(effect.code);
    EXPECT_EQ(run.frames.size(), 3u) << effect.name;
    EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << effect.name;
    EXPECT_EQ(run.events.now(), 1000 + 2 * frameTime + 1) << effect.name;
  }
}

TEST(TransitionContract, EveryTransitionEndsOnTheNextPictureWithoutChangingItsSources) {
  for (const std::int32_t size : {1, 2, 99, 201}) {
    for (const EffectInfo& effect : effectTable()) {
      if (!effect.run) continue;
      TransitionRun run(size, size + 2);
      // A one-pixel display makes some loops step by 0; the end flag ends them.
      run.raiseEndAt(100000);
      run.run(effect.code);
      EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << effect.name << " at " << size;
      EXPECT_TRUE(frameMatches(snapshot(run.current), now)) << effect.name;
      EXPECT_TRUE(frameMatches(snapshot(run.next), next)) << effect.name;
    }
  }
}

}  // namespace
}  // namespace kamishibai::testing
