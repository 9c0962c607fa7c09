// Kamishibai: frames scaled down for the GIF of a render and the contact sheet, each pixel the
// average of the frame's pixels it covers.
#pragma once

#include <cstdint>

#include "raster/raster.h"

namespace kamishibai {

// The side `other` of a frame whose side `side` is scaled to newSide: other * newSide / side,
// rounded half to even, at least one pixel.
std::int32_t scaledSide(std::int32_t other, std::int32_t newSide, std::int32_t side);

// The frame at width x height, no larger than it: each pixel the average of the frame's pixels
// from its own start to the next one's, rounded half to even (a copy, for a frame of that size).
Surface scaledDown(const Surface& frame, std::int32_t width, std::int32_t height);

}  // namespace kamishibai
