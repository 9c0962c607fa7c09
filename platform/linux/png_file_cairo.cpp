// Kamishibai: the PNG writer on cairo, reading the surface's pixel words in place.
#include <cairo.h>

#include <memory>
#include <stdexcept>

#include "platform/png_file.h"

namespace kamishibai {

void writePng(const Surface& surface, const std::filesystem::path& path) {
  // Cairo only reads the pixels to write them; a 24-bit RGB image in 32-bit words has no
  // padding, so its stride is the width in words.
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> image(
      cairo_image_surface_create_for_data(
          reinterpret_cast<unsigned char*>(const_cast<PixelWord*>(surface.pixelWords())),
          CAIRO_FORMAT_RGB24, surface.width(), surface.height(),
          surface.width() * static_cast<int>(sizeof(PixelWord))),
      &cairo_surface_destroy);
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_write_to_png(image.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write the picture " + path.string());
  }
}

}  // namespace kamishibai
