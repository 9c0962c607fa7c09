// Kamishibai: the system's PNG writer, for rendered frames.
#pragma once

#include <filesystem>

#include "raster/raster.h"

namespace kamishibai {

// Writes the surface's image as a PNG file; throws std::runtime_error naming the file.
void writePng(const Surface& surface, const std::filesystem::path& path);

}  // namespace kamishibai
