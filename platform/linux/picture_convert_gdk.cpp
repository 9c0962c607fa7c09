// Kamishibai: picture checks and fitting with gdk-pixbuf, fed from memory.
#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>

#include "formats/picture_header.h"
#include "platform/linux/handle_owner_glib.h"
#include "platform/picture_convert.h"
#include "raster/decoded_pixels.h"

namespace kamishibai {
namespace {

using LoaderPtr = GObjectPtr<GdkPixbufLoader>;
using PixbufPtr = GObjectPtr<GdkPixbuf>;

// Takes ownership of a GError set by a call; its message, or the fallback when none was set.
std::string messageOf(GError* raw, const char* fallback) {
  const GErrorPtr error(raw);
  return error ? std::string(error->message) : std::string(fallback);
}

// Asks the loader for a smaller picture than stored; codecs that can (JPEG) then decode at
// that scale, the others scale after decoding.
struct DecodeSize {
  // Gives the decoded size for the stored size; the loader keeps the stored size when it
  // returns the same.
  std::function<std::pair<int, int>(int, int)> choose;
  // Set when the stored size is too large to decode: the bytes after it are not fed.
  std::string tooLarge = {};
};

void onSizePrepared(GdkPixbufLoader* loader, int width, int height, gpointer data) {
  auto* size = static_cast<DecodeSize*>(data);
  size->tooLarge = pictureSizeProblem({width, height});
  // The smallest size keeps the decoder from making room for the pixels of a refused picture.
  if (!size->tooLarge.empty()) {
    gdk_pixbuf_loader_set_size(loader, 1, 1);
    return;
  }
  const auto [w, h] = size->choose(width, height);
  if (w != width || h != height) gdk_pixbuf_loader_set_size(loader, w, h);
}

// Formats whose header this program does not read are fed in pieces, so that the loader's own
// size report can stop a picture too large to decode.
constexpr std::size_t kFeedPiece = 64 * 1024;

struct Decoded {
  std::string problem;
  PixbufPtr pixbuf;
};

Decoded decode(std::span<const std::uint8_t> bytes, DecodeSize& size) {
  if (bytes.empty()) return {"the file is empty", nullptr};
  const LoaderPtr loader(gdk_pixbuf_loader_new());
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(onSizePrepared), &size);
  GError* error = nullptr;
  for (std::size_t done = 0; done < bytes.size(); done += kFeedPiece) {
    const std::size_t piece = std::min(kFeedPiece, bytes.size() - done);
    if (!gdk_pixbuf_loader_write(loader.get(), bytes.data() + done, piece, &error)) {
      gdk_pixbuf_loader_close(loader.get(), nullptr);
      return {messageOf(error, "not a picture"), nullptr};
    }
    if (!size.tooLarge.empty()) {
      gdk_pixbuf_loader_close(loader.get(), nullptr);
      return {"too large: " + size.tooLarge, nullptr};
    }
  }
  const bool closed = gdk_pixbuf_loader_close(loader.get(), &error);
  // Some formats report their size only as they close.
  if (!size.tooLarge.empty()) {
    if (error != nullptr) g_error_free(error);
    return {"too large: " + size.tooLarge, nullptr};
  }
  if (!closed) return {messageOf(error, "not a picture"), nullptr};
  GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
  if (pixbuf == nullptr) return {"not a picture", nullptr};
  return {{}, PixbufPtr(GDK_PIXBUF(g_object_ref(pixbuf)))};
}

// The picture turned as its EXIF orientation says, so that it stands upright.
PixbufPtr upright(PixbufPtr picture, int orientation) {
  const auto rotate = [](GdkPixbuf* p, GdkPixbufRotation r) {
    return PixbufPtr(gdk_pixbuf_rotate_simple(p, r));
  };
  const auto mirror = [](GdkPixbuf* p, bool across) {
    return PixbufPtr(gdk_pixbuf_flip(p, across ? TRUE : FALSE));
  };
  switch (orientation) {
    case 2:
      return mirror(picture.get(), true);
    case 3:
      return rotate(picture.get(), GDK_PIXBUF_ROTATE_UPSIDEDOWN);
    case 4:
      return mirror(picture.get(), false);
    case 5:
      return mirror(rotate(picture.get(), GDK_PIXBUF_ROTATE_CLOCKWISE).get(), true);
    case 6:
      return rotate(picture.get(), GDK_PIXBUF_ROTATE_CLOCKWISE);
    case 7:
      return mirror(rotate(picture.get(), GDK_PIXBUF_ROTATE_COUNTERCLOCKWISE).get(), true);
    case 8:
      return rotate(picture.get(), GDK_PIXBUF_ROTATE_COUNTERCLOCKWISE);
    default:
      return picture;
  }
}

bool turnsQuarter(int orientation) {
  return orientation >= 5 && orientation <= 8;
}

// Scaled with area filtering (each pixel averages what it covers) where the loader did not
// already give the size.
PixbufPtr scaled(PixbufPtr picture, int width, int height) {
  if (gdk_pixbuf_get_width(picture.get()) == width &&
      gdk_pixbuf_get_height(picture.get()) == height)
    return picture;
  return PixbufPtr(gdk_pixbuf_scale_simple(picture.get(), width, height, GDK_INTERP_BILINEAR));
}

std::string encode(GdkPixbuf* picture, bool png, int quality, std::vector<std::uint8_t>& out) {
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  const std::string qualityText = std::to_string(quality);
  const gboolean saved =
      png ? gdk_pixbuf_save_to_buffer(picture, &buffer, &size, "png", &error, nullptr)
          : gdk_pixbuf_save_to_buffer(picture, &buffer, &size, "jpeg", &error, "quality",
                                      qualityText.c_str(), nullptr);
  if (!saved) return messageOf(error, "cannot be encoded");
  out.assign(buffer, buffer + size);
  g_free(buffer);
  return {};
}

// The picture decoded, upright, scaled and cropped as the request asks; no picture on a problem.
struct Fitted {
  std::string problem;
  PixbufPtr picture;
  FitGeometry geometry;
};

Fitted fitted(std::span<const std::uint8_t> bytes, const FitRequest& request) {
  Fitted result;
  FitGeometry& geometry = result.geometry;
  const bool quarter = turnsQuarter(request.orientation);
  DecodeSize toScale{[&](int storedWidth, int storedHeight) {
    const int width = quarter ? storedHeight : storedWidth;
    const int height = quarter ? storedWidth : storedHeight;
    geometry = fitGeometry(request.fit, width, height, request.areaWidth, request.areaHeight);
    return quarter ? std::pair{geometry.scaledHeight, geometry.scaledWidth}
                   : std::pair{geometry.scaledWidth, geometry.scaledHeight};
  }};
  Decoded decoded = decode(bytes, toScale);
  if (!decoded.problem.empty()) {
    result.problem = decoded.problem;
    return result;
  }
  PixbufPtr picture = upright(std::move(decoded.pixbuf), request.orientation);
  picture = scaled(std::move(picture), geometry.scaledWidth, geometry.scaledHeight);
  if (!picture) {
    result.problem = "not enough memory to scale the picture";
    return result;
  }
  if (geometry.width != geometry.scaledWidth || geometry.height != geometry.scaledHeight) {
    picture = PixbufPtr(gdk_pixbuf_new_subpixbuf(picture.get(), geometry.cropX, geometry.cropY,
                                                 geometry.width, geometry.height));
  }
  result.picture = std::move(picture);
  return result;
}

}  // namespace

