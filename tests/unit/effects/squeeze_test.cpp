// Kamishibai: the squeezes (codes 11 to 14) frame by frame: the band of every step, its picture,
// what lies outside it, the mirrored sliver past the centre line and the pacing.
#include "tests/unit/effects/stretch_checks.h"

namespace kamishibai::testing {
namespace {

// Offsets in units of the rounded offset step, one per step, from runs of consecutive units:
// W = 640 moves by 32 every time, and W = 250 (d = 12.5, halves rounded to even) by 12.
std::vector<std::int32_t> units(std::initializer_list<std::pair<int, int>> runs) {
  std::vector<std::int32_t> out;
  for (auto [from, to] : runs) {
    const int by = from <= to ? 1 : -1;
    for (int u = from; u != to + by; u += by) out.push_back(u);
  }
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

StretchedBand band(const SqueezeCase& c, std::int32_t offset, Picture picture) {
  if (c.code % 2 == 1) return {offset, 0, c.width - 2 * offset, c.height, picture};
  return {0, offset, c.width, c.height - 2 * offset, picture};
}

void expectPacing(const TransitionRun& run, std::int32_t code, std::int32_t frameMs) {
  ASSERT_EQ(findEffect(code)->frameMs, frameMs);
  for (std::size_t k = 0; k < run.refreshTicks.size(); ++k) {
    EXPECT_EQ(run.refreshTicks[k], 1000 + static_cast<std::int32_t>(k) * (frameMs + 1)) << k;
  }
}

class SqueezeOverBlack : public ::testing::TestWithParam<SqueezeCase> {};

// Steps 0 to 10 squeeze the current picture on black, steps 11 to 19 grow the next one out of
// the centre line; at W = 250 the narrowest band is 10 pixels wide, never 0.
TEST_P(SqueezeOverBlack, BandsOnBlackStepByStep) {
  const SqueezeCase c = GetParam();
  TransitionRun run(c.width, c.height);
  run.run(c.code);
  ASSERT_EQ(run.frames.size(), 21u) << "20 steps and the refresh after the final copy";
  expectPacing(run, c.code, 20);

  const Frame black(c.width, c.height);
  const auto offsets = units({{0, 10}, {10, 2}});
  for (std::size_t k = 0; k < 20; ++k) {
    const auto b = band(c, offsets[k] * c.unit, k <= 10 ? Picture::Current : Picture::Next);
    EXPECT_TRUE(showsBands(run.frames[k], {b}, black)) << "step " << k;
  }
  EXPECT_TRUE(frameMatches(run.frames[20], next));
}

INSTANTIATE_TEST_SUITE_P(Codes11And12, SqueezeOverBlack,
                         ::testing::Values(SqueezeCase{11, 640, 4, 32}, SqueezeCase{11, 250, 4, 12},
                                           SqueezeCase{12, 4, 640, 32},
                                           SqueezeCase{12, 8, 250, 12}));

TEST(SqueezeOverBlack, NarrowestStepShowsBlackWhenTheBandVanishes) {
  for (const SqueezeCase c : {SqueezeCase{11, 640, 4, 32}, SqueezeCase{12, 4, 640, 32}}) {
    TransitionRun run(c.width, c.height);
    run.run(c.code);
    ASSERT_EQ(run.frames.size(), 21u);
    for (std::size_t k : {10, 11}) {
      EXPECT_TRUE(frameMatches(run.frames[k], [](std::int32_t, std::int32_t) { return 0u; }))
          << c << " step " << k;
    }
  }
}

class SqueezeAndSpring : public ::testing::TestWithParam<SqueezeCase> {};

// Nothing is cleared, so outside its band every frame keeps the frame before it.
TEST_P(SqueezeAndSpring, BandsOverThePreviousFrameStepByStep) {
  const SqueezeCase c = GetParam();
  TransitionRun run(c.width, c.height);
  run.run(c.code);
  ASSERT_EQ(run.frames.size(), 41u) << "40 steps and the refresh after the final copy";
  expectPacing(run, c.code, 10);

  const auto offsets = units({{0, 11}, {10, 2}, {2, 11}, {10, 2}});
  ASSERT_EQ(offsets.size(), 40u);
  for (std::size_t k = 0; k < 40; ++k) {
    const auto b = band(c, offsets[k] * c.unit, k <= 20 ? Picture::Current : Picture::Next);
    const Frame before = k == 0 ? snapshot(run.current) : run.frames[k - 1];
    EXPECT_TRUE(showsBands(run.frames[k], {b}, before)) << "step " << k;
  }
  EXPECT_TRUE(frameMatches(run.frames[40], next));
}

INSTANTIATE_TEST_SUITE_P(Codes13And14, SqueezeAndSpring,
                         ::testing::Values(SqueezeCase{13, 640, 4, 32}, SqueezeCase{13, 250, 4, 12},
                                           SqueezeCase{14, 8, 250, 12}));

// W = 250: one step past the centre line the band is (132, 0, -14, H), the picture flipped left
// to right between the columns 118 and 132: the current picture at step 11, the next at step 30.
TEST(SqueezeAndSpring, MirroredSliverPastTheCentreLine) {
  TransitionRun run(250, 4);
  run.run(13);
  ASSERT_EQ(run.frames.size(), 41u);
  for (auto [k, picture] : {std::pair{11u, Picture::Current}, std::pair{30u, Picture::Next}}) {
    const Frame& frame = run.frames[k];
    const Origin left = originOf(frame.pixel(118, 2)), right = originOf(frame.pixel(131, 2));
    EXPECT_EQ(left.picture, static_cast<Colour>(picture)) << k;
    EXPECT_EQ(right.picture, static_cast<Colour>(picture)) << k;
    EXPECT_GE(left.x, 232) << "the picture's right edge at the sliver's left, step " << k;
    EXPECT_LE(right.x, 17) << "the picture's left edge at the sliver's right, step " << k;
    EXPECT_EQ(frame.pixel(117, 2), run.frames[k - 1].pixel(117, 2)) << k;
    EXPECT_EQ(frame.pixel(132, 2), run.frames[k - 1].pixel(132, 2)) << k;
  }
}

}  // namespace
}  // namespace kamishibai::testing
