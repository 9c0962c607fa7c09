// Kamishibai: the changed area a surface hands to the platform at Refresh, and the clipping rows
// where exact arithmetic matters: shared edges, huge shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "raster/raster.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

// Refreshes the surface and returns the changed area the hook received.
PixelRect refreshed(Surface& surface) {
  PixelRect received{-1, -1, -1, -1};
  surface.setRefreshHook([&](const ChangedArea& changed) { received = changed.bounds; });
  surface.refresh();
  surface.setRefreshHook(nullptr);
  return received;
}

// A surface whose pixels all differ, with nothing left to present.
Surface freshSurface(std::int32_t w, std::int32_t h) {
  Surface s = coordinateSurface(w, h, 1);
  refreshed(s);
  return s;
}

TEST(RasterChangedArea, StartsWholeAndIsForgottenAtRefresh) {
  Surface display(8, 6);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 8, 6}));
  EXPECT_TRUE(refreshed(display).empty());
  display.setPixel(3, 2, makeColour(1, 2, 3));
  display.fillBox(6, 5, 7, 5, makeColour(1, 1, 1));
  EXPECT_EQ(refreshed(display), (PixelRect{3, 2, 8, 6}));
  display.clear();
  EXPECT_EQ(display.changedArea(), (PixelRect{0, 0, 8, 6}));
}

TEST(RasterChangedArea, CopiesAndFillsCountOnlyWhatLiesInsideBothSurfaces) {
  Surface display = freshSurface(10, 8);
  const Surface source(4, 4, makeColour(9, 9, 9));
  // Onto (-1, -2) with 6 by 20: the 4 by 4 source covers display columns 0..2 and rows 0..1.
  display.copyFrom(source, 0, 0, -1, -2, 6, 20);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 3, 2}));
  display.fillBox(12, -4, 7, 30, makeColour(5, 5, 5));
  EXPECT_EQ(refreshed(display), (PixelRect{7, 0, 10, 8}));
  display.copyFrom(source, 0, 0, 20, 20, 4, 4);
  display.copyFrom(source, 0, 0, 1, 1, 0, 4);
  display.fillBox(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0);
  EXPECT_TRUE(refreshed(display).empty());
}

TEST(RasterChangedArea, MirroredAndNegativeStretchesCountTheirSpan) {
  Surface display = freshSurface(10, 8);
  const Surface source(4, 4, makeColour(9, 9, 9));
  display.stretchFrom(source, 0, 0, 4, 4, 6, 7, -4, -3);  // columns 2..5, rows 4..6
  EXPECT_EQ(refreshed(display), (PixelRect{2, 4, 6, 7}));
  display.stretchFrom(source, 4, 4, -4, -4, 12, 2, -5, 100);  // columns 7..11, rows 2..101
  EXPECT_EQ(refreshed(display), (PixelRect{7, 2, 10, 8}));
  display.stretchFrom(source, 0, 0, 4, 4, INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  const PixelRect changed = refreshed(display);
  EXPECT_EQ(changed.intersected({0, 0, 10, 8}), changed);
}

TEST(RasterChangedArea, AClipRegionLimitsTheAreaToThePixelsItLetsThrough) {
  Surface display = freshSurface(10, 8);
  const Surface source(10, 8, makeColour(9, 9, 9));
  const Region ellipse = Region::ellipse(8, 6, 2, 1);
  display.selectClip(&ellipse);
  display.copyFrom(source, 0, 0, 0, 0, 10, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{2, 1, 8, 6}));
  const Region triangle = Region::polygon({{-5, 3}, {4, 20}, {6, 5}});
  display.selectClip(&triangle);
  display.fillBox(0, 0, 9, 7, makeColour(1, 1, 1));
  // Its first row with a pixel centre inside the surface is row 4.
  EXPECT_EQ(refreshed(display), (PixelRect{0, 4, 6, 8}));
  const Region line = Region::polygon({{0, 0}, {5, 5}, {9, 9}});
  display.selectClip(&line);
  display.fillBox(0, 0, 9, 7, makeColour(1, 1, 1));
  display.selectClip(nullptr);
  EXPECT_TRUE(refreshed(display).empty());
}

