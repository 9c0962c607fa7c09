// Kamishibai: the Windows picture loader reads BMP and GIF files pixel for pixel, draws a
// transparent pixel in the back colour, and names a file it cannot read.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/picture.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

// A 2 by 2 BMP, 24 bits per pixel, rows bottom-up and padded to 4 bytes:
// top row red, green; bottom row blue, white.
const std::vector<std::uint8_t> kBmp = {
    'B',  'M', 70,   0,    0,    0,    0, 0, 0, 0, 54, 0, 0, 0,  // file header
    40,   0,   0,    0,    2,    0,    0, 0, 2, 0, 0,  0, 1, 0, 24, 0, 0, 0,
    0,    0,   16,   0,                                                       // info header
    0,    0,   0,    0,    0,    0,    0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0,  //
    0xFF, 0,   0,    0xFF, 0xFF, 0xFF, 0, 0,                                  // blue, white
    0,    0,   0xFF, 0,    0xFF, 0,    0, 0,                                  // red, green
};

// A 1 by 1 GIF whose only pixel is transparent.
const std::vector<std::uint8_t> kTransparentGif = {
    'G',  'I',  'F',  '8',  '9',  'a',  1, 0, 1, 0, 0x80, 0, 0,  // screen, 2-colour table
    0,    0,    0,    0xFF, 0xFF, 0xFF,                          // black, white
    0x21, 0xF9, 4,    1,    0,    0,    0, 0,                    // colour 0 is transparent
    0x2C, 0,    0,    0,    0,    1,    0, 1, 0, 0,              // image
    2,    2,    0x44, 1,    0,    0x3B};                         // pixel 0, end

TEST(WicPictures, BmpPixelsAndTheTargetsNewSize) {
  ScratchFolder scratch;
  writeBytes(scratch.path() / "square.bmp", kBmp);
  Surface target(9, 9);
  loadPicture(scratch.str() + "\\square.bmp", target);
  ASSERT_EQ(target.width(), 2);
  ASSERT_EQ(target.height(), 2);
  EXPECT_EQ(target.pixel(0, 0), makeColour(255, 0, 0));
  EXPECT_EQ(target.pixel(1, 0), makeColour(0, 255, 0));
  EXPECT_EQ(target.pixel(0, 1), makeColour(0, 0, 255));
  EXPECT_EQ(target.pixel(1, 1), makeColour(255, 255, 255));
}

TEST(WicPictures, TransparentPixelsTakeTheBackColour) {
  ScratchFolder scratch;
  writeBytes(scratch.path() / "clear.gif", kTransparentGif);
  Surface target(1, 1, makeColour(10, 20, 30));
  loadPicture(scratch.str() + "\\clear.gif", target);
  ASSERT_EQ(target.width(), 1);
  EXPECT_EQ(target.pixel(0, 0), makeColour(10, 20, 30));
}

TEST(WicPictures, AFileThatIsNoPictureIsAnErrorNamingIt) {
  ScratchFolder scratch;
  writeBytes(scratch.path() / "text.jpg", {'n', 'o'});
  Surface target(1, 1);
  try {
    loadPicture(scratch.str() + "\\text.jpg", target);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find("text.jpg"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace kamishibai
