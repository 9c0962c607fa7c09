// Kamishibai: putting a finished surface image on a window through GDI.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/raster.h"

namespace kamishibai {

// Copies the whole image of the surface to (left, top) of the device context, pixel for pixel.
void presentSurface(HDC target, const Surface& surface, std::int32_t left, std::int32_t top);

}  // namespace kamishibai
