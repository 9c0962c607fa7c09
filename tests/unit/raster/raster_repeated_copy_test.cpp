// Kamishibai: copying the same picture again and again: a surface skips the words it already holds
// from that picture, and must never skip one that changed on either side since. Also the combined
// clear-and-draw, the fill's block scan, a refused size, and a background laid around the box a
// picture covers next.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <utility>
#include <vector>

#include "raster/raster.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

constexpr Colour kBack = makeColour(10, 20, 30);

// A surface whose pixels all differ from each other and from kBack, its back colour.
Surface patterned(std::int32_t w, std::int32_t h, std::uint8_t seed) {
  return coordinateSurface(w, h, seed, kBack);
}

// The area changed since the last Refresh, which it then forgets.
PixelRect takeChanged(Surface& s) {
  const PixelRect changed = s.changedArea();
  s.refresh();
  return changed;
}

void copyWhole(Surface& to, const Surface& from) {
  to.copyFrom(from, 0, 0, 0, 0, from.width(), from.height());
}

TEST(RasterRepeatedCopy, AChangeOnEitherSideIsCopiedAgainAndNothingElseCounts) {
  Surface source = patterned(40, 9, 1);
  Surface display(40, 9, kBack);
  copyWhole(display, source);
  takeChanged(display);

  copyWhole(display, source);
  EXPECT_TRUE(takeChanged(display).empty());

  // The source changes: its new pixel is copied.
  source.setPixel(37, 8, makeColour(1, 2, 3));
  copyWhole(display, source);
  EXPECT_EQ(takeChanged(display), (PixelRect{37, 8, 38, 9}));
  EXPECT_TRUE(samePixels(display, source));

  // The display changes (a box and a stretch): exactly that is restored.
  display.fillBox(3, 2, 20, 4, makeColour(9, 9, 9));
  display.stretchFrom(source, 0, 0, 40, 9, 30, 0, 5, 9);
  takeChanged(display);
  copyWhole(display, source);
  EXPECT_EQ(takeChanged(display), (PixelRect{3, 0, 35, 9}));
  EXPECT_TRUE(samePixels(display, source));
}

TEST(RasterRepeatedCopy, GrowingCopiesOfOnePictureTouchOnlyTheNewPart) {
  const Surface source = patterned(30, 7, 2);
  Surface display = patterned(30, 7, 3);
  for (std::int32_t w = 4; w <= 30; w += 13) {
    takeChanged(display);
    display.copyFrom(source, 0, 0, 0, 0, w, 7);
    EXPECT_EQ(takeChanged(display), (PixelRect{w == 4 ? 0 : w - 13, 0, w, 7}));
  }
  // Shrinking keeps what the larger copy left.
  display.copyFrom(source, 0, 0, 0, 0, 10, 7);
  EXPECT_TRUE(takeChanged(display).empty());
  EXPECT_TRUE(samePixels(display, source));
}

TEST(RasterRepeatedCopy, AnotherOffsetOrAnotherPictureIsCopiedInFull) {
  const Surface source = patterned(12, 5, 4);
  Surface display(12, 5, kBack);
  copyWhole(display, source);
  // The same source one column further: every pixel moves.
  display.copyFrom(source, 0, 0, 1, 0, 12, 5);
  Surface expected(12, 5, kBack);
  copyWhole(expected, source);
  expected.copyFrom(source, 0, 0, 1, 0, 12, 5);
  EXPECT_TRUE(samePixels(display, expected));
  // A different picture that happens to be the same size.
  const Surface other = patterned(12, 5, 5);
  copyWhole(display, other);
  EXPECT_TRUE(samePixels(display, other));
}

TEST(RasterRepeatedCopy, ACopyOrASwapOfTheSourceIsTheSamePictureUntilEitherChanges) {
  Surface now = patterned(16, 4, 6);
  Surface next = patterned(16, 4, 7);
  Surface display(16, 4, kBack);
  copyWhole(display, next);
  takeChanged(display);
  // What the show does with the frame it has just shown: it becomes the frame being left.
  std::swap(now, next);
  copyWhole(display, now);
  EXPECT_TRUE(takeChanged(display).empty());

  Surface duplicate = now;
  duplicate.setPixel(0, 0, makeColour(0, 0, 0));
  copyWhole(display, duplicate);
  EXPECT_EQ(takeChanged(display), (PixelRect{0, 0, 1, 1}));
  copyWhole(display, now);
  EXPECT_TRUE(samePixels(display, now));
}

