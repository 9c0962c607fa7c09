// Kamishibai: where an image changed, on a coarse grid of tiles.
#include "raster/changed_tiles.h"

#include <algorithm>
#include <bit>

#include "raster/raster.h"
#include "raster/region_runs.h"

namespace kamishibai {
namespace {

constexpr std::int32_t kBitsPerWord = 64;

std::int32_t tilesFor(std::int32_t pixels) {
  return (pixels + ChangedTiles::kTileSize - 1) / ChangedTiles::kTileSize;
}

// Bits from..to-1 of a word (0 < to - from <= 64).
std::uint64_t bitRange(std::int32_t from, std::int32_t to) {
  const std::uint64_t upTo = to == kBitsPerWord ? ~std::uint64_t{0} : (std::uint64_t{1} << to) - 1;
  return upTo & ~((std::uint64_t{1} << from) - 1);
}

// The runs of set bits of one tile row, left to right, in tile columns.
void runsOf(const std::uint64_t* words, std::int32_t wordCount, std::vector<PixelRun>& runs) {
  runs.clear();
  for (std::int32_t w = 0; w < wordCount; ++w) {
    std::uint64_t bits = words[w];
    while (bits != 0) {
      const std::int32_t start = std::countr_zero(bits);
      const std::int32_t length = std::countr_one(bits >> start);
      const std::int32_t from = w * kBitsPerWord + start;
      const std::int32_t to = from + length;
      // A run reaching the word's last bit goes on in the next word.
      if (!runs.empty() && runs.back().to == from) {
        runs.back().to = to;
      } else {
        runs.push_back({from, to});
      }
      // Adding its lowest bit carries the run away.
      bits &= bits + (bits & (~bits + 1));
    }
  }
}

}  // namespace

void ChangedTiles::resize(std::int32_t width, std::int32_t height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  wordsPerRow_ = (tilesFor(width_) + kBitsPerWord - 1) / kBitsPerWord;
  bits_.assign(static_cast<std::size_t>(wordsPerRow_) * static_cast<std::size_t>(tilesFor(height_)),
               0);
  anyMarked_ = false;
}

void ChangedTiles::mark(std::int32_t y, std::int32_t from, std::int32_t to) {
  mark(PixelRect{from, y, to, y + 1});
}

void ChangedTiles::mark(const PixelRect& rect) {
  const PixelRect inside = rect.intersected({0, 0, width_, height_});
  if (inside.empty()) return;
  for (std::int32_t tileRow = inside.top / kTileSize; tileRow <= (inside.bottom - 1) / kTileSize;
       ++tileRow) {
    markTiles(tileRow, inside.left / kTileSize, (inside.right - 1) / kTileSize);
  }
}

void ChangedTiles::markTiles(std::int32_t tileRow, std::int32_t firstColumn,
                             std::int32_t lastColumn) {
  std::uint64_t* words = bits_.data() + static_cast<std::size_t>(tileRow) * wordsPerRow_;
  for (std::int32_t w = firstColumn / kBitsPerWord; w <= lastColumn / kBitsPerWord; ++w) {
    const std::int32_t from = std::max(firstColumn - w * kBitsPerWord, 0);
    const std::int32_t to = std::min(lastColumn + 1 - w * kBitsPerWord, kBitsPerWord);
    words[w] |= bitRange(from, to);
  }
  anyMarked_ = true;
}

std::vector<PixelRect> ChangedTiles::take(const PixelRect& limit) {
  std::vector<PixelRect> parts;
  if (!anyMarked_) return parts;
  // Rectangles in tiles; those whose bottom is the row above, left to right, may grow.
  std::vector<PixelRect> tiles;
  std::size_t growing = 0;
  std::vector<PixelRun> runs;
  const std::int32_t tileRows = tilesFor(height_);
  for (std::int32_t tileRow = 0; tileRow < tileRows; ++tileRow) {
    runsOf(bits_.data() + static_cast<std::size_t>(tileRow) * wordsPerRow_, wordsPerRow_, runs);
    const std::size_t endOfGrowing = tiles.size();
    std::size_t above = growing;
    for (const PixelRun& run : runs) {
      while (above < endOfGrowing && tiles[above].left < run.from) ++above;
      if (above < endOfGrowing && tiles[above].left == run.from && tiles[above].right == run.to) {
        ++tiles[above].bottom;
        // Moved to the end, so that the rectangles ending on this row stay in order.
        tiles.push_back(tiles[above]);
        tiles[above] = {};
      } else {
        tiles.push_back({run.from, tileRow, run.to, tileRow + 1});
      }
    }
    growing = endOfGrowing;
  }
  for (const PixelRect& t : tiles) {
    if (t.empty()) continue;
    const PixelRect part =
        PixelRect{t.left * kTileSize, t.top * kTileSize, t.right * kTileSize, t.bottom * kTileSize}
            .intersected({0, 0, width_, height_})
            .intersected(limit);
    if (!part.empty()) parts.push_back(part);
  }
  std::fill(bits_.begin(), bits_.end(), 0);
  anyMarked_ = false;
  return parts;
}

}  // namespace kamishibai