PictureFacts checkJpegHeader(std::span<const std::uint8_t> headerBytes) {
  bool sized = false;
  // The smallest size keeps the decoder from making room for pixels that never come.
  DecodeSize report{[&sized](int, int) {
    sized = true;
    return std::pair{1, 1};
  }};
  const LoaderPtr loader(gdk_pixbuf_loader_new_with_type("jpeg", nullptr));
  if (!loader) return {"no JPEG decoder", false};
  g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(onSizePrepared), &report);
  GError* error = nullptr;
  const bool written =
      gdk_pixbuf_loader_write(loader.get(), headerBytes.data(), headerBytes.size(), &error);
  // The image data is not there, so closing reports it missing; only the header matters here.
  gdk_pixbuf_loader_close(loader.get(), nullptr);
  if (!written) return {messageOf(error, "not a picture"), false};
  if (!report.tooLarge.empty()) return {"too large: " + report.tooLarge, false};
  if (!sized) return {"the JPEG header is incomplete", false};
  return {};
}

FittedPicture fitPicture(std::span<const std::uint8_t> bytes, const FitRequest& request) {
  FittedPicture result;
  const Fitted picture = fitted(bytes, request);
  if (!picture.problem.empty()) {
    result.problem = picture.problem;
    return result;
  }
  result.png = request.png || gdk_pixbuf_get_has_alpha(picture.picture.get());
  result.width = picture.geometry.width;
  result.height = picture.geometry.height;
  result.problem = encode(picture.picture.get(), result.png, request.jpegQuality, result.bytes);
  return result;
}

std::string fitPictureInto(std::span<const std::uint8_t> bytes, const FitRequest& request,
                           Surface& target) {
  const Fitted picture = fitted(bytes, request);
  if (!picture.problem.empty()) return picture.problem;
  GdkPixbuf* pixbuf = picture.picture.get();
  if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8) return "unsupported pixel format";
  fillFromDecoded(
      target,
      {gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_read_pixels(pixbuf),
       static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf)),
       gdk_pixbuf_get_has_alpha(pixbuf) ? PixelLayout::Rgba : PixelLayout::Rgb});
  return {};
}

std::vector<std::string> pictureFileEndings() {
  std::vector<std::string> endings;
  GSList* formats = gdk_pixbuf_get_formats();
  for (GSList* item = formats; item != nullptr; item = item->next) {
    auto* format = static_cast<GdkPixbufFormat*>(item->data);
    gchar** extensions = gdk_pixbuf_format_get_extensions(format);
    for (gchar** e = extensions; e != nullptr && *e != nullptr; ++e) {
      std::string ending(*e);
      std::transform(ending.begin(), ending.end(), ending.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      endings.push_back(ending);
    }
    g_strfreev(extensions);
  }
  g_slist_free(formats);
  std::sort(endings.begin(), endings.end());
  endings.erase(std::unique(endings.begin(), endings.end()), endings.end());
  return endings;
}

}  // namespace kamishibai