// Every way of changing the display between two copies of one picture: the second copy must
// bring the whole picture back.
TEST(RasterRepeatedCopy, WhateverChangedTheDisplayBetweenCopiesIsRestored) {
  const Surface source = patterned(20, 20, 8);
  const Region ellipse = Region::ellipse(2, 3, 17, 15);
  const std::vector<std::pair<const char*, std::function<void(Surface&)>>> changes{
      {"clipped fill and clipped copy from elsewhere",
       [&](Surface& d) {
         d.selectClip(&ellipse);
         d.fillBox(0, 0, 19, 19, makeColour(0, 0, 0));
         d.copyFrom(source, 5, 5, 0, 0, 20, 20);
         d.selectClip(nullptr);
       }},
      {"resize", [](Surface& d) { d.resize(20, 20); }},
      {"resize for overwrite, rows written",
       [](Surface& d) {
         d.resizeForOverwrite(20, 20);
         for (std::int32_t y = 0; y < 20; ++y) std::fill_n(d.rowForWriting(y), 20, PixelWord{0});
       }},
      {"clear", [](Surface& d) { d.clear(); }},
      {"clear and draw", [&](Surface& d) { d.clearAndDraw(source, 3, 3); }},
  };
  for (const auto& [name, change] : changes) {
    Surface display(20, 20, kBack);
    copyWhole(display, source);
    change(display);
    copyWhole(display, source);
    EXPECT_TRUE(samePixels(display, source)) << name;
  }
}

TEST(RasterRepeatedCopy, RepeatedFillsOfOneColourRestoreOnlyWhatWasDrawnOverThem) {
  const Colour black = makeColour(0, 0, 0);
  const Surface picture = patterned(6, 4, 14);
  Surface display = patterned(20, 10, 15);
  display.fillBox(-1, -1, 20, 10, black);
  display.drawImage(picture, 7, 3);
  takeChanged(display);
  display.fillBox(-1, -1, 20, 10, black);
  EXPECT_EQ(takeChanged(display), (PixelRect{7, 3, 13, 7}));
  EXPECT_TRUE(samePixels(display, Surface(20, 10, black)));
  // Another colour, or a box the known fill does not hold, is filled in full.
  display.fillBox(0, 0, 19, 9, kBack);
  EXPECT_TRUE(samePixels(display, Surface(20, 10, kBack)));
  display.fillBox(0, 0, 4, 4, black);
  display.fillBox(0, 0, 19, 9, black);
  EXPECT_TRUE(samePixels(display, Surface(20, 10, black)));
}

// A background laid around a box that a picture covers next: the box is left alone, not counted
// as changed, and no longer counts as holding the background.
TEST(RasterSparedBackground, TheSparedBoxIsLeftAndLaidWhenTheBackgroundComesAgainWithoutIt) {
  const Colour black = makeColour(0, 0, 0);
  const Surface next = patterned(20, 10, 16);
  const PixelRect box{4, 2, 9, 7};
  for (const bool fill : {true, false}) {
    const auto layBackground = [&](Surface& display, const PixelRect& spared) {
      if (fill) {
        display.fillBox(-1, -1, 20, 10, black, spared);
      } else {
        display.copyFrom(next, 0, 0, 0, 0, 20, 10, spared);
      }
    };
    const Surface background = fill ? Surface(20, 10, black) : next;
    const Surface before = patterned(20, 10, 17);
    Surface display = before;
    takeChanged(display);
    layBackground(display, box);
    ASSERT_TRUE(pixelsAre(display, [&](std::int32_t x, std::int32_t y) {
      return (box.contains({x, y, x + 1, y + 1}) ? before : background).pixel(x, y);
    })) << (fill ? "fill" : "copy");
    // Only the rows beside the box changed there, so the changed area is still the whole.
    EXPECT_EQ(takeChanged(display), (PixelRect{0, 0, 20, 10}));
    // Laid again without a spared box, the words left alone are laid too, and only they.
    layBackground(display, {});
    EXPECT_EQ(takeChanged(display), box) << (fill ? "fill" : "copy");
    EXPECT_TRUE(samePixels(display, background));
    // A spared box reaching past the surface, and one holding everything, draw nothing there.
    layBackground(display, {15, -3, 40, 40});
    layBackground(display, {-1, -1, 21, 11});
    EXPECT_TRUE(takeChanged(display).empty());
  }
}

