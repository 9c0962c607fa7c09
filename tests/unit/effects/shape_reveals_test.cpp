// Kamishibai: the clipped shape reveals: region geometry step by step. Which boundary pixels
// belong to a shape is the platform's rule, so pixels within a pixel and a half of an outline are
// not checked.
#include <cmath>
#include <functional>
#include <numbers>

#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {
namespace {

constexpr double kMargin = 1.5;

// Checks that the pixels whose centre lies clearly inside the shape show the next picture and
// those clearly outside still show the current one. `distance` is a signed distance-like value
// of a pixel centre from the outline: negative inside.
::testing::AssertionResult revealedOnlyInside(
    const Frame& frame, const std::function<double(double, double)>& distance) {
  return frameMatches(frame, [&](std::int32_t x, std::int32_t y) {
    const double d = distance(x + 0.5, y + 0.5);
    if (d < -kMargin) return next(x, y);
    if (d > kMargin) return now(x, y);
    return frame.pixel(x, y);
  });
}

// Approximate signed distance from an ellipse with centre (cx, cy) and half-axes a, b.
std::function<double(double, double)> ellipse(double cx, double cy, double a, double b) {
  return [=](double x, double y) {
    if (a == 0 || b == 0) return 1e9;
    const double r = std::hypot((x - cx) / a, (y - cy) / b);
    return (r - 1) * std::min(a, b);
  };
}

TEST(ShapeReveals, EllipseAt200GrowsByFivePixelsAStepAndLeavesTheCorners) {
  TransitionRun run(200, 200);
  run.run(30);
  ASSERT_EQ(run.frames.size(), 25u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));
  for (std::size_t k = 1; k < run.frames.size(); ++k) {
    const double r = 5.0 * static_cast<double>(k);
    EXPECT_TRUE(revealedOnlyInside(run.frames[k], ellipse(100, 100, r, r))) << "step " << k;
  }
  EXPECT_EQ(run.frames.back().pixel(0, 0), now(0, 0));
  EXPECT_EQ(run.frames.back().pixel(199, 199), now(199, 199));
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

TEST(ShapeReveals, EllipseAtOddWidthIsCentredOnTheEvenHalf) {
  TransitionRun run(201, 150);  // centre (100, 75); the corner moves by 5 and 4 pixels a step
  run.run(30);
  ASSERT_EQ(run.frames.size(), 25u);
  for (std::size_t k = 1; k < run.frames.size(); k += 4) {
    const double step = static_cast<double>(k);
    EXPECT_TRUE(revealedOnlyInside(run.frames[k], ellipse(100, 75, 5 * step, 4 * step)))
        << "step " << k;
  }
}

TEST(ShapeReveals, DiamondAt150GrowsByFivePixelsAStep) {
  TransitionRun run(150, 150);
  run.run(31);
  ASSERT_EQ(run.frames.size(), 30u);
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    const double r = 5.0 * static_cast<double>(k);
    EXPECT_TRUE(revealedOnlyInside(run.frames[k],
                                   [&](double x, double y) {
                                     return (std::abs(x - 75) + std::abs(y - 75) - r) /
                                            std::sqrt(2.0);
                                   }))
        << "step " << k;
  }
  EXPECT_EQ(run.frames.back().pixel(0, 0), now(0, 0));
}

TEST(ShapeReveals, ClockSweepsTenDegreeWedgesFromTwelveOClock) {
  TransitionRun run(200, 200);  // R = 141; the first triangle is (100,-41) (100,100) (124,-39)
  run.run(32);
  ASSERT_EQ(run.frames.size(), 36u);
  EXPECT_EQ(run.frames[0].pixel(105, 0), next(105, 0));
  EXPECT_EQ(run.frames[0].pixel(120, 0), now(120, 0));
  EXPECT_EQ(run.frames[0].pixel(95, 0), now(95, 0));
  // A point 60 pixels from the centre at each wedge's middle angle is uncovered by its step
  // and not before.
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    const double angle = (static_cast<double>(k) * 10 - 85) * std::numbers::pi / 180;
    const auto x = static_cast<std::int32_t>(100 + 60 * std::cos(angle));
    const auto y = static_cast<std::int32_t>(100 + 60 * std::sin(angle));
    EXPECT_EQ(run.frames[k].pixel(x, y), next(x, y)) << "step " << k;
    if (k > 0) {
      EXPECT_EQ(run.frames[k - 1].pixel(x, y), now(x, y)) << "step " << k;
    }
  }
  EXPECT_EQ(run.frames.back().pixel(0, 0), now(0, 0));  // beyond the chords at the corners
  EXPECT_EQ(run.frames.back().pixel(100, 190), next(100, 190));
}

TEST(ShapeReveals, SpiralGrowsItsRadiusByOneAStepAt200) {
  TransitionRun run(200, 200);
  run.run(33);
  ASSERT_EQ(run.frames.size(), 201u);
  EXPECT_TRUE(frameMatches(run.frames[0], now));  // both first triangles are degenerate
  EXPECT_TRUE(frameMatches(run.frames[1], now));
  // Step 36 starts the second turn: its wedge spans radius 35 to 36 at -90 to -80 degrees, so
  // the ring the first turn left uncovered there is not yet reached by step 35.
  EXPECT_EQ(run.frames[35].pixel(103, 66), now(103, 66));
  EXPECT_EQ(run.frames[36].pixel(103, 66), next(103, 66));
  EXPECT_EQ(run.frames.back().pixel(102, 5), next(102, 5));
}

TEST(ShapeReveals, SweepsAtOddWidthNeverDrawTheLastColumn) {
  for (const std::int32_t code : {32, 33}) {
    TransitionRun run(201, 120);
    run.run(code);
    for (const Frame& frame : run.frames) {
      for (std::int32_t y = 0; y < 120; ++y) ASSERT_EQ(frame.pixel(200, y), now(200, y)) << code;
    }
    EXPECT_EQ(run.frames.back().pixel(199, 60), next(199, 60)) << code;
    EXPECT_TRUE(frameMatches(snapshot(run.display), next)) << code;
  }
}

}  // namespace
}  // namespace kamishibai::testing
