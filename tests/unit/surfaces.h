// Kamishibai: test surfaces whose pixels tell where they came from, and whole-surface compares
// that name the first pixel that differs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>

#include "raster/raster.h"

namespace kamishibai {

// A w by h surface whose pixel (x, y) is code(x, y), set row by row from the top left.
template <class Code>
Surface codedSurface(std::int32_t w, std::int32_t h, Code&& code, Colour backColour = 0) {
  Surface s(w, h, backColour);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) s.setPixel(x, y, code(x, y));
  return s;
}

// Pixel (x, y) holds the colour (x, y, tag): up to 256 by 256 pixels every pixel differs, and the
// tag tells the surfaces apart.
inline Surface coordinateSurface(std::int32_t w, std::int32_t h, std::uint8_t tag,
                                 Colour backColour = 0) {
  const auto code = [tag](std::int32_t x, std::int32_t y) {
    return makeColour(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), tag);
  };
  return codedSurface(w, h, code, backColour);
}

// A colour as its red, green and blue parts: "(x,y,tag)" for a pixel of a coordinate surface.
inline std::string rgbText(Colour c) {
  std::ostringstream text;
  text << "(" << (c & 0xFF) << "," << (c >> 8 & 0xFF) << "," << (c >> 16 & 0xFF) << ")";
  return text.str();
}

using ColourText = std::string (*)(Colour);

// Every pixel of s against expected(x, y). A failure says how many pixels differ and names the
// first of them, row by row, with both colours as `text` writes them.
template <class Expected>
::testing::AssertionResult pixelsAre(const Surface& s, Expected&& expected,
                                     ColourText text = rgbText) {
  std::int64_t misses = 0;
  std::ostringstream first;
  for (std::int32_t y = 0; y < s.height(); ++y) {
    for (std::int32_t x = 0; x < s.width(); ++x) {
      const Colour got = s.pixel(x, y), want = expected(x, y);
      if (got == want || misses++ > 0) continue;
      first << "(" << x << "," << y << "): got " << text(got) << ", want " << text(want);
    }
  }
  if (misses == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << misses << " pixels differ, the first at " << first.str();
}

// Two surfaces of one size with the same pixels.
inline ::testing::AssertionResult samePixels(const Surface& got, const Surface& want,
                                             ColourText text = rgbText) {
  if (got.width() != want.width() || got.height() != want.height()) {
    return ::testing::AssertionFailure() << "the size is " << got.width() << " by " << got.height()
                                         << ", not " << want.width() << " by " << want.height();
  }
  return pixelsAre(
      got, [&want](std::int32_t x, std::int32_t y) { return want.pixel(x, y); }, text);
}

// The first pixel, row by row, at which two surfaces of one size differ.
inline std::optional<Point> firstDifference(const Surface& a, const Surface& b) {
  for (std::int32_t y = 0; y < a.height(); ++y)
    for (std::int32_t x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) return Point{x, y};
  return std::nullopt;
}

}  // namespace kamishibai
