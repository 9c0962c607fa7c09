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

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  GError* rawError = nullptr;
  PixbufPtr pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &rawError));
  GErrorPtr error(rawError);
  if (!pixbuf) {
    throw std::runtime_error("cannot read the picture " + path + ": " +
                             (error ? error->message : "unknown format"));
  }
  const bool alpha = gdk_pixbuf_get_has_alpha(pixbuf.get());
  if (gdk_pixbuf_get_bits_per_sample(pixbuf.get()) != 8 ||
      gdk_pixbuf_get_n_channels(pixbuf.get()) != (alpha ? 4 : 3)) {
    throw std::runtime_error("cannot read the picture " + path + ": unsupported pixel format");
  }
  fillFromDecoded(target, {gdk_pixbuf_get_width(pixbuf.get()), gdk_pixbuf_get_height(pixbuf.get()),
                           gdk_pixbuf_read_pixels(pixbuf.get()),
                           static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf.get())),
                           alpha ? PixelLayout::Rgba : PixelLayout::Rgb});
}

}  // namespace kamishibai