TEST(RasterChangedArea, SelfCopiesAreCountedOnce) {
  Surface display = freshSurface(10, 8);
  display.copyFrom(display, 0, 0, 3, 2, 20, 20);
  EXPECT_EQ(refreshed(display), (PixelRect{3, 2, 10, 8}));
}

TEST(RasterChangedArea, RedrawingPixelsWithTheirOwnValuesChangesNothing) {
  Surface display = freshSurface(12, 6);
  Surface next = freshSurface(12, 6);
  next.fillBox(5, 2, 6, 3, makeColour(7, 7, 7));  // the only difference: columns 5..6, rows 2..3
  refreshed(next);
  display.copyFrom(next, 0, 0, 0, 0, 12, 6);
  EXPECT_EQ(refreshed(display), (PixelRect{5, 2, 7, 4}));
  display.copyFrom(next, 0, 0, 0, 0, 12, 6);
  display.fillBox(5, 2, 6, 3, makeColour(7, 7, 7));
  display.stretchFrom(next, 0, 0, 12, 6, 0, 0, 12, 6);
  EXPECT_TRUE(refreshed(display).empty());
  // A stretch doubling rows repeats each row: only the rows it really changes count.
  display.stretchFrom(next, 0, 0, 12, 3, 0, 0, 12, 6);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 1, 12, 6}));
}

TEST(RasterChangedArea, ThePictureOnScreenLaidAgainOverABackgroundPresentsOnlyWhatDiffers) {
  Surface display = freshSurface(12, 8);
  Surface picture = coordinateSurface(12, 8, 7);
  const Colour black = 0, mark = makeColour(200, 0, 0);
  display.copyFrom(picture, 0, 0, 0, 0, 12, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 12, 8}));
  // Black, then the picture at its own size over all of it: the screen shows every word already.
  display.fillBox(0, 0, 11, 7, black);
  display.stretchFrom(picture, 0, 0, 12, 8, 0, 0, 12, 8);
  EXPECT_TRUE(refreshed(display).empty());

  // A pixel drawn over the picture is presented, and again when the picture covers it once more.
  display.setPixel(5, 3, mark);
  EXPECT_EQ(refreshed(display), (PixelRect{5, 3, 6, 4}));
  display.fillBox(0, 0, 11, 7, black);
  display.copyFrom(picture, 0, 0, 0, 0, 12, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{5, 3, 6, 4}));
  EXPECT_EQ(display.pixel(5, 3), picture.pixel(5, 3));

  // The picture laid again over part of the black: the rest of the black is new.
  display.fillBox(0, 0, 11, 7, black);
  display.copyFrom(picture, 0, 0, 0, 0, 6, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 12, 8}));
  EXPECT_EQ(display.pixel(6, 0), black);

  // A changed picture is another drawing, even where most of its words are the same.
  display.copyFrom(picture, 0, 0, 0, 0, 12, 8);
  refreshed(display);
  picture.setPixel(0, 0, mark);
  display.fillBox(0, 0, 11, 7, black);
  display.copyFrom(picture, 0, 0, 0, 0, 12, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 12, 8}));

  // So is the same picture at another place.
  display.fillBox(0, 0, 11, 7, black);
  display.copyFrom(picture, 0, 0, 1, 0, 12, 8);
  EXPECT_EQ(refreshed(display), (PixelRect{0, 0, 12, 8}));
}

