// Kamishibai: the raster layer's clipping rules, pixel for pixel.
#include <gtest/gtest.h>

#include "raster/raster.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

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

TEST(Raster, CopyDropsTheDestinationOutsideTheDisplay) {
  Surface display = coordinateSurface(6, 5, 1);
  const Surface next = coordinateSurface(6, 5, 2);
  display.copyFrom(next, 1, 1, -2, -1, 6, 4);  // display (x, y) shows next (x + 3, y + 2)
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) {
    return x < 3 && y < 3 ? makeColour(x + 3, y + 2, 2) : makeColour(x, y, 1);
  }));
}

TEST(Raster, CopyFromBeforeTheSourceKeepsThoseDisplayPixels) {
  Surface display = coordinateSurface(6, 4, 1);
  const Surface next = coordinateSurface(6, 4, 2);
  display.copyFrom(next, -2, -1, 0, 0, 6, 4);  // display (x, y) would show next (x - 2, y - 1)
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) {
    return x >= 2 && y >= 1 ? makeColour(x - 2, y - 1, 2) : makeColour(x, y, 1);
  }));
}

TEST(Raster, NegativeAndHugeExtentsNeitherDrawWronglyNorOverflow) {
  Surface display = coordinateSurface(4, 4, 1);
  const Surface next = coordinateSurface(4, 4, 2);
  display.copyFrom(next, 0, 0, 0, 0, -3, 4);
  display.copyFrom(next, 0, 0, 0, 0, 4, -3);
  display.copyFrom(next, 0, 0, 2147483000, 0, 2000, 4);
  display.copyFrom(next, -2147483647, 0, 0, 0, 2147483647, 4);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 1); }));
  display.copyFrom(next, 0, 0, -2147483647, -2147483647, 2147483647, 2147483647);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 1); }));
  display.copyFrom(next, 0, 0, 0, 0, 2147483647, 2147483647);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 2); }));
}

TEST(Raster, CopyOntoItselfReadsTheImageBeforeTheCopy) {
  Surface display = coordinateSurface(5, 1, 1);
  display.copyFrom(display, 0, 0, 1, 0, 5, 1);
  EXPECT_TRUE(
      pixelsAre(display, [](int x, int y) { return makeColour(x == 0 ? 0 : x - 1, y, 1); }));
}

TEST(Raster, PolygonClipCoversTheShapeInsideTheDisplayOnly) {
  Surface display(8, 6);
  const Surface next = coordinateSurface(8, 6, 2);
  // Below the line y = 3 - x / 2, reaching past the left, right and bottom edges.
  const Region shape = Region::polygon({{-6, 6}, {10, -2}, {10, 9}, {-6, 9}});
  display.selectClip(&shape);
  display.copyFrom(next, 0, 0, 0, 0, 8, 6);
  display.selectClip(nullptr);
  // clang-format off
  const char* expected[] = {
      ".....###",
      "...#####",
      ".#######",
      "########",
      "########",
      "########",
  };
  // clang-format on
  EXPECT_TRUE(pixelsAre(display, [&](int x, int y) {
    return expected[y][x] == '#' ? makeColour(x, y, 2) : makeColour(0, 0, 0);
  }));
  const Region corner = Region::polygon({{-1, -1}, {2, -1}, {-1, 2}});
  display.selectClip(&corner);
  display.selectClip(nullptr);
  display.copyFrom(next, 0, 0, 0, 0, 8, 6);  // the clip is gone
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 2); }));
}

TEST(Raster, ShapesWithoutAreaDrawNothing) {
  Surface display = coordinateSurface(6, 6, 1);
  const Surface next = coordinateSurface(6, 6, 2);
  const Region shapes[] = {Region::ellipse(3, 3, 3, 3), Region::ellipse(0, 2, 6, 2),
                           Region::polygon({{3, 3}, {3, 3}, {3, 3}}),
                           Region::polygon({{0, 0}, {3, 3}, {6, 6}})};
  for (const Region& shape : shapes) {
    display.selectClip(&shape);
    display.copyFrom(next, 0, 0, 0, 0, 6, 6);
    display.fillBox(0, 0, 5, 5, makeColour(9, 9, 9));
  }
  display.selectClip(nullptr);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 1); }));
}

TEST(Raster, EllipseClipIsSymmetricAndStaysInsideItsBox) {
  Surface display(21, 11);
  const Region ellipse = Region::ellipse(0, 0, 21, 11);
  display.selectClip(&ellipse);
  display.fillBox(-5, -5, 30, 30, makeColour(1, 1, 1));
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 21; ++x) {
      EXPECT_EQ(display.pixel(x, y), display.pixel(20 - x, y)) << x << "," << y;
      EXPECT_EQ(display.pixel(x, y), display.pixel(x, 10 - y)) << x << "," << y;
    }
  }
  EXPECT_EQ(display.pixel(10, 5), makeColour(1, 1, 1));
  EXPECT_EQ(display.pixel(10, 0), makeColour(1, 1, 1));
  EXPECT_EQ(display.pixel(0, 5), makeColour(1, 1, 1));
  EXPECT_EQ(display.pixel(0, 0), makeColour(0, 0, 0));
  EXPECT_EQ(display.pixel(2, 1), makeColour(0, 0, 0));
}

TEST(Raster, StretchScalesByNearestNeighbourAndClipsBothSides) {
  Surface display = coordinateSurface(6, 2, 1);
  const Surface next = coordinateSurface(3, 2, 2);
  // Columns 1 and 2 of next, doubled, onto display columns -1 to 6: the part left of the
  // display is dropped and the part that samples past next's right edge keeps its pixels.
  display.stretchFrom(next, 1, 0, 4, 2, -1, 0, 8, 2);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) {
    const int source = (x + 1) / 2 + 1;
    return source < 3 ? makeColour(source, y, 2) : makeColour(x, y, 1);
  }));
}

// Halved, each pixel's centre maps onto a boundary between two source pixels and takes the one
// before it: the even columns and rows.
TEST(Raster, HalvingStretchSamplesTheEvenColumnsAndRows) {
  Surface display = coordinateSurface(4, 2, 1);
  const Surface next = coordinateSurface(8, 4, 2);
  display.stretchFrom(next, 0, 0, 8, 4, 0, 0, 4, 2);
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(2 * x, 2 * y, 2); }));
}

TEST(Raster, ZeroExtentStretchesDrawNothing) {
  Surface display = coordinateSurface(4, 4, 1);
  const Surface next = coordinateSurface(4, 4, 2);
  display.stretchFrom(next, 0, 0, 0, 4, 0, 0, 4, 4);
  display.stretchFrom(next, 0, 0, 4, 4, 0, 0, 4, 0);
  display.fillBox(5, 5, 9, 9, makeColour(7, 7, 7));
  EXPECT_TRUE(pixelsAre(display, [](int x, int y) { return makeColour(x, y, 1); }));
}

}  // namespace
}  // namespace kamishibai
