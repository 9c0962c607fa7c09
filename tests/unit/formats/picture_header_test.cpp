// Kamishibai: picture sizes and orientation read from headers alone, and the size limit.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "formats/picture_header.h"
#include "tests/unit/picture_bytes.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;

TEST(PictureHeader, JpegSizeAndOrientationBehindOtherSegments) {
  const PictureBytes plain = jpegHeaderOnly(37, 21);
  auto header = readPictureHeader(plain);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->width, 37);
  EXPECT_EQ(header->height, 21);
  EXPECT_EQ(header->orientation, 1);
  EXPECT_EQ(header->format, PictureFormat::Jpeg);

  for (int orientation : {3, 6, 8}) {
    header = readPictureHeader(withOrientation(plain, orientation));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->orientation, orientation);
    EXPECT_EQ(header->turnsQuarter(), orientation != 3);
    EXPECT_EQ(header->width, 37);
  }
  // Cut before its frame header, a JPEG has no size.
  EXPECT_FALSE(readPictureHeader(std::span(plain).first(30)));
}

TEST(PictureHeader, EveryFormatThroughBytesAndThroughAFile) {
  const PictureBytes gif = {'G', 'I', 'F', '8', '9', 'a', 0x10, 0x27, 0x05, 0x00};
  PictureBytes bmp(26, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[14] = 40;
  bmp[18] = 0x40;  // width 64
  bmp[22] = 0xF0;  // height -16 (top-down)
  bmp[23] = bmp[24] = bmp[25] = 0xFF;
  PictureBytes webp = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E',  'B',  'P', 'V',  'P', '8',
                       'X', 10,  0,   0,   0, 0, 0, 0, 0,   0x1F, 0x4E, 0,   0x0F, 0,   0};
  struct Case {
    PictureBytes bytes;
    std::int64_t width, height;
    PictureFormat format;
  };
  const Case cases[] = {{pngHeaderOnly(20000, 3), 20000, 3, PictureFormat::Png},
                        {gif, 10000, 5, PictureFormat::Gif},
                        {bmp, 64, 16, PictureFormat::Bmp},
                        {webp, 20000, 16, PictureFormat::Webp}};
  ScratchFolder folder;
  for (const Case& c : cases) {
    const fs::path path = folder.path() / "picture";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(c.bytes.data()),
               static_cast<std::streamsize>(c.bytes.size()));
    for (const auto& header : {readPictureHeader(c.bytes), readPictureFileHeader(path)}) {
      ASSERT_TRUE(header);
      EXPECT_EQ(header->width, c.width);
      EXPECT_EQ(header->height, c.height);
      EXPECT_EQ(header->format, c.format);
    }
  }
  EXPECT_FALSE(readPictureHeader(PictureBytes{'G', 'I', 'F', '8', '9', 'a', 1}));
  EXPECT_FALSE(readPictureHeader(PictureBytes{'n', 'o', 't', 'e', 's'}));
  EXPECT_FALSE(readPictureFileHeader(folder.path() / "missing.png"));
}

TEST(PictureHeader, SizeLimitIsASideOf16384AndAHundredMegapixels) {
  EXPECT_EQ(pictureSizeProblem({16384, 6103}), "");
  EXPECT_EQ(pictureSizeProblem({16385, 1}), "16385 x 1 pixels, more than 16384 a side");
  EXPECT_EQ(pictureSizeProblem({1, 16385}), "1 x 16385 pixels, more than 16384 a side");
  EXPECT_EQ(pictureSizeProblem({10000, 10001}), "10000 x 10001 pixels, more than 100 megapixels");
}

}  // namespace
}  // namespace kamishibai
