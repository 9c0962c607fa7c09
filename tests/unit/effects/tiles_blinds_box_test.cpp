// Kamishibai: the tile, blind and box transitions, frame by frame.
#include <set>

#include "base/arith.h"
#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {
namespace {

// The step (1 to 25) at which the spiral uncovers each tile, rows from top to bottom.
// clang-format off
constexpr int kSpiralOrder[5][5] = {
    { 1,  2,  3,  4,  5},
    {16, 17, 18, 19,  6},
    {15, 24, 25, 20,  7},
    {14, 23, 22, 21,  8},
    {13, 12, 11, 10,  9},
};
// clang-format on

TEST(TilesBlindsBox, SpiralTilesFollowTheOrderTableAndClipTheLastColumn) {
  TransitionRun run(250, 250);  // tiles of 51 by 51: column 4 spans 204 to 254
  run.run(9);
  ASSERT_EQ(run.frames.size(), 25u);
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    EXPECT_TRUE(frameMatches(run.frames[k],
                             [&](std::int32_t x, std::int32_t y) {
                               return kSpiralOrder[y / 51][x / 51] <= static_cast<int>(k) + 1
                                          ? next(x, y)
                                          : now(x, y);
                             }))
        << "step " << k;
  }
}

// The tile (column, row) a frame uncovered over the frame before it.
std::pair<int, int> newTile(const Frame& before, const Frame& after, int tile) {
  const std::optional<Point> at = firstDifference(before, after);
  return at ? std::pair(at->x / tile, at->y / tile) : std::pair(-1, -1);
}

TEST(TilesBlindsBox, RandomTilesUncoverEveryTileOnceAndContinueTheSequence) {
  TransitionRun run(99, 99);  // tiles of round(20.8) = 21
  std::vector<std::pair<int, int>> orders[2];
  for (auto& order : orders) {
    run.frames.clear();
    run.display.copyFrom(run.current, 0, 0, 0, 0, 99, 99);
    run.run(3);
    ASSERT_EQ(run.frames.size(), 25u);
    Frame before = snapshot(run.current);
    for (const Frame& frame : run.frames) {
      order.push_back(newTile(before, frame, 21));
      EXPECT_TRUE(frameMatches(frame, [&](std::int32_t x, std::int32_t y) {
        const bool uncovered = std::pair(x / 21, y / 21) == order.back();
        return uncovered ? next(x, y) : before.pixel(x, y);
      }));
      before = frame;
    }
    EXPECT_EQ(std::set(order.begin(), order.end()).size(), 25u);
  }
  EXPECT_NE(orders[0], orders[1]);
}

TEST(TilesBlindsBox, BlindsFillFiveBandsWithOverlappingStrips) {
  TransitionRun run(3, 250);  // band 50, step 1.5, strips of round(2.5) = 2 rows
  run.run(4);
  ASSERT_EQ(run.frames.size(), 34u);
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    EXPECT_TRUE(frameMatches(run.frames[k],
                             [&](std::int32_t x, std::int32_t y) {
                               for (std::size_t j = 0; j <= k; ++j) {
                                 for (std::int32_t band = 0; band < 5; ++band) {
                                   const std::int32_t top =
                                       roundEven(1.5 * static_cast<double>(j) + 50 * band);
                                   if (y >= top && y < top + 2) return next(x, y);
                                 }
                               }
                               return now(x, y);
                             }))
        << "step " << k;
  }
  // The last strip of band 0 starts at round(49.5) = 50, inside band 1.
  EXPECT_EQ(run.frames.back().pixel(0, 51), next(0, 51));
}

TEST(TilesBlindsBox, BlindsWithAStepOfZeroMakeAPlainCut) {
  TransitionRun run(3, 100);  // band 20: the step 20 / 20 - 1 is 0
  run.run(4);
  EXPECT_TRUE(run.frames.empty());
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

TEST(TilesBlindsBox, BoxGrowsFromTheCentreBySixPixelsAndStopsShortOfTheEdges) {
  TransitionRun run(250, 250);  // centre 125, growth 6.25 rounded to 6 at every move
  run.run(10);
  ASSERT_EQ(run.frames.size(), 20u);
  for (std::size_t k = 0; k < run.frames.size(); ++k) {
    const std::int32_t corner = 125 - 6 * static_cast<std::int32_t>(k);
    EXPECT_TRUE(frameMatches(run.frames[k],
                             [&](std::int32_t x, std::int32_t y) {
                               const bool inside = x >= corner && x < 250 - corner && y >= corner &&
                                                   y < 250 - corner;
                               return inside ? next(x, y) : now(x, y);
                             }))
        << "step " << k;
  }
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

}  // namespace
}  // namespace kamishibai::testing
