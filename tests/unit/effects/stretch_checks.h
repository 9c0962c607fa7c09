// Kamishibai: test support for the stretching transitions: a recorded frame checked against the
// whole pictures that should have been stretched onto rectangles of it.
#pragma once

#include <algorithm>
#include <cmath>
#include <optional>

#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {

// The destination of a stretch of a whole picture; extents may be zero or negative (mirrored).
struct StretchedBand {
  std::int32_t x, y, w, h;
  Picture picture;
};

// Where in which picture a coded pixel comes from.
struct Origin {
  std::int32_t x;
  std::int32_t y;
  Colour picture;  // 0 for black
};

inline Origin originOf(Colour c) {
  return {static_cast<std::int32_t>(c & 0x7FF), static_cast<std::int32_t>(c >> 11 & 0x7FF),
          c >> 22};
}

// Whether v lies in the span from `from` with the given length, which runs backwards when the
// length is negative.
inline bool inSpan(std::int32_t v, std::int32_t from, std::int32_t length) {
  return length >= 0 ? v >= from && v < from + length : v >= from + length && v < from;
}

// Whether source coordinate s may be what nearest-neighbour sampling picks for destination pixel
// d when `extent` source pixels are stretched onto the span (from, length): s must lie under the
// destination pixel's footprint. Ties at a footprint's edge may go either way.
inline bool underFootprint(std::int32_t s, std::int32_t d, std::int32_t from, std::int32_t length,
                           std::int32_t extent) {
  const double a = static_cast<double>(d - from) * extent / length;
  const double b = static_cast<double>(d + 1 - from) * extent / length;
  const double lo = std::max(std::floor(std::min(a, b)), 0.0);
  const double hi = std::min(std::ceil(std::max(a, b)) - 1, extent - 1.0);
  return s >= lo && s <= hi;
}

// Checks every pixel of the frame: inside the last band that covers it, that band's picture
// stretched whole onto the band; elsewhere, the pixel of `underneath`.
inline ::testing::AssertionResult showsBands(const Frame& frame,
                                             const std::vector<StretchedBand>& bands,
                                             const Frame& underneath) {
  for (std::int32_t y = 0; y < frame.height(); ++y) {
    for (std::int32_t x = 0; x < frame.width(); ++x) {
      std::optional<StretchedBand> top;
      for (const StretchedBand& band : bands)
        if (inSpan(x, band.x, band.w) && inSpan(y, band.y, band.h)) top = band;
      const Colour got = frame.pixel(x, y);
      if (!top) {
        if (got == underneath.pixel(x, y)) continue;
        return ::testing::AssertionFailure() << "(" << x << "," << y << "): got " << describe(got)
                                             << " want " << describe(underneath.pixel(x, y));
      }
      const Origin o = originOf(got);
      if (o.picture == static_cast<Colour>(top->picture) &&
          underFootprint(o.x, x, top->x, top->w, frame.width()) &&
          underFootprint(o.y, y, top->y, top->h, frame.height())) {
        continue;
      }
      return ::testing::AssertionFailure()
             << "(" << x << "," << y << "): got " << describe(got) << ", not picture "
             << static_cast<int>(top->picture) << " stretched onto (" << top->x << "," << top->y
             << "," << top->w << "," << top->h << ")";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace kamishibai::testing
