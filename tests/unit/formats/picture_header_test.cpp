// Kamishibai: picture sizes and orientation read from headers alone, and the size limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "formats/exif_thumbnail.h"
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

  // A Huffman table before the frame header is no frame.
  PictureBytes tableFirst = plain;
  const std::uint8_t table[] = {0xFF, 0xC4, 0, 6, 0, 1, 2, 3};
  tableFirst.insert(tableFirst.begin() + 2, std::begin(table), std::end(table));
  header = readPictureHeader(tableFirst);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->width, 37);
  EXPECT_EQ(header->height, 21);

  // An EXIF block whose directory, or whose entries, lie past its end: no orientation, and
  // nothing read outside the block (the sanitizers watch).
  PictureBytes directoryPastEnd = withOrientation(plain, 6);
  directoryPastEnd[16] = 0x7F;  // the directory's offset
  PictureBytes entriesPastEnd = withOrientation(plain, 6);
  entriesPastEnd[19] = 24;  // a directory in the block's last two bytes,
  entriesPastEnd[37] = 5;   // which counts five entries
  for (const PictureBytes& bytes : {directoryPastEnd, entriesPastEnd}) {
    header = readPictureHeader(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->orientation, 1);
    EXPECT_EQ(header->width, 37);
  }
}

// The camera's thumbnail comes from IFD1 only when it lies wholly inside the EXIF block and
// starts as a JPEG does.
TEST(PictureHeader, ExifThumbnailIsFoundOnlyInsideItsBlock) {
  const PictureBytes plain = jpegHeaderOnly(37, 21);
  const PictureBytes thumbnail = {0xFF, 0xD8, 1, 2, 3, 0xFF, 0xD9};
  const auto find = [](const PictureBytes& bytes) -> std::optional<PictureBytes> {
    const auto header = readPictureHeader(bytes);
    EXPECT_TRUE(header);
    const auto range =
        findExifThumbnail(*header, [&](std::uint64_t offset, std::span<std::uint8_t> out) {
          const std::size_t count =
              offset < bytes.size() ? std::min(out.size(), bytes.size() - offset) : 0;
          std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
          return count;
        });
    if (!range) return std::nullopt;
    return PictureBytes(bytes.begin() + static_cast<std::ptrdiff_t>(range->offset),
                        bytes.begin() + static_cast<std::ptrdiff_t>(range->offset + range->size));
  };
  const PictureBytes good = withExifThumbnail(plain, thumbnail, 6);
  EXPECT_EQ(find(good), thumbnail);
  EXPECT_EQ(readPictureHeader(good)->orientation, 6);
  EXPECT_EQ(readPictureHeader(good)->width, 37);

  PictureBytes notJpeg = good;
  notJpeg[6 + 6 + 56] = 0;  // the thumbnail's first byte
  for (const PictureBytes& none :
       {plain, withOrientation(plain, 6), notJpeg, withExifThumbnail(plain, thumbnail, 1, 1000)}) {
    EXPECT_EQ(find(none), std::nullopt);
  }
}

// The image data must reach the end: JPEG scans (stuffed bytes and restart markers inside them,
// tables between them) up to the end-of-image marker, PNG chunks up to IEND.
TEST(PictureHeader, DataCutShortIsFoundWithoutDecoding) {
  PictureBytes jpeg = jpegHeaderOnly(8, 8);
  jpeg.resize(jpeg.size() - 2);  // the end-of-image marker
  for (const int byte : {0x12, 0xFF, 0x00, 0xFF, 0xD3, 0x34, 0xFF, 0xC4, 0,    4,    1,
                         2,    0xFF, 0xDA, 0,    3,    1,    0x56, 0xFF, 0xFF, 0xD9, 0xAB})
    jpeg.push_back(static_cast<std::uint8_t>(byte));
  const auto chunk = [](PictureBytes& png, const char* type, std::size_t size) {
    for (const std::uint8_t byte : {0, 0, 0, static_cast<int>(size)}) png.push_back(byte);
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), size + 4, 0x5A);  // the data and its check sum
  };
  PictureBytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  chunk(png, "IHDR", 13);
  chunk(png, "IDAT", 40);
  PictureBytes noEnd = png;
  chunk(png, "IEND", 0);
  struct Case {
    PictureBytes bytes;
    PictureFormat format;
    bool complete;
  };
  const Case cases[] = {{jpeg, PictureFormat::Jpeg, true},
                        {PictureBytes(jpeg.begin(), jpeg.end() - 3), PictureFormat::Jpeg, false},
                        {PictureBytes(jpeg.begin(), jpeg.end() - 9), PictureFormat::Jpeg, false},
                        {png, PictureFormat::Png, true},
                        {noEnd, PictureFormat::Png, false},
                        {PictureBytes(png.begin(), png.end() - 30), PictureFormat::Png, false}};
  for (const Case& c : cases) {
    const std::string problem = pictureDataProblem(
        [&c](std::uint64_t offset, std::span<std::uint8_t> out) {
          if (offset >= c.bytes.size()) return std::size_t{0};
          const std::size_t count = std::min<std::size_t>(out.size(), c.bytes.size() - offset);
          std::copy_n(c.bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
          return count;
        },
        c.format);
    EXPECT_EQ(problem.empty(), c.complete) << &c - cases << ": " << problem;
  }
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
  EXPECT_EQ(pictureSizeProblem({10000, 10000}), "");
  EXPECT_EQ(pictureSizeProblem({7122, 14041}),  // the fewest pixels above the limit
            "7122 x 14041 pixels, more than 100 megapixels");
  EXPECT_EQ(pictureSizeProblem({16385, 1}), "16385 x 1 pixels, more than 16384 a side");
  EXPECT_EQ(pictureSizeProblem({1, 16385}), "1 x 16385 pixels, more than 16384 a side");
  EXPECT_EQ(pictureSizeProblem({10000, 10001}), "10000 x 10001 pixels, more than 100 megapixels");
}

}  // namespace
}  // namespace kamishibai
