// Kamishibai: the centre zooms (codes 23 to 25) frame by frame: the rectangle of every step with
// the roundings that add up, the mirrored sliver, the black of code 25 and the end flag.
#include <gtest/gtest.h>

#include "stretch_frames.h"

namespace kamishibai {
namespace {

using namespace stretch_frames;

// The picture centred on (c, c) of a square display with its corner at (x, x).
Band centred(std::int32_t c, std::int32_t x, Pic pic) {
  return {x, x, 2 * (c - x), 2 * (c - x), pic};
}

struct ZoomCase {
  std::int32_t size;  // W = H
  std::int32_t move;  // the rounded move of the corner per step
};

std::ostream& operator<<(std::ostream& out, const ZoomCase& c) {
  return out << c.size << " by " << c.size;
}

class CentreZoom : public ::testing::TestWithParam<ZoomCase> {
 protected:
  std::int32_t centre() const { return GetParam().size / 2; }
  Recording record(std::int32_t code) {
    Recording rec(GetParam().size, GetParam().size);
    rec.run(code);
    return rec;
  }
};

void expectPacing(const Recording& rec, std::int32_t frameMs) {
  for (std::size_t k = 0; k < rec.ticks.size(); ++k) {
    EXPECT_EQ(rec.ticks[k], static_cast<std::int32_t>(k) * (frameMs + 1)) << "frame " << k;
  }
}

// W = 200 grows by 10 a step up to the whole display; W = 230 (dx = 5.75) moves by 6 and ends
// 240 wide at x = -5; W = 210 (dx = 5.25) moves by 5 and ends 200 wide.
TEST_P(CentreZoom, ZoomInGrowsOverTheCurrentPicture) {
  Recording rec = record(23);
  ASSERT_EQ(findEffect(23)->frameMs, 40);
  ASSERT_EQ(rec.frames.size(), 21u) << "no refresh after the final copy";
  expectPacing(rec, 40);
  for (std::int32_t k = 0; k <= 20; ++k) {
    const Band b = centred(centre(), centre() - k * GetParam().move, Pic::Next);
    const Surface& before = k == 0 ? rec.current : rec.frames[k - 1];
    EXPECT_TRUE(framePixels(rec.frames[k], {b}, before)) << "step " << k;
  }
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

// The whole next picture lies under the shrinking current one in every step; at W = 230 the
// last rectangle is (120, 120, -10, -10), a flipped sliver from 110 to 120.
TEST_P(CentreZoom, ZoomOutShrinksOverTheNextPicture) {
  Recording rec = record(24);
  ASSERT_EQ(findEffect(24)->frameMs, 40);
  ASSERT_EQ(rec.frames.size(), 21u) << "no refresh after the final copy";
  expectPacing(rec, 40);
  for (std::int32_t k = 0; k <= 20; ++k) {
    const Band b = centred(centre(), k * GetParam().move, Pic::Current);
    EXPECT_TRUE(framePixels(rec.frames[k], {b}, rec.next)) << "step " << k;
  }
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

// Steps 0 to 20 shrink the current picture on black; steps 21 to 40 step back first and grow
// the next picture on what is left, up to 19/20 of the display.
TEST_P(CentreZoom, ZoomThroughBlackShrinksThenGrows) {
  Recording rec = record(25);
  ASSERT_EQ(findEffect(25)->frameMs, 20);
  ASSERT_EQ(rec.frames.size(), 41u) << "no refresh after the final copy";
  expectPacing(rec, 20);
  const Surface black(GetParam().size, GetParam().size);
  for (std::int32_t k = 0; k <= 40; ++k) {
    const bool shrinking = k <= 20;
    const Band b = shrinking ? centred(centre(), k * GetParam().move, Pic::Current)
                             : centred(centre(), (41 - k) * GetParam().move, Pic::Next);
    EXPECT_TRUE(framePixels(rec.frames[k], {b}, shrinking ? black : rec.frames[k - 1]))
        << "step " << k;
  }
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

INSTANTIATE_TEST_SUITE_P(Widths, CentreZoom,
                         ::testing::Values(ZoomCase{200, 5}, ZoomCase{230, 6}, ZoomCase{210, 5}));

TEST(CentreZoom, ZoomOutEndsWithAMirroredSliverPastTheCentre) {
  Recording rec(230, 230);
  rec.run(24);
  const Surface& last = rec.frames[20];
  const Decoded left = decode(last.pixel(110, 115)), right = decode(last.pixel(119, 115));
  EXPECT_EQ(left.pic, Pic::Current);
  EXPECT_GE(left.x, 207) << "the picture's right edge at the sliver's left";
  EXPECT_LE(right.x, 22) << "the picture's left edge at the sliver's right";
  EXPECT_EQ(decode(last.pixel(109, 115)).pic, Pic::Next);
  EXPECT_EQ(decode(last.pixel(120, 115)).pic, Pic::Next);
}

// Raised in the wait of step 3: no further step is drawn, and the black display gives way to
// the whole next picture at once.
TEST(CentreZoom, EndFlagDuringTheShrinkingPhase) {
  Recording rec(40, 40);
  rec.events.at(70, [&] { rec.endFlag = kTrue; });
  rec.run(25);
  ASSERT_EQ(rec.frames.size(), 4u);
  EXPECT_EQ(rec.events.now(), 70);
  EXPECT_TRUE(framePixels(rec.frames[3], {centred(20, 3, Pic::Current)}, Surface(40, 40)));
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

}  // namespace
}  // namespace kamishibai
