// Kamishibai: the picture loader on gdk-pixbuf.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <stdexcept>

#include "platform/linux/handle_owner_glib.h"
#include "platform/picture.h"
#include "raster/decoded_pixels.h"

namespace kamishibai {
namespace {

using PixbufPtr = GObjectPtr<GdkPixbuf>;

struct Decoded {
  PixbufPtr pixbuf;
  std::string problem;  // empty when the pixbuf is there
};

// The whole file through the format's own loader, which refuses a PNG cut short where the
// loader fed in pieces would not.
Decoded decode(const std::string& path) {
  GError* rawError = nullptr;
  PixbufPtr pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &rawError));
  GErrorPtr error(rawError);
  if (!pixbuf) return {nullptr, error ? error->message : "unknown format"};
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf.get());
  if (gdk_pixbuf_get_bits_per_sample(pixbuf.get()) != 8 ||
      gdk_pixbuf_get_n_channels(pixbuf.get()) != (alpha ? 4 : 3)) {
    return {nullptr, "unsupported pixel format"};
  }
  return {std::move(pixbuf), {}};
}

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  const Decoded picture = decode(path);
  if (!picture.pixbuf)
    throw std::runtime_error("cannot read the picture " + path + ": " + picture.problem);
  GdkPixbuf* pixbuf = picture.pixbuf.get();
  fillFromDecoded(
      target,
      {gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_read_pixels(pixbuf),
       static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf)),
       gdk_pixbuf_get_has_alpha(pixbuf) ? PixelLayout::Rgba : PixelLayout::Rgb});
}

std::string pictureLoadProblem(const std::string& path) {
  return decode(path).problem;
}

}  // namespace kamishibai
