// Kamishibai: the pacing, end flag and speed factor that every transition shares.
#include <stdexcept>
#include <string>
#include <utility>

#include "base/arith.h"
#include "tests/unit/effects/effects_support.h"

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

// The squeezes and squeeze-ins refresh once more after their final copy.
std::size_t finalRefreshes(std::int32_t code) {
  return code >= 11 && code <= 18 ? 1u : 0u;
}

TEST(TransitionContract, EndFlagRaisedBeforeTheCallDrawsOneStepThenTheNextPicture) {
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run) continue;
    TransitionRun run(60, 120);
    run.endFlag = kTrue;
    run.run(effect.code);
    EXPECT_EQ(run.frames.size(), 1u + finalRefreshes(effect.code)) << effect.name;
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
    EXPECT_EQ(run.frames.size(), 3u + finalRefreshes(effect.code)) << effect.name;
    EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << effect.name;
    EXPECT_EQ(run.events.now(), 1000 + 2 * frameTime + 1) << effect.name;
  }
}

// Tiny and thin displays make some loop steps round to 0 (half of one column is 0 columns, a
// twentieth of H - 1 = 0 rows is 0): the transition still ends by itself, with no end flag.
TEST(TransitionContract, EveryTransitionEndsByItselfOnTheNextPictureAtEverySize) {
  const std::pair<std::int32_t, std::int32_t> sizes[] = {
      {1, 1},   {1, 2},   {2, 1}, {2, 2}, {2, 5},    {5, 2},     {3, 3},
      {1, 100}, {100, 1}, {7, 3}, {1, 3}, {99, 101}, {201, 203}, {3, 105}};
  for (const auto& [w, h] : sizes) {
    for (const EffectInfo& effect : effectTable()) {
      if (!effect.run) continue;
      const std::string where =
          std::string(effect.name) + " at " + std::to_string(w) + "x" + std::to_string(h);
      TransitionRun run(w, h);
      EXPECT_NO_THROW(run.run(effect.code)) << where;
      EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << where;
      EXPECT_TRUE(frameMatches(snapshot(run.current), now)) << where;
      EXPECT_TRUE(frameMatches(snapshot(run.next), next)) << where;
    }
  }
}

// The loops whose step rounds to 0 draw their one step, the same at any length across.
TEST(TransitionContract, AStepOfZeroDrawsOneStep) {
  const struct {
    std::int32_t code, w, h;
  } zeroSteps[] = {{1, 1, 50},  {2, 50, 1},  {6, 1, 50},  {8, 50, 1},
                   {20, 50, 1}, {22, 50, 1}, {28, 1, 50}, {29, 50, 1}};
  for (const auto& [code, w, h] : zeroSteps) {
    TransitionRun run(w, h);
    run.run(code);
    EXPECT_EQ(run.frames.size(), 1u) << "code " << code;
  }
}

TEST(SingleLoop, EndsWhereItsCounterStopsMovingAndNowhereElse) {
  const auto count = [](double from, double to, double by) {
    int steps = 0;
    for (SingleLoop loop(from, to, by); loop.running() && steps < 1000; loop.advance()) ++steps;
    return steps;
  };
  EXPECT_EQ(count(0, 200, 10), 21);
  EXPECT_EQ(count(0, 1024 / 2, 512 / 20.0), 20);  // the twentieth sum carries past 512
  EXPECT_EQ(count(0, 0, 0), 1);
  EXPECT_EQ(count(5, 5, 0), 1);
  EXPECT_EQ(count(1 << 24, 1 << 25, 1), 1);  // 2^24 + 1 is 2^24 in single precision
  EXPECT_EQ(count(0, 10, -1), 0);
  EXPECT_EQ(count(0, -2, -1), 3);
}

}  // namespace
}  // namespace kamishibai::testing
