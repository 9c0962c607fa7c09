// Kamishibai: the PNG encoder on cairo, reading the surface's pixel words in place.
#include <stdexcept>

#include "platform/linux/surface_cairo.h"
#include "platform/png_file.h"

namespace kamishibai {
namespace {

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Surface& surface) {
  const CairoSurfacePtr image = cairoImageOf(surface);
  std::vector<std::uint8_t> bytes;
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_write_to_png_stream(image.get(), appendBytes, &bytes) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("the PNG encoder failed");
  }
  return bytes;
}

}  // namespace kamishibai
