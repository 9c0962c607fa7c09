// Kamishibai: where a nearest-neighbour stretch samples its source, in 16.16 fixed point so that
// every system picks the same source pixels.
#pragma once

#include <cstdint>

#include "raster/raster.h"

namespace kamishibai {

// Wide enough for any product of two fixed-point values or coordinates.
__extension__ typedef __int128 Wide;

// A value clamped into 62 bits, beyond any surface yet safe to add to.
std::int64_t narrow(Wide v);

// A stretch of the source rectangle (xs, ys, ws, hs) onto the destination rectangle
// (x, y, w, h); no extent is zero.
struct StretchGeometry {
  std::int32_t xs, ys, ws, hs;
  std::int32_t x, y, w, h;
};

// The source position of one axis in 16.16 fixed point: destination position d samples source
// pixel floor((first + (d - from) * step) / 65536), where `from` is the first destination
// position drawn.
struct AxisSampling {
  std::int64_t first;
  std::int64_t step;
  std::int64_t sourceAt(std::int64_t offset) const;
};

struct StretchSampling {
  PixelRect area;  // the destination pixels the stretch draws (empty: none)
  AxisSampling cols;
  AxisSampling rows;
};

// The sampling of a stretch whose destination is limited to `limit` (the surface and the
// clipping region's bounds), from a source of the given size. Only destination pixels whose
// sample rectangle reaches the source are drawn.
StretchSampling stretchSampling(const StretchGeometry& g, const PixelRect& limit,
                                std::int32_t sourceWidth, std::int32_t sourceHeight);

}  // namespace kamishibai
