// Kamishibai: the edge wipes, the pushes and the roll, frame by frame.
#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {
namespace {

TEST(EdgeWipes, HorizontalWipesRunToTheFullWidth) {
  TransitionRun left(200, 2), right(200, 2);
  left.run(19);
  right.run(21);
  ASSERT_EQ(left.frames.size(), 21u);
  ASSERT_EQ(right.frames.size(), 21u);
  for (std::int32_t k = 0; k < 21; ++k) {
    const auto step = static_cast<std::size_t>(k);
    EXPECT_TRUE(frameMatches(
        left.frames[step],
        [&](std::int32_t x, std::int32_t y) { return x < 10 * k + 1 ? next(x, y) : now(x, y); }))
        << "step " << k;
    EXPECT_TRUE(frameMatches(
        right.frames[step],
        [&](std::int32_t x, std::int32_t y) { return x >= 200 - 10 * k ? next(x, y) : now(x, y); }))
        << "step " << k;
  }
}

TEST(EdgeWipes, VerticalWipesNeverReachTheLastRow) {
  for (const std::int32_t code : {20, 22}) {
    TransitionRun run(2, 200);
    run.run(code);
    ASSERT_EQ(run.frames.size(), 21u) << code;
    EXPECT_TRUE(frameMatches(run.frames[0], now)) << code;
    EXPECT_TRUE(frameMatches(run.frames.back(), [](std::int32_t x, std::int32_t y) {
      return y < 199 ? next(x, y) : now(x, y);
    })) << code;
    EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << code;
  }
}

TEST(EdgeWipes, VerticalWipesAt480RunTwentyStepsAndLeaveTwentyFiveRows) {
  TransitionRun top(2, 480), bottom(2, 480);
  top.run(20);
  bottom.run(22);
  ASSERT_EQ(top.frames.size(), 20u);
  ASSERT_EQ(bottom.frames.size(), 20u);
  EXPECT_TRUE(frameMatches(top.frames.back(), [](std::int32_t x, std::int32_t y) {
    return y < 455 ? next(x, y) : now(x, y);
  }));
  EXPECT_TRUE(frameMatches(bottom.frames.back(), [](std::int32_t x, std::int32_t y) {
    return y >= 24 && y < 479 ? next(x, y) : now(x, y);
  }));
}

TEST(PushRoll, PushRightSlidesBothPicturesAndKeepsTheCurrentFirstColumnAtTheSeam) {
  TransitionRun run(200, 2);
  run.run(26);
  ASSERT_EQ(run.frames.size(), 21u);
  for (std::int32_t k = 0; k < 21; ++k) {
    const std::int32_t v = 10 * k;
    EXPECT_TRUE(frameMatches(run.frames[static_cast<std::size_t>(k)],
                             [&](std::int32_t x, std::int32_t y) {
                               return x < v ? next(200 - v + x, y) : now(x - v, y);
                             }))
        << "step " << k;
  }
}

TEST(PushRoll, PushDownIsPushRightOnTheOtherAxis) {
  TransitionRun run(2, 200);
  run.run(27);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));
  EXPECT_TRUE(frameMatches(run.frames[7], [](std::int32_t x, std::int32_t y) {
    return y < 70 ? next(x, 130 + y) : now(x, y - 70);
  }));
}

TEST(PushRoll, PushLeftPlacesThePicturesEdgeToEdge) {
  TransitionRun run(200, 2);  // step 9.95 in single precision: 21 steps, the last below 199
  run.run(28);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));
  EXPECT_TRUE(frameMatches(run.frames.back(), [](std::int32_t x, std::int32_t y) {
    return x == 0 ? now(199, y) : next(x - 1, y);
  }));
}

TEST(PushRoll, RollUpWrapsTheNextPictureAndKeepsTheLastRowUntilTheFinalCopy) {
  TransitionRun run(2, 480);  // step 23.95: 20 steps, the last at about 455.05
  run.run(29);
  ASSERT_EQ(run.frames.size(), 20u);
  EXPECT_TRUE(frameMatches(run.frames[0], [](std::int32_t x, std::int32_t y) {
    return y < 479 ? next(x, y) : now(x, y);
  }));
  EXPECT_TRUE(frameMatches(run.frames.back(), [](std::int32_t x, std::int32_t y) {
    if (y == 479) return now(x, y);
    return y < 24 ? next(x, y + 455) : next(x, y - 24);
  }));
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

}  // namespace
}  // namespace kamishibai::testing
