// Kamishibai: where an image changed, on a coarse grid of tiles. A Refresh puts on screen the
// rectangles of the tiles that hold changed words rather than the bounding box of all of them:
// the ring between two ellipses or the thin bands of blinds are a small part of their box.
#pragma once

#include <cstdint>
#include <vector>

namespace kamishibai {

struct PixelRect;

class ChangedTiles {
 public:
  // Square tiles: small enough to follow a ring a few pixels wide, large enough that a step of a
  // full-screen transition yields a few dozen rectangles at most.
  static constexpr std::int32_t kTileSize = 32;

  // A grid over an image of this size, with no tile marked.
  void resize(std::int32_t width, std::int32_t height);
  // Marks the tiles holding columns from..to-1 of row y, or the words of `rect`; what lies
  // outside the image is ignored.
  void mark(std::int32_t y, std::int32_t from, std::int32_t to);
  void mark(const PixelRect& rect);
  // The marked tiles as rectangles that do not overlap, each cut to the image and to `limit`
  // (empty ones left out): a run of marked tiles of a tile row, grown down over the rows below with
  // the same run. No tile is marked afterwards.
  std::vector<PixelRect> take(const PixelRect& limit);

 private:
  void markTiles(std::int32_t tileRow, std::int32_t firstColumn, std::int32_t lastColumn);

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::int32_t wordsPerRow_ = 0;
  // One bit per tile, a tile row after another, each starting a new word.
  std::vector<std::uint64_t> bits_;
  bool anyMarked_ = false;
};

}  // namespace kamishibai
