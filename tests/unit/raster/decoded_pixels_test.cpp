// Kamishibai: decoded pixels of every layout land in a surface alike, transparency over the back
// colour.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "raster/decoded_pixels.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

TEST(DecodedPixels, EveryLayoutGivesTheSamePixels) {
  // Two pixels, (10, 20, 30) and (200, 150, 100), in each layout with padded rows.
  const std::uint8_t rgb[] = {10, 20, 30, 200, 150, 100, 0, 0};
  const std::uint8_t rgba[] = {10, 20, 30, 255, 200, 150, 100, 255};
  const std::uint8_t bgrx[] = {30, 20, 10, 0, 100, 150, 200, 7};
  const std::uint8_t bgra[] = {30, 20, 10, 255, 100, 150, 200, 255};
  const DecodedPixels layouts[] = {{2, 1, rgb, sizeof rgb, PixelLayout::Rgb},
                                   {2, 1, rgba, sizeof rgba, PixelLayout::Rgba},
                                   {2, 1, bgrx, sizeof bgrx, PixelLayout::Bgrx},
                                   {2, 1, bgra, sizeof bgra, PixelLayout::Bgra}};
  for (const DecodedPixels& pixels : layouts) {
    Surface picture(5, 5, makeColour(1, 2, 3));
    fillFromDecoded(picture, pixels);
    ASSERT_EQ(picture.width(), 2);
    ASSERT_EQ(picture.height(), 1);
    EXPECT_EQ(picture.pixel(0, 0), makeColour(10, 20, 30));
    EXPECT_EQ(picture.pixel(1, 0), makeColour(200, 150, 100));
    EXPECT_EQ(picture.pixelWords()[1], 0xC89664u);
  }
}

// RGB rows end flush with the decoder's buffer (no padding after the last row): every pixel lands,
// and nothing past the buffer is read (the sanitizer build would report it).
TEST(DecodedPixels, TightRgbRowsConvertUpToTheirLastByte) {
  for (const std::int32_t width : {1, 2, 5}) {
    const std::int32_t height = 3;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width * height * 3));
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 37 + 1);
    Surface picture;
    fillFromDecoded(picture, {width, height, rgb.data(), static_cast<std::size_t>(width) * 3,
                              PixelLayout::Rgb});
    const Surface expected = codedSurface(width, height, [&](std::int32_t x, std::int32_t y) {
      const std::uint8_t* p = &rgb[static_cast<std::size_t>((y * width + x) * 3)];
      return makeColour(p[0], p[1], p[2]);
    });
    EXPECT_TRUE(samePixels(picture, expected)) << width;
  }
}

TEST(DecodedPixels, TransparencyBlendsOverTheBackColour) {
  // Opaque, clear and half-covering white, over a back colour of (0, 100, 255).
  const std::uint8_t rgba[] = {9, 9, 9, 255, 9, 9, 9, 0, 255, 255, 255, 128};
  Surface picture(1, 1, makeColour(0, 100, 255));
  fillFromDecoded(picture, {3, 1, rgba, sizeof rgba, PixelLayout::Rgba});
  EXPECT_EQ(picture.pixel(0, 0), makeColour(9, 9, 9));
  EXPECT_EQ(picture.pixel(1, 0), makeColour(0, 100, 255));
  EXPECT_EQ(picture.pixel(2, 0), makeColour(128, 178, 255));
}

TEST(DecodedPixels, RowsShorterThanTheWidthAreRefused) {
  const std::uint8_t rgb[6] = {};
  Surface picture(3, 3);
  EXPECT_THROW(fillFromDecoded(picture, {3, 1, rgb, 6, PixelLayout::Rgb}), std::invalid_argument);
  EXPECT_THROW(fillFromDecoded(picture, {1, 1, nullptr, 3, PixelLayout::Rgb}),
               std::invalid_argument);
  EXPECT_EQ(picture.width(), 3);
  fillFromDecoded(picture, {0, 0, nullptr, 0, PixelLayout::Rgb});
  EXPECT_EQ(picture.width(), 0);
}

}  // namespace
}  // namespace kamishibai
