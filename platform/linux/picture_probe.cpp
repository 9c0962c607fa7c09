// Kamishibai: picture checks with a gdk-pixbuf loader fed from memory.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>

#include "platform/picture_probe.h"

namespace kamishibai {
namespace {

struct LoaderRelease {
  void operator()(GdkPixbufLoader* loader) const { g_object_unref(loader); }
};
struct ErrorRelease {
  void operator()(GError* error) const { g_error_free(error); }
};

// Takes ownership of a GError set by a call; its message, or the fallback when none was set.
std::string messageOf(GError* raw, const char* fallback) {
  const std::unique_ptr<GError, ErrorRelease> error(raw);
  return error ? std::string(error->message) : std::string(fallback);
}

}  // namespace

std::string pictureProblem(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return "the file is empty";
  const std::unique_ptr<GdkPixbufLoader, LoaderRelease> loader(gdk_pixbuf_loader_new());
  GError* error = nullptr;
  const bool written = gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), &error);
  if (!written) {
    gdk_pixbuf_loader_close(loader.get(), nullptr);
    return messageOf(error, "not a picture");
  }
  if (!gdk_pixbuf_loader_close(loader.get(), &error)) return messageOf(error, "not a picture");
  if (gdk_pixbuf_loader_get_pixbuf(loader.get()) == nullptr) return "not a picture";
  return {};
}

}  // namespace kamishibai
