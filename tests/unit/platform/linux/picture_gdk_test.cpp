// Kamishibai: JPEG pictures decoded straight into a surface give exactly gdk-pixbuf's pixels, for
// every sampling, grey and colour, baseline and progressive, with restart markers and cut short;
// and a picture that lies inside a frame is decoded into it, one that does not into the target.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/picture.h"
#include "raster/decoded_pixels.h"
#include "tests/unit/scratch_folder.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

struct JpegKind {
  const char* name;
  J_COLOR_SPACE colours;
  int horizontal;  // the first component's sampling factors
  int vertical;
  bool progressive;
  int restartRows;
};

// A picture of smooth areas and hard edges, with every channel different.
std::uint8_t sample(int x, int y, int channel) {
  const double wave = 127 + 120 * std::sin((x * (channel + 1) + y * 3) / 9.0);
  return static_cast<std::uint8_t>(((x / 5 + y / 4) % 3 == 0) ? 255 - wave : wave);
}

std::vector<unsigned char> encoded(const JpegKind& kind, int width, int height) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = kind.colours == JCS_GRAYSCALE ? 1 : kind.colours == JCS_CMYK ? 4 : 3;
  info.in_color_space = kind.colours;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 85, TRUE);
  info.comp_info[0].h_samp_factor = kind.horizontal;
  info.comp_info[0].v_samp_factor = kind.vertical;
  info.restart_in_rows = kind.restartRows;
  if (kind.progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<unsigned char> row(static_cast<std::size_t>(width * info.input_components));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < info.input_components; ++c) {
        row[static_cast<std::size_t>(x * info.input_components + c)] =
            sample(x, static_cast<int>(info.next_scanline), c);
      }
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<unsigned char> bytes(out, out + size);
  std::free(out);
  return bytes;
}

// The picture as gdk-pixbuf decodes it.
Surface pixbufPicture(const std::string& path) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  if (pixbuf == nullptr) return Surface();
  Surface picture;
  fillFromDecoded(
      picture,
      {gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_read_pixels(pixbuf),
       static_cast<std::size_t>(gdk_pixbuf_get_rowstride(pixbuf)),
       gdk_pixbuf_get_has_alpha(pixbuf) ? PixelLayout::Rgba : PixelLayout::Rgb});
  g_object_unref(pixbuf);
  return picture;
}

void writeFile(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TEST(JpegPictures, EveryKindDecodesToGdkPixbufsPixels) {
  ScratchFolder folder;
  const JpegKind kinds[] = {
      {"4:2:0", JCS_RGB, 2, 2, false, 0},
      {"4:2:2", JCS_RGB, 2, 1, false, 0},
      {"4:4:4", JCS_RGB, 1, 1, false, 0},
      {"4:4:0", JCS_RGB, 1, 2, false, 0},
      {"4:1:1", JCS_RGB, 4, 1, false, 0},
      {"grey", JCS_GRAYSCALE, 1, 1, false, 0},
      {"progressive", JCS_RGB, 2, 2, true, 0},
      {"restart markers", JCS_RGB, 2, 2, false, 1},
      {"CMYK (gdk-pixbuf's own way)", JCS_CMYK, 1, 1, false, 0},
  };
  for (const JpegKind& kind : kinds) {
    for (const auto& [width, height] : {std::pair{37, 23}, std::pair{64, 48}}) {
      std::vector<unsigned char> bytes = encoded(kind, width, height);
      for (const bool cutShort : {false, true}) {
        if (cutShort) bytes.resize(bytes.size() * 2 / 3);
        const std::filesystem::path path = folder.path() / "picture.jpg";
        writeFile(path, bytes);
        Surface loaded(3, 3, makeColour(1, 2, 3));
        loadPicture(path.string(), loaded);
        const std::string what = std::string(kind.name) + " " + std::to_string(width) + "x" +
                                 std::to_string(height) + (cutShort ? ", cut short" : "");
        EXPECT_TRUE(samePixels(loaded, pixbufPicture(path.string()))) << what;
        // Pixel words are 0x00RRGGBB: copies compare them whole.
        const PixelWord* words = loaded.pixelWords();
        EXPECT_TRUE(std::all_of(words, words + std::size_t{37} * 23, [](PixelWord w) {
          return w >> 24 == 0;
        })) << what;
      }
    }
  }
}

TEST(JpegPictures, APictureInsideTheFrameIsDecodedIntoItAndAnotherIntoTheTarget) {
  ScratchFolder folder;
  const std::filesystem::path path = folder.path() / "picture.jpg";
  writeFile(path, encoded({"4:2:0", JCS_RGB, 2, 2, false, 0}, 10, 6));
  const Surface picture = pixbufPicture(path.string());
  const Colour back = makeColour(0, 0, 255);
  for (const Point at : {Point{3, 4}, Point{10, 10}, Point{11, 4}, Point{-1, 0}}) {
    Surface frame = coordinateSurface(20, 16, 7, back);
    Surface target(2, 2, back);
    const PixelRect placed = loadPictureInto(path.string(), target, frame, at);
    const bool inside = at.x >= 0 && at.y >= 0 && at.x + 10 <= 20 && at.y + 6 <= 16;
    if (!inside) {
      EXPECT_TRUE(placed.empty()) << at.x << ", " << at.y;
      EXPECT_TRUE(samePixels(target, picture)) << at.x << ", " << at.y;
      continue;
    }
    EXPECT_EQ(placed, (PixelRect{at.x, at.y, at.x + 10, at.y + 6}));
    EXPECT_EQ(target.width(), 2);
    Surface expected(20, 16, back);
    expected.drawImage(picture, at.x, at.y);
    EXPECT_TRUE(samePixels(frame, expected)) << at.x << ", " << at.y;
  }
}

}  // namespace
}  // namespace kamishibai
