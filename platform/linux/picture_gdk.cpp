// Kamishibai: the picture loader on gdk-pixbuf, with JPEG pictures decoded by the same JPEG
// library with the same settings straight into the surface's words.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <jpeglib.h>

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/linux/handle_owner_glib.h"
#include "platform/picture.h"
#include "raster/decoded_pixels.h"

namespace kamishibai {
namespace {

using PixbufPtr = GObjectPtr<GdkPixbuf>;

// Where decoded rows go, chosen once the picture's size is known: into the frame at `at` when the
// picture lies wholly inside it (cleared around the picture), else into the target at the
// picture's own size.
class PictureRows {
 public:
  PictureRows(Surface& target, Surface* frame, Point at)
      : target_(target), frame_(frame), at_(at) {}

  void takeSize(std::int32_t width, std::int32_t height) {
    width_ = width;
    if (frame_) placed_ = placementIn(*frame_, width, height, at_);
    if (!placed_.empty()) {
      // Every word of the rectangle is written next.
      frame_->clearAround(placed_);
    } else {
      target_.resizeForOverwrite(width, height);
    }
  }
  PixelWord* row(std::int32_t y) {
    if (placed_.empty()) return target_.rowForWriting(y);
    return frame_->wordsForWriting(placed_.left, placed_.top + y, width_);
  }
  const PixelRect& placed() const { return placed_; }

 private:
  Surface& target_;
  Surface* frame_;
  Point at_;
  std::int32_t width_ = 0;
  PixelRect placed_;
};

// The JPEG library's errors end the decoding through a jump back to its start; its warnings
// (damaged data, a file cut short, whose missing part comes out grey) are ignored, as gdk-pixbuf
// ignores them.
struct JpegErrors {
  jpeg_error_mgr library{};
  std::jmp_buf failed{};
};

[[noreturn]] void onJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->failed, 1);
}

void ignoreJpegMessage(j_common_ptr) {}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// A JPEG decoding with gdk-pixbuf's settings, the library's defaults, into pixel words: four
// bytes a pixel, red in the third on a little-endian machine, then the fourth cleared.
class JpegDecoding {
 public:
  JpegDecoding() {
    info_.err = jpeg_std_error(&errors_.library);
    errors_.library.error_exit = onJpegError;
    errors_.library.output_message = ignoreJpegMessage;
    jpeg_create_decompress(&info_);
  }
  ~JpegDecoding() { jpeg_destroy_decompress(&info_); }
  JpegDecoding(const JpegDecoding&) = delete;
  JpegDecoding& operator=(const JpegDecoding&) = delete;

  // False when the library fails on the file, or its colours are neither RGB nor grey (which
  // gdk-pixbuf converts its own way): the rows may then hold part of the picture.
  bool decode(std::FILE* file, PictureRows& rows) {
    if (setjmp(errors_.failed) != 0) return false;
    jpeg_stdio_src(&info_, file);
    jpeg_read_header(&info_, TRUE);
    if (info_.out_color_space != JCS_RGB && info_.out_color_space != JCS_GRAYSCALE) return false;
    info_.out_color_space =
        std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_start_decompress(&info_);
    rows.takeSize(static_cast<std::int32_t>(info_.output_width),
                  static_cast<std::int32_t>(info_.output_height));
    const std::size_t width = info_.output_width;
    while (info_.output_scanline < info_.output_height) {
      PixelWord* words = rows.row(static_cast<std::int32_t>(info_.output_scanline));
      JSAMPROW row = reinterpret_cast<JSAMPROW>(words);
      jpeg_read_scanlines(&info_, &row, 1);
      for (std::size_t x = 0; x < width; ++x) words[x] &= 0xFFFFFF;
    }
    jpeg_finish_decompress(&info_);
    return true;
  }

 private:
  JpegErrors errors_;
  jpeg_decompress_struct info_{};
};

// A JPEG file, by its first bytes, as gdk-pixbuf tells the formats apart.
bool startsLikeJpeg(std::FILE* file) {
  unsigned char start[3] = {};
  const bool jpeg = std::fread(start, 1, sizeof start, file) == sizeof start && start[0] == 0xFF &&
                    start[1] == 0xD8 && start[2] == 0xFF;
  std::rewind(file);
  return jpeg;
}

bool decodedAsJpeg(const std::string& path, PictureRows& rows) {
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || !startsLikeJpeg(file.get())) return false;
  JpegDecoding decoding;
  return decoding.decode(file.get(), rows);
}

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

// A JPEG whose colours are RGB or grey goes straight into the surface's words; anything else,
// and a JPEG the library fails on (for gdk-pixbuf's own message), through gdk-pixbuf.
PixelRect load(const std::string& path, Surface& target, Surface* frame, Point at) {
  PictureRows rows(target, frame, at);
  if (decodedAsJpeg(path, rows)) return rows.placed();
  const Decoded picture = decode(path);
  if (!picture.pixbuf) {
    throw std::runtime_error("cannot read the picture " + path + ": " + picture.problem);
  }
  GdkPixbuf* pixbuf = picture.pixbuf.get();
  const DecodedPixels pixels{
      gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_read_pixels(pixbuf),
      static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf)),
      gdk_pixbuf_get_has_alpha(pixbuf) ? PixelLayout::Rgba : PixelLayout::Rgb};
  if (frame) return fillFrameOrTarget(target, *frame, pixels, at);
  fillFromDecoded(target, pixels);
  return {};
}

}  // namespace

void loadPicture(const std::string& path, Surface& target) {
  load(path, target, nullptr, {});
}

PixelRect loadPictureInto(const std::string& path, Surface& target, Surface& frame, Point at) {
  return load(path, target, &frame, at);
}

// The JPEG library accepts what gdk-pixbuf's JPEG loader accepts, and what it fails on goes to
// gdk-pixbuf: the pixbuf's verdict is the show's.
std::string pictureLoadProblem(const std::string& path) {
  return decode(path).problem;
}

}  // namespace kamishibai