// The cover of a stretch is exactly the words the stretch draws: scaled up and down, mirrored,
// off the surface's edges, beyond the source's edges, unscaled, empty, and from the surface
// itself.
TEST(RasterSparedBackground, AStretchsCoverIsExactlyTheWordsItDraws) {
  const Colour unset = makeColour(255, 255, 255);  // in no patterned surface
  struct Geometry {
    std::int32_t xs, ys, ws, hs, x, y, w, h;
  };
  const std::vector<Geometry> geometries{
      {0, 0, 13, 7, 2, 1, 30, 17},   {0, 0, 13, 7, 5, 3, 4, 3},    {0, 0, 13, 7, 30, 20, -25, -9},
      {0, 0, 13, 7, -6, -2, 31, 15}, {3, 2, 9, 4, 0, 0, 33, 23},   {-4, -3, 20, 12, 1, 1, 30, 19},
      {0, 0, 13, 7, 25, 4, 13, 7},   {0, 0, 13, 7, 7, 7, 0, 5},    {5, 1, -5, 6, 2, 2, 11, 11},
      {1, 1, 13, 7, 28, 3, 7, -20},  {2, 3, 13, 7, 31, 21, 13, 7}, {4, 2, 13, 7, 3, 5, 13, 7}};
  // Stretches source onto a surface of unset words and compares the words it drew with `cover`.
  const auto drawsExactly = [&](const PixelRect& cover, const Surface& source, const Geometry& g) {
    Surface display(32, 22, unset);
    display.stretchFrom(source, g.xs, g.ys, g.ws, g.hs, g.x, g.y, g.w, g.h);
    for (std::int32_t y = 0; y < 22; ++y)
      for (std::int32_t x = 0; x < 32; ++x) {
        const bool covered =
            x >= cover.left && x < cover.right && y >= cover.top && y < cover.bottom;
        if (covered != (display.pixel(x, y) != unset)) {
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ")";
        }
      }
    return ::testing::AssertionSuccess();
  };
  const Surface small = patterned(13, 7, 18);
  Surface whole = patterned(32, 22, 19);
  for (const Geometry& g : geometries) {
    const auto index = &g - geometries.data();
    const PixelRect cover =
        Surface(32, 22, unset).stretchCover(small, g.xs, g.ys, g.ws, g.hs, g.x, g.y, g.w, g.h);
    EXPECT_TRUE(drawsExactly(cover, small, g)) << "geometry " << index;
    // From itself, a stretch reads the surface as it was: it draws what it draws from a copy.
    const PixelRect ownCover =
        whole.stretchCover(whole, g.xs, g.ys, g.ws, g.hs, g.x, g.y, g.w, g.h);
    EXPECT_TRUE(drawsExactly(ownCover, Surface(whole), g))
        << "geometry " << index << " from itself";
  }
  // A clipping region may leave holes in what a stretch draws: no cover then.
  const Region clip = Region::ellipse(0, 0, 10, 10);
  whole.selectClip(&clip);
  EXPECT_TRUE(whole.stretchCover(small, 0, 0, 13, 7, 0, 0, 26, 14).empty());
}

// clearAndDraw against the two calls it stands for, over placements inside, across every edge,
// outside, with a clipping region and from the surface itself.
TEST(RasterClearAndDraw, LeavesWhatAClearAndADrawLeave) {
  const Surface picture = patterned(5, 3, 10);
  const Region ellipse = Region::ellipse(0, 0, 6, 5);
  for (const Point at : {Point{0, 0}, Point{2, 1}, Point{-3, -2}, Point{6, 4}, Point{9, 0},
                         Point{INT_MIN, INT_MAX}}) {
    for (const bool clipped : {false, true}) {
      Surface expected = patterned(7, 5, 11);
      Surface actual = expected;
      for (Surface* s : {&expected, &actual}) s->selectClip(clipped ? &ellipse : nullptr);
      expected.clear();
      expected.drawImage(picture, at.x, at.y);
      actual.clearAndDraw(picture, at.x, at.y);
      EXPECT_TRUE(samePixels(actual, expected)) << at.x << ", " << at.y << " clipped " << clipped;
      EXPECT_EQ(actual.changedArea(), (PixelRect{0, 0, 7, 5}));
    }
  }
  Surface self = patterned(7, 5, 12);
  self.clearAndDraw(self, 0, 0);
  EXPECT_TRUE(samePixels(self, Surface(7, 5, kBack)));
}

// The fill tests its row in blocks of words: differences just inside and just outside a block's
// edges, and rows shorter than a block.
TEST(RasterFillScan, TheChangedRunIsExactAroundBlockEdges) {
  const Colour black = makeColour(0, 0, 0);
  for (const std::int32_t width : {1, 15, 16, 17, 33, 50}) {
    for (std::int32_t a = 0; a < width; a += 7) {
      for (std::int32_t b = a; b < width; b += 11) {
        Surface s(width, 1, black);
        s.setPixel(a, 0, kBack);
        s.setPixel(b, 0, kBack);
        takeChanged(s);
        s.fillBox(0, 0, width - 1, 0, black);
        EXPECT_EQ(takeChanged(s), (PixelRect{a, 0, b + 1, 1})) << width << " " << a << " " << b;
        EXPECT_EQ(s.pixel(a, 0), black);
        EXPECT_EQ(s.pixel(b, 0), black);
      }
    }
  }
}

TEST(RasterSize, ASizeBeyondMemoryIsRefusedAndTheSurfaceKeepsItsImage) {
  Surface s = patterned(3, 2, 13);
  const Surface before = s;
  EXPECT_THROW(s.resize(INT_MAX, INT_MAX), std::runtime_error);
  EXPECT_THROW(s.resizeForOverwrite(INT_MAX, INT_MAX), std::runtime_error);
  EXPECT_TRUE(samePixels(s, before));
}

}  // namespace
}  // namespace kamishibai
