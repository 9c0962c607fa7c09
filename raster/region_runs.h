// Kamishibai: which pixels of a row a clipping region covers. The region's outline is a polygon
// with vertices on a grid of 1/256 pixel (an ellipse is flattened into one), and each pixel is
// sampled at the grid point (x + 129/256, y + 127/256), so that every system covers the same
// pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace kamishibai {

// A run of pixels of one row: columns from..to-1.
struct PixelRun {
  std::int32_t from;
  std::int32_t to;
};

// The smallest run holding both runs' pixels; an empty run adds nothing.
inline PixelRun joined(const PixelRun& a, const PixelRun& b) {
  if (a.from >= a.to) return b;
  if (b.from >= b.to) return a;
  return {a.from < b.from ? a.from : b.from, a.to > b.to ? a.to : b.to};
}

// The rectangle outside which the region covers no pixel (empty for a shape without area).
PixelRect regionBounds(const Region& region);

// A region prepared for drawing: its outline's edges.
class RegionRows {
 public:
  explicit RegionRows(const Region& region);

  // Replaces `runs` with the runs of row y, limited to columns from..to-1, that the region
  // covers, left to right: the pixels whose sample point has an odd number of the outline's
  // edges strictly left of it on the row's sample line (the even-odd rule).
  void runs(std::int32_t y, std::int32_t from, std::int32_t to, std::vector<PixelRun>& runs) const;

  // A point in 1/256 pixel.
  struct GridPoint {
    std::int64_t x;
    std::int64_t y;
    bool operator==(const GridPoint&) const = default;
  };

 private:
  struct Edge {
    GridPoint top;
    GridPoint bottom;
  };
  std::vector<Edge> edges_;
};

}  // namespace kamishibai
