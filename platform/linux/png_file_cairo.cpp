// Kamishibai: the PNG writer on cairo, reading the surface's pixel words in place.
#include <stdexcept>

#include "platform/linux/surface_cairo.h"
#include "platform/png_file.h"

namespace kamishibai {

void writePng(const Surface& surface, const std::filesystem::path& path) {
  const CairoSurfacePtr image = cairoImageOf(surface);
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_write_to_png(image.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write the picture " + path.string());
  }
}

}  // namespace kamishibai
