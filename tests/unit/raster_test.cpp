// Kamishibai: the raster layer's clipping rules, pixel for pixel.
#include <gtest/gtest.h>

#include "platform/raster.h"

namespace kamishibai {
namespace {

// A surface whose pixel (x, y) holds the colour (x, y, tag), so every copied pixel tells where it
// came from.
Surface coordinateSurface(int w, int h, std::uint8_t tag) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.setPixel(x, y, makeColour(x, y, tag));
  return s;
}

TEST(Raster, CopyKeepsPixelsWhoseSourceLiesOutsideTheSource) {
  Surface display = coordinateSurface(8, 4, 1);
  const Surface next = coordinateSurface(8, 4, 2);
  display.copyFrom(next, 6, 0, 0, 0, 4, 4);  // source columns 6..9, two beyond the edge
  EXPECT_EQ(display.pixel(0, 1), makeColour(6, 1, 2));
  EXPECT_EQ(display.pixel(1, 1), makeColour(7, 1, 2));
  EXPECT_EQ(display.pixel(2, 1), makeColour(2, 1, 1));
  EXPECT_EQ(display.pixel(3, 1), makeColour(3, 1, 1));
}

TEST(Raster, MirroredStretchAndZeroExtents) {
  Surface display = coordinateSurface(4, 1, 1);
  const Surface next = coordinateSurface(4, 1, 2);
  display.stretchFrom(next, 0, 0, 4, 1, 4, 0, -4, 1);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(display.pixel(x, 0), makeColour(3 - x, 0, 2)) << x;
  Surface untouched = coordinateSurface(4, 1, 1);
  untouched.stretchFrom(next, 0, 0, 4, 1, 0, 0, 0, 1);
  untouched.copyFrom(next, 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(untouched.pixel(0, 0), makeColour(0, 0, 1));
}

TEST(Raster, EllipseClipAndFillBox) {
  Surface display(10, 10);
  display.fillBox(-1, -1, 10, 10, makeColour(9, 9, 9));
  EXPECT_EQ(display.pixel(9, 9), makeColour(9, 9, 9));
  const Surface next = coordinateSurface(10, 10, 2);
  const Region circle = Region::ellipse(0, 0, 10, 10);
  display.selectClip(&circle);
  display.copyFrom(next, 0, 0, 0, 0, 10, 10);
  display.selectClip(nullptr);
  EXPECT_EQ(display.pixel(5, 5), makeColour(5, 5, 2));
  EXPECT_EQ(display.pixel(0, 0), makeColour(9, 9, 9));
}

}  // namespace
}  // namespace kamishibai
