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

// loadPicture, except that a picture that lies wholly inside `frame` with its top-left corner at
// `at` is decoded straight into the frame, cleared around it, and target is left alone: the frame
// then needs no copy of the picture, nor the memory a picture of its own would take. Returns the
// frame's rectangle that holds the picture then, else an empty one.
PixelRect loadPictureInto(const std::string& path, Surface& target, Surface& frame, Point at);

// Decodes the picture file as loadPicture does, without keeping it: empty when the show loads it,
// else why it does not. The packer checks the pictures it stores as they are with this, so that
// it refuses what the player would refuse.
std::string pictureLoadProblem(const std::string& path);

}  // namespace kamishibai
