// Kamishibai: laying decoded pixels into a surface, blending transparency over the back colour
// with 8-bit rounding.
#include "raster/decoded_pixels.h"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace kamishibai {
namespace {

constexpr std::size_t bytesPerPixel(PixelLayout layout) {
  return layout == PixelLayout::Rgb ? 3 : 4;
}

// a * b / 255, rounded to nearest.
std::uint32_t multiply255(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t t = a * b + 0x80;
  return ((t >> 8) + t) >> 8;
}

// One channel of a straight-alpha pixel over an opaque background.
std::uint32_t over(std::uint32_t channel, std::uint32_t alpha, std::uint32_t background) {
  const std::uint32_t sum = multiply255(channel, alpha) + multiply255(background, 255 - alpha);
  return sum > 255 ? 255 : sum;
}

template <PixelLayout layout>
PixelWord wordOf(const std::uint8_t* p, PixelWord background) {
  constexpr bool bgr = layout == PixelLayout::Bgrx || layout == PixelLayout::Bgra;
  constexpr bool alpha = layout == PixelLayout::Rgba || layout == PixelLayout::Bgra;
  std::uint32_t r = p[bgr ? 2 : 0], g = p[1], b = p[bgr ? 0 : 2];
  if constexpr (alpha) {
    if (const std::uint32_t a = p[3]; a != 255) {
      r = over(r, a, background >> 16 & 0xFF);
      g = over(g, a, background >> 8 & 0xFF);
      b = over(b, a, background & 0xFF);
    }
  }
  return r << 16 | g << 8 | b;
}

// An opaque RGB pixel from a load of four bytes, the first three being its own: the byte order
// reversed puts red, green and blue where a pixel word has them.
PixelWord rgbWordOf(const std::uint8_t* p) {
  std::uint32_t bytes = 0;
  std::memcpy(&bytes, p, sizeof bytes);
  if constexpr (std::endian::native == std::endian::little) bytes = __builtin_bswap32(bytes);
  return bytes >> 8;
}

// Each layout has its own loop, so that an opaque picture's rows convert without a test per
// pixel. The picture's rows go to the target's words from `at` on.
template <PixelLayout layout>
void fillRows(Surface& target, const DecodedPixels& pixels, Point at) {
  const PixelWord background = toPixelWord(target.backColour());
  for (std::int32_t y = 0; y < pixels.height; ++y) {
    const std::uint8_t* in = pixels.data + static_cast<std::size_t>(y) * pixels.rowBytes;
    PixelWord* out = target.wordsForWriting(at.x, at.y + y, pixels.width);
    std::int32_t x = 0;
    if constexpr (layout == PixelLayout::Rgb) {
      // Every pixel but the row's last has a fourth byte after it to load with it.
      for (; x + 1 < pixels.width; ++x) out[x] = rgbWordOf(in + static_cast<std::size_t>(x) * 3);
    }
    for (; x < pixels.width; ++x) {
      out[x] = wordOf<layout>(in + static_cast<std::size_t>(x) * bytesPerPixel(layout), background);
    }
  }
}

void checkRows(const DecodedPixels& pixels) {
  if (pixels.width < 0 || pixels.height < 0 ||
      (pixels.width > 0 && pixels.height > 0 &&
       (!pixels.data ||
        pixels.rowBytes / bytesPerPixel(pixels.layout) < static_cast<std::size_t>(pixels.width)))) {
    throw std::invalid_argument("decoded picture rows are shorter than its width");
  }
}

void fillAllRows(Surface& target, const DecodedPixels& pixels, Point at) {
  switch (pixels.layout) {
    case PixelLayout::Rgb:
      return fillRows<PixelLayout::Rgb>(target, pixels, at);
    case PixelLayout::Rgba:
      return fillRows<PixelLayout::Rgba>(target, pixels, at);
    case PixelLayout::Bgrx:
      return fillRows<PixelLayout::Bgrx>(target, pixels, at);
    case PixelLayout::Bgra:
      return fillRows<PixelLayout::Bgra>(target, pixels, at);
  }
}

}  // namespace

void fillFromDecoded(Surface& target, const DecodedPixels& pixels) {
  checkRows(pixels);
  // Every word is written below.
  target.resizeForOverwrite(pixels.width, pixels.height);
  fillAllRows(target, pixels, {0, 0});
}

PixelRect placementIn(const Surface& frame, std::int32_t width, std::int32_t height, Point at) {
  if (width <= 0 || height <= 0 || at.x < 0 || at.y < 0 || at.x > frame.width() - width ||
      at.y > frame.height() - height) {
    return {};
  }
  return {at.x, at.y, at.x + width, at.y + height};
}

void fillFromDecodedAt(Surface& frame, const DecodedPixels& pixels, Point at) {
  checkRows(pixels);
  const PixelRect place = placementIn(frame, pixels.width, pixels.height, at);
  if (place.empty()) throw std::invalid_argument("the decoded picture does not fit in the frame");
  // Every word of the rectangle is written below.
  frame.clearAround(place);
  fillAllRows(frame, pixels, at);
}

PixelRect fillFrameOrTarget(Surface& target, Surface& frame, const DecodedPixels& pixels,
                            Point at) {
  const PixelRect place = placementIn(frame, pixels.width, pixels.height, at);
  if (place.empty()) {
    fillFromDecoded(target, pixels);
  } else {
    fillFromDecodedAt(frame, pixels, at);
  }
  return place;
}

}  // namespace kamishibai
