// Kamishibai: a surface's pixels as a cairo image, read in place, for painting and saving them.
#pragma once

#include <cairo.h>

#include <memory>

#include "raster/raster.h"

namespace kamishibai {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;

struct CairoContextDeleter {
  void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using CairoContextPtr = std::unique_ptr<cairo_t, CairoContextDeleter>;

// A cairo image over the surface's pixel words, without a copy: a 24-bit RGB image in 32-bit
// words has no padding, so its stride is the width in words. Valid while the surface keeps its
// size; cairo only reads it.
inline CairoSurfacePtr cairoImageOf(const Surface& surface) {
  return CairoSurfacePtr(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(const_cast<PixelWord*>(surface.pixelWords())),
      CAIRO_FORMAT_RGB24, surface.width(), surface.height(),
      surface.width() * static_cast<int>(sizeof(PixelWord))));
}

}  // namespace kamishibai
