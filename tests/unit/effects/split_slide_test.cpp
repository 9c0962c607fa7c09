// Kamishibai: the split and slide transitions, frame by frame.
#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {
namespace {

TEST(SplitSlide, SplitSidewaysAt640RunsTwentyOneStepsOfSixteen) {
  TransitionRun run(640, 3);
  run.run(1);
  ASSERT_EQ(run.frames.size(), 21u);
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    const std::int32_t i = 16 * static_cast<std::int32_t>(k);
    EXPECT_TRUE(frameMatches(run.frames[k],
                             [&](std::int32_t x, std::int32_t y) {
                               if (x < 320 - i) return now(x + i, y);
                               if (x >= 320 + i) return now(x - i, y);
                               return next(x, y);
                             }))
        << "step " << k;
  }
}

TEST(SplitSlide, SplitSidewaysAt1024RunsTwentyStepsAndTheFinalCopyCompletes) {
  TransitionRun run(1024, 2);
  run.run(1);
  ASSERT_EQ(run.frames.size(), 20u);
  // The nineteenth sum of the single-precision step 25.6 is 486.4: round(512 - 486.4) = 26.
  EXPECT_EQ(run.frames.back().pixel(25, 0), now(25 + 486, 0));
  EXPECT_EQ(run.frames.back().pixel(26, 0), next(26, 0));
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

TEST(SplitSlide, SplitSidewaysAtOddWidthLeavesTheLastColumnToTheFinalCopy) {
  TransitionRun run(641, 2);
  run.run(1);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames.back(), [](std::int32_t x, std::int32_t y) {
    return x == 640 ? now(x, y) : next(x, y);
  }));
}

TEST(SplitSlide, SplitUpDownIsTheSidewaysSplitOnTheOtherAxis) {
  TransitionRun run(3, 200);
  run.run(2);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[4], [](std::int32_t x, std::int32_t y) {
    if (y < 80) return now(x, y + 20);
    if (y >= 120) return now(x, y - 20);
    return next(x, y);
  }));
}

TEST(SplitSlide, SlideFromLeftReadsPastTheNextPictureAndKeepsThoseColumns) {
  TransitionRun run(250, 2);
  run.run(5);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));  // its one column lies beyond the next picture
  // i = 12.5: source columns from 238, width 14, two of them beyond the edge.
  EXPECT_TRUE(frameMatches(run.frames[1], [](std::int32_t x, std::int32_t y) {
    return x < 12 ? next(x + 238, y) : now(x, y);
  }));
  EXPECT_TRUE(frameMatches(run.frames.back(), next));
}

TEST(SplitSlide, SlideFromTopIsTheSlideFromLeftOnTheOtherAxis) {
  TransitionRun run(2, 250);
  run.run(7);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));
  EXPECT_TRUE(frameMatches(run.frames[1], [](std::int32_t x, std::int32_t y) {
    return y < 12 ? next(x, y + 238) : now(x, y);
  }));
}

TEST(SplitSlide, SlideFromRightStepCountsFollowSinglePrecision) {
  TransitionRun at250(250, 2);
  at250.run(6);
  ASSERT_EQ(at250.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(at250.frames[0], now));  // width 0
  EXPECT_TRUE(frameMatches(at250.frames.back(), [](std::int32_t x, std::int32_t y) {
    return x < 1 ? now(x, y) : next(x - 1, y);
  }));

  TransitionRun at640(640, 2);
  at640.run(6);
  ASSERT_EQ(at640.frames.size(), 20u);
  EXPECT_TRUE(frameMatches(at640.frames.back(), [](std::int32_t x, std::int32_t y) {
    return x < 33 ? now(x, y) : next(x - 33, y);
  }));
}

TEST(SplitSlide, SlideFromBottomNeverReachesTheLastRow) {
  TransitionRun run(3, 200);
  run.run(8);
  ASSERT_EQ(run.frames.size(), 21u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));
  for (const Frame& frame : run.frames) {
    for (std::int32_t x = 0; x < 3; ++x) EXPECT_EQ(frame.pixel(x, 199), now(x, 199));
  }
  // The last step, i just below 199, draws 199 rows from the top.
  EXPECT_TRUE(frameMatches(run.frames.back(), [](std::int32_t x, std::int32_t y) {
    return y < 199 ? next(x, y) : now(x, y);
  }));
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

}  // namespace
}  // namespace kamishibai::testing
