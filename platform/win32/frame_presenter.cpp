// Kamishibai: presenting a surface with SetDIBitsToDevice from a top-down 32-bit image.
#include "platform/win32/frame_presenter.h"

#include <vector>

namespace kamishibai {

namespace {

// 0x00BBGGRR colour values as the 0x00RRGGBB words of a 32-bit DIB.
std::uint32_t dibPixel(Colour colour) {
  return (colour & 0xFFu) << 16 | (colour & 0xFF00u) | (colour >> 16 & 0xFFu);
}

}  // namespace

void presentSurface(HDC target, const Surface& surface, std::int32_t left, std::int32_t top) {
  const std::int32_t width = surface.width();
  const std::int32_t height = surface.height();
  if (width <= 0 || height <= 0) return;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      pixels[static_cast<std::size_t>(y) * width + x] = dibPixel(surface.pixel(x, y));
    }
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(target, left, top, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0,
                    0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace kamishibai