TEST(RasterChangedArea, AScaledStretchCountsTheRunBetweenTheFirstAndLastWordsItChanges) {
  // Halving 24 columns into 12: destination column 0 samples source column 0 or 1, column 11
  // samples 22 or 23.
  Surface next = freshSurface(24, 6);
  Surface display = freshSurface(12, 6);
  display.stretchFrom(next, 0, 0, 24, 6, 0, 0, 12, 6);
  refreshed(display);
  const Colour mark = makeColour(200, 0, 0);
  const auto markColumns = [&](std::int32_t y, std::initializer_list<std::int32_t> columns) {
    for (const std::int32_t x : columns) next.setPixel(x, y, mark);
    display.stretchFrom(next, 0, 0, 24, 6, 0, 0, 12, 6);
  };
  markColumns(2, {0, 1});  // only the first word of row 2 changes
  EXPECT_EQ(refreshed(display), (PixelRect{0, 2, 1, 3}));
  markColumns(4, {22, 23});  // only the last word of row 4
  EXPECT_EQ(refreshed(display), (PixelRect{11, 4, 12, 5}));
  markColumns(5, {0, 1, 22, 23});  // both ends of row 5: the whole row is the run
  EXPECT_EQ(refreshed(display), (PixelRect{0, 5, 12, 6}));
  EXPECT_EQ(display.pixel(0, 5), mark);
  EXPECT_EQ(display.pixel(11, 5), mark);
  EXPECT_NE(display.pixel(5, 5), mark);
}

// Counts, per pixel, how many of the shapes cover it.
std::vector<int> coverage(std::int32_t w, std::int32_t h, const std::vector<Region>& shapes) {
  std::vector<int> counts(static_cast<std::size_t>(w * h));
  for (const Region& shape : shapes) {
    Surface s(w, h);
    s.selectClip(&shape);
    s.fillBox(0, 0, w - 1, h - 1, makeColour(1, 0, 0));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) counts[static_cast<std::size_t>(y * w + x)] += s.pixel(x, y) != 0;
  }
  return counts;
}

TEST(RasterClipRows, PolygonsSharingAnEdgeCoverEveryPixelOnce) {
  // The shared diagonals run through pixel centres, where a rounding slip would paint a pixel
  // twice or leave it out.
  const std::vector<Region> halves = {Region::polygon({{0, 0}, {8, 8}, {0, 8}}),
                                      Region::polygon({{0, 0}, {8, 0}, {8, 8}})};
  for (int count : coverage(8, 8, halves)) ASSERT_EQ(count, 1);
  const std::vector<Region> wedges = {Region::polygon({{3, 0}, {9, 9}, {0, 9}}),
                                      Region::polygon({{3, 0}, {9, 0}, {9, 9}}),
                                      Region::polygon({{3, 0}, {0, 9}, {0, 0}})};
  for (int count : coverage(9, 9, wedges)) ASSERT_EQ(count, 1);
}

TEST(RasterClipRows, ALargeEllipseStaysWithinATenthOfAPixelOfTheTrueOne) {
  // The outline is flattened into straight pieces; pixels whose centre is clearly inside or
  // clearly outside the true ellipse must come out so.
  const std::int32_t w = 401, h = 243;
  const std::vector<int> counts = coverage(w, h, {Region::ellipse(0, 0, w, h)});
  const double a = w / 2.0, b = h / 2.0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double dx = (x + 0.5 - a) / a, dy = (y + 0.5 - b) / b;
      // Distance from the outline along the radius, in pixels, roughly.
      const double outside = (std::sqrt(dx * dx + dy * dy) - 1) * std::min(a, b);
      const int count = counts[static_cast<std::size_t>(y * w + x)];
      if (outside < -0.25 || outside > 0.25) {
        ASSERT_EQ(count, outside < 0 ? 1 : 0) << x << "," << y;
      }
    }
  }
}

TEST(RasterClipRows, HugeShapesCoverTheSurfaceWithoutOverflow) {
  const std::vector<Region> huge = {
      Region::ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX),
      Region::polygon(
          {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}})};
  for (int count : coverage(5, 4, huge)) ASSERT_EQ(count, 2);
  // A wedge from far to the left whose slanted edge x = 2 + y / 2 crosses the surface: it covers
  // the pixels whose centre lies left of that edge, x + 0.5 < 2 + (y + 0.5) / 2.
  const std::vector<Region> wedge = {Region::polygon({{INT_MIN, 0}, {2, 0}, {4, 4}, {INT_MIN, 4}})};
  const std::vector<int> counts = coverage(5, 4, wedge);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(counts[static_cast<std::size_t>(y * 5 + x)], 4 * x < 7 + 2 * y ? 1 : 0)
          << x << "," << y;
}

