// Kamishibai: laying decoded pixels into a surface, blending transparency over the back colour
// with 8-bit rounding.
#include "platform/decoded_pixels.h"

#include <stdexcept>

namespace kamishibai {
namespace {

std::size_t bytesPerPixel(PixelLayout layout) {
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

PixelWord wordOf(const std::uint8_t* p, PixelLayout layout, PixelWord background) {
  std::uint32_t r = 0, g = 0, b = 0, a = 255;
  switch (layout) {
    case PixelLayout::Rgb:
      r = p[0], g = p[1], b = p[2];
      break;
    case PixelLayout::Rgba:
      r = p[0], g = p[1], b = p[2], a = p[3];
      break;
    case PixelLayout::Bgrx:
      b = p[0], g = p[1], r = p[2];
      break;
    case PixelLayout::Bgra:
      b = p[0], g = p[1], r = p[2], a = p[3];
      break;
  }
  if (a != 255) {
    r = over(r, a, background >> 16 & 0xFF);
    g = over(g, a, background >> 8 & 0xFF);
    b = over(b, a, background & 0xFF);
  }
  return r << 16 | g << 8 | b;
}

}  // namespace

void fillFromDecoded(Surface& target, const DecodedPixels& pixels) {
  if (pixels.width < 0 || pixels.height < 0 ||
      (pixels.width > 0 && pixels.height > 0 &&
       (!pixels.data ||
        pixels.rowBytes / bytesPerPixel(pixels.layout) < static_cast<std::size_t>(pixels.width)))) {
    throw std::invalid_argument("decoded picture rows are shorter than its width");
  }
  target.resize(pixels.width, pixels.height);
  const PixelWord background = toPixelWord(target.backColour());
  for (std::int32_t y = 0; y < pixels.height; ++y) {
    const std::uint8_t* in = pixels.data + static_cast<std::size_t>(y) * pixels.rowBytes;
    PixelWord* out = target.rowForWriting(y);
    for (std::int32_t x = 0; x < pixels.width; ++x) {
      out[x] = wordOf(in + static_cast<std::size_t>(x) * bytesPerPixel(pixels.layout),
                      pixels.layout, background);
    }
  }
}

}  // namespace kamishibai
