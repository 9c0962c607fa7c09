// Kamishibai: where the black covers go: every part of every monitor that the show's window
// leaves in view, however the monitors overlap (cloned monitors of different sizes).
#pragma once

#include <span>
#include <vector>

#include "raster/raster.h"

namespace kamishibai {

// The parts of the monitors outside `shown`, as rectangles apart from each other that cover each
// such part of the screen once: rows of the screen in bands, each band's parts as wide as they go,
// and bands of the same parts joined.
std::vector<PixelRect> uncoveredParts(std::span<const PixelRect> monitors, const PixelRect& shown);

}  // namespace kamishibai
