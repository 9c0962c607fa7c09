// Kamishibai: the masked copy as a colour-keyed copy, pixel by pixel over the clipped rectangle.
#include "show/transparent_blt.h"

#include <algorithm>

#include "base/arith.h"

namespace kamishibai {
namespace {

// The offsets [from, to) inside a rectangle of the given extent that land inside both the
// target (starting at targetStart) and the source (starting at sourceStart).
struct Range {
  std::int64_t from;
  std::int64_t to;
};

Range visibleOffsets(std::int32_t extent, std::int32_t targetStart, std::int32_t targetSize,
                     std::int32_t sourceStart, std::int32_t sourceSize) {
  const std::int64_t from = std::max<std::int64_t>(
      {0, -static_cast<std::int64_t>(targetStart), -static_cast<std::int64_t>(sourceStart)});
  const std::int64_t to =
      std::min<std::int64_t>({extent, static_cast<std::int64_t>(targetSize) - targetStart,
                              static_cast<std::int64_t>(sourceSize) - sourceStart});
  return {from, to};
}

}  // namespace

void TransparentBltFunc(Surface& target, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, const Surface& source, std::int32_t sourceX,
                        std::int32_t sourceY, Colour transparent) {
  // The size of the colour mask's 24-bit image, which the masked copy needs in 32 bits.
  checkedMul(checkedMul(width, height), 3);

  const Colour key = transparent & 0xFFFFFFu;
  const Range columns = visibleOffsets(width, x, target.width(), sourceX, source.width());
  const Range rows = visibleOffsets(height, y, target.height(), sourceY, source.height());
  for (std::int64_t row = rows.from; row < rows.to; ++row) {
    for (std::int64_t column = columns.from; column < columns.to; ++column) {
      const Colour colour = source.pixel(static_cast<std::int32_t>(sourceX + column),
                                         static_cast<std::int32_t>(sourceY + row));
      if (colour == key) continue;
      target.setPixel(static_cast<std::int32_t>(x + column), static_cast<std::int32_t>(y + row),
                      colour);
    }
  }
}

}  // namespace kamishibai
