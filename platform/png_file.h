// Kamishibai: the system's PNG encoder, for rendered frames.
#pragma once

#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace kamishibai {

// The surface's image as the bytes of an opaque RGB PNG file; throws std::runtime_error when the
// encoder fails.
std::vector<std::uint8_t> encodePng(const Surface& surface);

}  // namespace kamishibai
