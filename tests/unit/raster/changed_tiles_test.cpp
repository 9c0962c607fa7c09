// Kamishibai: the tiles of the changed words become rectangles that hold every marked tile, cut
// to the image and to the limit, without overlapping, also across the words of the tile bits.
#include "raster/changed_tiles.h"

#include <gtest/gtest.h>

#include <vector>

#include "raster/raster.h"

namespace kamishibai {
namespace {

constexpr std::int32_t kTile = ChangedTiles::kTileSize;
constexpr PixelRect kNoLimit{0, 0, INT32_MAX, INT32_MAX};

using Rects = std::vector<PixelRect>;

TEST(ChangedTiles, RunsBecomeTheirTilesCutToTheImage) {
  ChangedTiles tiles;
  tiles.resize(3 * kTile + 5, 2 * kTile + 1);  // odd sizes: the last tiles are cut short
  tiles.mark(0, 0, 1);
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{0, 0, kTile, kTile}}));
  EXPECT_TRUE(tiles.take(kNoLimit).empty()) << "taking clears the marks";

  // The image's last pixel, and a run ending just past a tile's last column.
  tiles.mark(2 * kTile, 3 * kTile + 4, 3 * kTile + 5);
  tiles.mark(kTile, kTile - 1, kTile + 1);
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{0, kTile, 2 * kTile, 2 * kTile},
                                         {3 * kTile, 2 * kTile, 3 * kTile + 5, 2 * kTile + 1}}));

  // Outside the image, or empty: nothing.
  tiles.mark(-1, 0, 10);
  tiles.mark(2 * kTile + 1, 0, 10);
  tiles.mark(0, 3 * kTile + 5, 4 * kTile);
  tiles.mark(0, 7, 7);
  tiles.mark(PixelRect{-9, -9, 0, 40});
  EXPECT_TRUE(tiles.take(kNoLimit).empty());
  // Partly outside: the part inside.
  tiles.mark(PixelRect{-9, -9, 1, 1});
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{0, 0, kTile, kTile}}));
}

TEST(ChangedTiles, EqualRunsOfRowsBelowEachOtherMakeOneRectangle) {
  ChangedTiles tiles;
  tiles.resize(8 * kTile, 6 * kTile);
  // A ring: rows 1 and 4 whole, rows 2 and 3 at both ends.
  tiles.mark(PixelRect{kTile, kTile, 7 * kTile, 2 * kTile});
  tiles.mark(PixelRect{kTile, 2 * kTile, 2 * kTile, 4 * kTile});
  tiles.mark(PixelRect{6 * kTile, 2 * kTile, 7 * kTile, 4 * kTile});
  tiles.mark(PixelRect{kTile, 4 * kTile, 7 * kTile, 5 * kTile});
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{kTile, kTile, 7 * kTile, 2 * kTile},
                                         {kTile, 2 * kTile, 2 * kTile, 4 * kTile},
                                         {6 * kTile, 2 * kTile, 7 * kTile, 4 * kTile},
                                         {kTile, 4 * kTile, 7 * kTile, 5 * kTile}}));

  // A staircase: no two rows share a run.
  for (std::int32_t row = 0; row < 3; ++row) tiles.mark(row * kTile, row * kTile, row * kTile + 1);
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{0, 0, kTile, kTile},
                                         {kTile, kTile, 2 * kTile, 2 * kTile},
                                         {2 * kTile, 2 * kTile, 3 * kTile, 3 * kTile}}));
}

TEST(ChangedTiles, RunsCrossTheWordsOfTheTileBits) {
  ChangedTiles tiles;
  const std::int32_t width = 130 * kTile;  // three words of bits a tile row
  tiles.resize(width, kTile);
  tiles.mark(0, 63 * kTile, 65 * kTile);  // the last bit of one word and the first of the next
  tiles.mark(0, 127 * kTile + 3, width);
  EXPECT_EQ(tiles.take(kNoLimit),
            (Rects{{63 * kTile, 0, 65 * kTile, kTile}, {127 * kTile, 0, width, kTile}}));
  tiles.mark(PixelRect{0, 0, width, 1});
  EXPECT_EQ(tiles.take(kNoLimit), (Rects{{0, 0, width, kTile}}));
}

TEST(ChangedTiles, TheLimitCutsEveryRectangleAndDropsThoseOutsideIt) {
  ChangedTiles tiles;
  tiles.resize(4 * kTile, 4 * kTile);
  tiles.mark(PixelRect{0, 0, 1, 1});
  tiles.mark(PixelRect{3 * kTile, 3 * kTile, 3 * kTile + 1, 3 * kTile + 1});
  EXPECT_EQ(tiles.take({5, 6, 3 * kTile + 2, 3 * kTile + 3}),
            (Rects{{5, 6, kTile, kTile}, {3 * kTile, 3 * kTile, 3 * kTile + 2, 3 * kTile + 3}}));
  tiles.mark(PixelRect{0, 0, 1, 1});
  EXPECT_TRUE(tiles.take({kTile, kTile, 2 * kTile, 2 * kTile}).empty());
  EXPECT_TRUE(tiles.take(kNoLimit).empty()) << "cleared also when nothing was in the limit";
}

TEST(ChangedTiles, AnEmptyImageHasNoTiles) {
  ChangedTiles tiles;
  tiles.mark(0, 0, 1);
  EXPECT_TRUE(tiles.take(kNoLimit).empty());
  tiles.resize(0, 5);
  tiles.mark(PixelRect{0, 0, 5, 5});
  EXPECT_TRUE(tiles.take(kNoLimit).empty());
  tiles.resize(-3, -3);
  tiles.mark(0, 0, 1);
  EXPECT_TRUE(tiles.take(kNoLimit).empty());
}

}  // namespace
}  // namespace kamishibai