// The parts a Refresh hands over, after checking that they lie inside its bounding box and apart
// from each other.
std::vector<PixelRect> refreshedParts(Surface& surface) {
  std::vector<PixelRect> parts;
  surface.setRefreshHook([&](const ChangedArea& changed) {
    parts.assign(changed.parts.begin(), changed.parts.end());
    for (std::size_t i = 0; i < parts.size(); ++i) {
      EXPECT_FALSE(parts[i].empty());
      EXPECT_TRUE(changed.bounds.contains(parts[i]));
      for (std::size_t j = 0; j < i; ++j) EXPECT_TRUE(parts[i].intersected(parts[j]).empty());
    }
  });
  surface.refresh();
  surface.setRefreshHook(nullptr);
  return parts;
}

// Outside every part, `after` holds what `before` held: the screen misses no changed word.
::testing::AssertionResult nothingMissed(const Surface& before, const Surface& after,
                                         const std::vector<PixelRect>& parts) {
  return pixelsAre(after, [&](std::int32_t x, std::int32_t y) {
    const bool inPart = std::any_of(parts.begin(), parts.end(), [&](const PixelRect& r) {
      return r.contains({x, y, x + 1, y + 1});
    });
    return (inPart ? after : before).pixel(x, y);
  });
}

Surface noise(std::int32_t w, std::int32_t h, std::mt19937& random) {
  return codedSurface(w, h,
                      [&random](auto, auto) { return static_cast<Colour>(random() & 0xFFFFFF); });
}

TEST(RasterChangedParts, LeaveOutTheMiddleOfARingOrAGrowingBox) {
  constexpr std::int32_t kTile = ChangedTiles::kTileSize;
  std::mt19937 random(3);
  const Surface next = noise(8 * kTile, 8 * kTile, random);
  const PixelRect middle{3 * kTile, 3 * kTile, 5 * kTile, 5 * kTile};
  const auto leftOut = [&](const std::vector<PixelRect>& parts) {
    return std::none_of(parts.begin(), parts.end(),
                        [&](const PixelRect& r) { return !r.intersected(middle).empty(); });
  };

  // Through an ellipse, and then a larger one; the same as through the larger one alone.
  Surface display = noise(8 * kTile, 8 * kTile, random);
  Surface drawnOnce = display;
  refreshedParts(display);
  const Region small = Region::ellipse(2 * kTile, 2 * kTile, 6 * kTile, 6 * kTile);
  const Region large = Region::ellipse(kTile, kTile, 7 * kTile, 7 * kTile);
  display.selectClip(&small);
  display.copyFrom(next, 0, 0, 0, 0, 8 * kTile, 8 * kTile);
  refreshedParts(display);
  Surface before = display;
  for (Surface* surface : {&display, &drawnOnce}) {
    surface->selectClip(&large);
    surface->copyFrom(next, 0, 0, 0, 0, 8 * kTile, 8 * kTile);
    surface->selectClip(nullptr);
  }
  std::vector<PixelRect> parts = refreshedParts(display);
  EXPECT_TRUE(nothingMissed(before, display, parts));
  EXPECT_TRUE(leftOut(parts));
  EXPECT_TRUE(samePixels(display, drawnOnce));

  // A box of the same picture, and then a larger one.
  display = noise(8 * kTile, 8 * kTile, random);
  drawnOnce = display;
  display.copyFrom(next, 2 * kTile, 2 * kTile, 2 * kTile, 2 * kTile, 4 * kTile, 4 * kTile);
  refreshedParts(display);
  before = display;
  for (Surface* surface : {&display, &drawnOnce})
    surface->copyFrom(next, kTile, kTile, kTile, kTile, 6 * kTile, 6 * kTile);
  parts = refreshedParts(display);
  EXPECT_TRUE(nothingMissed(before, display, parts));
  EXPECT_TRUE(leftOut(parts));
  EXPECT_TRUE(samePixels(display, drawnOnce));
}

}  // namespace
}  // namespace kamishibai
