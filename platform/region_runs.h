// Kamishibai: which pixels of a row a clipping region covers: those whose sample point near the
// pixel's centre lies inside the shape.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/raster.h"

namespace kamishibai {

// A run of pixels of one row: columns from..to-1.
struct PixelRun {
  std::int32_t from;
  std::int32_t to;
};

// The rectangle outside which the region covers no pixel (empty for a shape without area).
PixelRect regionBounds(const Region& region);

// Replaces `runs` with the runs of row y, limited to columns from..to-1, that the region covers,
// left to right. An ellipse covers the pixels whose centre lies inside it or on its outline; a
// polygon, filled by the even-odd rule, the pixels whose sample point (x + 129/256,
// y + 127/256) lies inside it or on a right edge.
void regionRuns(const Region& region, std::int32_t y, std::int32_t from, std::int32_t to,
                std::vector<PixelRun>& runs);

}  // namespace kamishibai
