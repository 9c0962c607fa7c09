// Kamishibai: the hand-over from a system's picture decoder to a surface, the same on every
// system so that a picture gives the same pixels everywhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/raster.h"

namespace kamishibai {

// How a decoder lays out one pixel's bytes in memory. Alpha is straight (not premultiplied);
// Bgrx's fourth byte is ignored.
enum class PixelLayout { Rgb, Rgba, Bgrx, Bgra };

// A decoded picture as the decoder holds it: `height` rows of `rowBytes` bytes, top row first.
struct DecodedPixels {
  std::int32_t width = 0;
  std::int32_t height = 0;
  const std::uint8_t* data = nullptr;
  std::size_t rowBytes = 0;
  PixelLayout layout = PixelLayout::Rgb;
};

// Resizes target to the picture's size and lays the pixels into it; a pixel with transparency
// is blended over target's back colour. Throws std::invalid_argument when the rows are too short
// for the width or the data is missing.
void fillFromDecoded(Surface& target, const DecodedPixels& pixels);

// The rectangle that a width by height picture takes in the frame with its top-left corner at
// `at`, when it lies wholly inside the frame; else an empty one.
PixelRect placementIn(const Surface& frame, std::int32_t width, std::int32_t height, Point at);

// Clears the frame around the picture's rectangle at `at` and lays the pixels into it, as
// fillFromDecoded would into a surface of the picture's own size that is then drawn there on the
// cleared frame; transparency is blended over the frame's back colour. Throws
// std::invalid_argument when the rectangle does not lie wholly inside the frame, and as
// fillFromDecoded.
void fillFromDecodedAt(Surface& frame, const DecodedPixels& pixels, Point at);

// fillFromDecodedAt when the picture lies wholly inside the frame at `at`, returning its
// rectangle there; else fillFromDecoded into target, returning an empty rectangle.
PixelRect fillFrameOrTarget(Surface& target, Surface& frame, const DecodedPixels& pixels, Point at);

}  // namespace kamishibai
