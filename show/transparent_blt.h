// Kamishibai: TransparentBltFunc, the masked copy: a rectangle of one surface onto another,
// leaving out every source pixel of the transparent colour.
#pragma once

#include <cstdint>

#include "raster/raster.h"

namespace kamishibai {

// Every pixel of the target rectangle at (x, y) of width by height becomes the source pixel at
// the same offset from (sourceX, sourceY), except where that source pixel equals transparent
// exactly: there the target keeps its pixel. Clipped at both surfaces' edges like any copy.
// The working size width * height * 3 must fit in 32 bits; otherwise an OverflowError is raised
// and nothing is drawn.
void TransparentBltFunc(Surface& target, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, const Surface& source, std::int32_t sourceX,
                        std::int32_t sourceY, Colour transparent);

}  // namespace kamishibai
