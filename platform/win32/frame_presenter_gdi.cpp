// Kamishibai: presenting a surface with SetDIBitsToDevice straight from its pixel words, which
// are a top-down 32-bit DIB.
#include "platform/win32/frame_presenter_gdi.h"

namespace kamishibai {

// The rows of the area are handed over as a DIB of their own, whose every row is copied, so the
// result does not hang on how GDI counts the rows of a top-down image.
void presentSurface(HDC target, const Surface& surface, std::int32_t left, std::int32_t top,
                    const PixelRect& area) {
  const PixelRect part = area.intersected({0, 0, surface.width(), surface.height()});
  if (part.empty()) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = surface.width();
  info.bmiHeader.biHeight = -part.height();  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const PixelWord* rows =
      surface.pixelWords() + static_cast<std::size_t>(part.top) * surface.width();
  SetDIBitsToDevice(target, left + part.left, top + part.top, static_cast<DWORD>(part.width()),
                    static_cast<DWORD>(part.height()), part.left, 0, 0,
                    static_cast<UINT>(part.height()), rows, &info, DIB_RGB_COLORS);
}

}  // namespace kamishibai
