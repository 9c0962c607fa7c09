// Kamishibai: frames scaled down by averaging.
#include "tools/frame_scaling.h"

#include <algorithm>

namespace kamishibai {
namespace {

// The quotient rounded half to even.
std::uint64_t roundedQuotient(std::uint64_t dividend, std::uint64_t divisor) {
  const std::uint64_t quotient = dividend / divisor, rest = dividend % divisor;
  return quotient + (2 * rest > divisor || (2 * rest == divisor && quotient % 2 == 1) ? 1 : 0);
}

// The average of the frame's pixels in columns [x0, x1) and rows [y0, y1).
Colour averageOf(const Surface& frame, std::int32_t x0, std::int32_t x1, std::int32_t y0,
                 std::int32_t y1) {
  std::uint64_t r = 0, g = 0, b = 0;
  for (std::int32_t y = y0; y < y1; ++y) {
    for (std::int32_t x = x0; x < x1; ++x) {
      const Colour c = frame.pixel(x, y);
      r += c & 0xFF;
      g += c >> 8 & 0xFF;
      b += c >> 16 & 0xFF;
    }
  }
  const auto count = static_cast<std::uint64_t>(x1 - x0) * static_cast<std::uint64_t>(y1 - y0);
  return makeColour(static_cast<std::uint8_t>(roundedQuotient(r, count)),
                    static_cast<std::uint8_t>(roundedQuotient(g, count)),
                    static_cast<std::uint8_t>(roundedQuotient(b, count)));
}

// Where the scaled pixel `at` starts on the frame's side.
std::int32_t startOn(std::int32_t at, std::int32_t frameSide, std::int32_t side) {
  return static_cast<std::int32_t>(static_cast<std::int64_t>(at) * frameSide / side);
}

}  // namespace

std::int32_t scaledSide(std::int32_t other, std::int32_t newSide, std::int32_t side) {
  const std::uint64_t scaled =
      roundedQuotient(static_cast<std::uint64_t>(other) * static_cast<std::uint64_t>(newSide),
                      static_cast<std::uint64_t>(side));
  return static_cast<std::int32_t>(std::max<std::uint64_t>(scaled, 1));
}

Surface scaledDown(const Surface& frame, std::int32_t width, std::int32_t height) {
  Surface scaled;
  scaled.resizeForOverwrite(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    const std::int32_t y0 = startOn(y, frame.height(), height),
                       y1 = startOn(y + 1, frame.height(), height);
    PixelWord* row = scaled.rowForWriting(y);
    for (std::int32_t x = 0; x < width; ++x) {
      row[x] = toPixelWord(averageOf(frame, startOn(x, frame.width(), width),
                                     startOn(x + 1, frame.width(), width), y0, y1));
    }
  }
  return scaled;
}

}  // namespace kamishibai
