// Kamishibai: the cairo side of a Surface, for the backends that present or save its image.
#pragma once

#include <cairo.h>

#include <memory>
#include <optional>

#include "platform/raster.h"

namespace kamishibai {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

struct CairoContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using CairoContextPtr = std::unique_ptr<cairo_t, CairoContextDeleter>;

struct Surface::Backend {
  CairoSurfacePtr image;  // CAIRO_FORMAT_RGB24, the persistent image
  std::optional<Region> clip;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Pixel values of an RGB24 cairo image (0x00RRGGBB) and the package's colour values.
constexpr std::uint32_t toCairoPixel(Colour c) {
  return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
constexpr Colour fromCairoPixel(std::uint32_t p) {
  return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16;
}

}  // namespace kamishibai
