// Kamishibai: putting a finished surface image on a window through GDI.
#pragma once

#include <windows.h>

#include <cstdint>

#include "raster/raster.h"

namespace kamishibai {

// Copies the part of the surface's image inside area, pixel for pixel, to the device context,
// the surface's top-left corner standing at (left, top).
void presentSurface(HDC target, const Surface& surface, std::int32_t left, std::int32_t top,
                    const PixelRect& area);

}  // namespace kamishibai
