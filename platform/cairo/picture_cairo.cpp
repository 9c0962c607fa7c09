// Kamishibai: the picture loader on gdk-pixbuf, drawing into a cairo surface.
#include <gdk/gdk.h>

#include <memory>
#include <stdexcept>

#include "platform/cairo/backend.h"
#include "platform/picture.h"

namespace kamishibai {
namespace {

struct GObjectDeleter {
  void operator()(void* object) const { g_object_unref(object); }
};
using PixbufPtr = std::unique_ptr<GdkPixbuf, GObjectDeleter>;

struct GErrorDeleter {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, GErrorDeleter>;

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  GError* rawError = nullptr;
  PixbufPtr pixbuf(gdk_pixbuf_new_from_file(path.c_str(), &rawError));
  ErrorPtr error(rawError);
  if (!pixbuf) {
    throw std::runtime_error("cannot read the picture " + path + ": " +
                             (error ? error->message : "unknown format"));
  }
  target.resize(gdk_pixbuf_get_width(pixbuf.get()), gdk_pixbuf_get_height(pixbuf.get()));
  CairoContextPtr cr(cairo_create(target.backend().image.get()));
  gdk_cairo_set_source_pixbuf(cr.get(), pixbuf.get(), 0, 0);
  cairo_paint(cr.get());
}

}  // namespace kamishibai
