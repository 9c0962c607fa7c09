// Kamishibai: the system picture loader: reads a picture file (JPEG, PNG, BMP, GIF) into a
// surface.
#pragma once

#include <string>

#include "raster/raster.h"

namespace kamishibai {

// Resizes target to the picture's size and draws the picture into it; a picture with
// transparency is drawn over target's back colour. Throws std::runtime_error naming the file
// when it cannot be read.
void loadPicture(const std::string& path, Surface& target);

}  // namespace kamishibai
