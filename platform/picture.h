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

// Decodes the picture file as loadPicture does, without keeping it: empty when the show loads it,
// else why it does not. The packer checks the pictures it stores as they are with this, so that
// it refuses what the player would refuse.
std::string pictureLoadProblem(const std::string& path);

}  // namespace kamishibai
