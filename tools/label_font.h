// Kamishibai: a small bitmap font built into the tools, for labels drawn into surfaces: the same
// pixels on every system, with no font installed.
#pragma once

#include <cstdint>
#include <string_view>

#include "raster/raster.h"

namespace kamishibai {

// A glyph's height and the step from one glyph to the next, in font pixels.
inline constexpr std::int32_t kLabelGlyphHeight = 7;
inline constexpr std::int32_t kLabelAdvance = 6;

// The width of the text's pixels when each font pixel is a scale x scale box.
std::int32_t labelWidth(std::string_view text, std::int32_t scale);

// Draws the text with its top-left corner at (x, y) in the colour, each font pixel a scale x
// scale box. The font holds digits, lower-case letters, "-" and the blank; any other character is
// drawn as a hollow box.
void drawLabel(Surface& surface, std::string_view text, std::int32_t x, std::int32_t y,
               std::int32_t scale, Colour colour);

}  // namespace kamishibai
