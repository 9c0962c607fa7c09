// Kamishibai: the squeezes (codes 11 to 14) frame by frame: the band of every step, its picture,
// what lies outside it, the mirrored sliver past the centre line and the pacing.
#include <gtest/gtest.h>

#include "stretch_frames.h"

namespace kamishibai {
namespace {

using namespace stretch_frames;

// Offsets of the band, step by step, in units of the rounded offset step: W = 640 moves by 32,
// and W = 250 (d = 12.5, halves rounded to even) by 12 every time.
std::vector<std::int32_t> units(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<std::int32_t> out;
  for (auto [from, to] : runs)
    for (int u = from; from <= to ? u <= to : u >= to; u += from <= to ? 1 : -1) out.push_back(u);
  return out;
}

struct SqueezeCase {
  std::int32_t code;
  std::int32_t width;
  std::int32_t height;
  std::int32_t unit;  // the rounded offset step
};

std::ostream& operator<<(std::ostream& out, const SqueezeCase& c) {
  return out << "code " << c.code << " on " << c.width << " by " << c.height;
}

bool horizontal(const SqueezeCase& c) {
  return c.code == 11 || c.code == 13;
}

Band band(const SqueezeCase& c, std::int32_t offset, Pic pic) {
  if (horizontal(c)) return {offset, 0, c.width - 2 * offset, c.height, pic};
  return {0, offset, c.width, c.height - 2 * offset, pic};
}

void expectPacing(const Recording& rec, std::int32_t code, std::int32_t frameMs) {
  ASSERT_EQ(findEffect(code)->frameMs, frameMs);
  for (std::size_t k = 0; k < rec.ticks.size(); ++k) {
    EXPECT_EQ(rec.ticks[k], static_cast<std::int32_t>(k) * (frameMs + 1)) << "frame " << k;
  }
}

class SqueezeOverBlack : public ::testing::TestWithParam<SqueezeCase> {};

// Steps 0 to 10 squeeze the current picture on black, 11 to 19 grow the next one out of the
// centre line; the step before the last move is the narrowest.
TEST_P(SqueezeOverBlack, BandsOnBlackStepByStep) {
  const SqueezeCase c = GetParam();
  Recording rec(c.width, c.height);
  rec.run(c.code);
  ASSERT_EQ(rec.frames.size(), 21u) << "20 steps and the refresh after the final copy";
  expectPacing(rec, c.code, 20);

  const Surface black(c.width, c.height);
  const auto offsets = units({{0, 10}, {10, 2}});
  for (std::int32_t k = 0; k < 20; ++k) {
    const Band b = band(c, offsets[k] * c.unit, k <= 10 ? Pic::Current : Pic::Next);
    EXPECT_TRUE(framePixels(rec.frames[k], {b}, black)) << "step " << k;
  }
  EXPECT_TRUE(samePixels(rec.frames[20], rec.next));
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

INSTANTIATE_TEST_SUITE_P(Codes11And12, SqueezeOverBlack,
                         ::testing::Values(SqueezeCase{11, 640, 4, 32}, SqueezeCase{11, 250, 4, 12},
                                           SqueezeCase{12, 4, 640, 32},
                                           SqueezeCase{12, 8, 250, 12}));

TEST(SqueezeOverBlack, NarrowestStepShowsBlackWhenTheBandVanishes) {
  for (const SqueezeCase c : {SqueezeCase{11, 640, 4, 32}, SqueezeCase{12, 4, 640, 32}}) {
    Recording rec(c.width, c.height);
    rec.run(c.code);
    ASSERT_EQ(rec.frames.size(), 21u);
    for (std::int32_t k : {10, 11})
      EXPECT_TRUE(samePixels(rec.frames[k], Surface(c.width, c.height))) << c << " step " << k;
  }
}

class SqueezeAndSpring : public ::testing::TestWithParam<SqueezeCase> {};

// Nothing is cleared, so outside its band every frame keeps the frame before it.
TEST_P(SqueezeAndSpring, BandsOverThePreviousFrameStepByStep) {
  const SqueezeCase c = GetParam();
  Recording rec(c.width, c.height);
  rec.run(c.code);
  ASSERT_EQ(rec.frames.size(), 41u) << "40 steps and the refresh after the final copy";
  expectPacing(rec, c.code, 10);

  auto offsets = units({{0, 11}, {10, 2}});
  const auto nextOffsets = units({{2, 11}, {10, 2}});
  offsets.insert(offsets.end(), nextOffsets.begin(), nextOffsets.end());
  ASSERT_EQ(offsets.size(), 40u);
  for (std::int32_t k = 0; k < 40; ++k) {
    const Band b = band(c, offsets[k] * c.unit, k <= 20 ? Pic::Current : Pic::Next);
    const Surface& before = k == 0 ? rec.current : rec.frames[k - 1];
    EXPECT_TRUE(framePixels(rec.frames[k], {b}, before)) << "step " << k;
  }
  EXPECT_TRUE(samePixels(rec.frames[40], rec.next));
}

INSTANTIATE_TEST_SUITE_P(Codes13And14, SqueezeAndSpring,
                         ::testing::Values(SqueezeCase{13, 640, 4, 32}, SqueezeCase{13, 250, 4, 12},
                                           SqueezeCase{14, 8, 250, 12}));

// W = 250: one step past the centre the band is (132, 0, -14, H), the current picture flipped
// left to right between the columns 118 and 132; the next picture flips there at step 30.
TEST(SqueezeAndSpring, MirroredSliverPastTheCentreLine) {
  Recording rec(250, 4);
  rec.run(13);
  ASSERT_EQ(rec.frames.size(), 41u);
  for (auto [k, pic] : {std::pair{11, Pic::Current}, std::pair{30, Pic::Next}}) {
    const Surface& frame = rec.frames[k];
    const Decoded left = decode(frame.pixel(118, 2)), right = decode(frame.pixel(131, 2));
    EXPECT_EQ(left.pic, pic) << k;
    EXPECT_EQ(right.pic, pic) << k;
    EXPECT_GE(left.x, 232) << "the picture's right edge at the sliver's left, step " << k;
    EXPECT_LE(right.x, 17) << "the picture's left edge at the sliver's right, step " << k;
    EXPECT_EQ(frame.pixel(117, 2), rec.frames[k - 1].pixel(117, 2)) << k;
    EXPECT_EQ(frame.pixel(132, 2), rec.frames[k - 1].pixel(132, 2)) << k;
  }
}

}  // namespace
}  // namespace kamishibai
