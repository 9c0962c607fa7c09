// Kamishibai: the squeeze-ins (codes 15 to 18) frame by frame: the share of the next picture at
// every step, both pictures whole in their parts of the display, and the pacing.
#include "tests/unit/effects/stretch_checks.h"

namespace kamishibai::testing {
namespace {

struct SqueezeInCase {
  std::int32_t code;
  std::int32_t width;
  std::int32_t height;
  std::int32_t unit;  // the rounded growth of the share per step
};

std::ostream& operator<<(std::ostream& out, const SqueezeInCase& c) {
  return out << "code " << c.code << " on " << c.width << " by " << c.height;
}

// The current picture's band and then the next picture's band at a share of s.
std::vector<StretchedBand> bands(const SqueezeInCase& c, std::int32_t s) {
  const std::int32_t W = c.width, H = c.height;
  switch (c.code) {
    case 15:
      return {{s, 0, W - s, H, Picture::Current}, {0, 0, s, H, Picture::Next}};
    case 16:
      return {{0, s, W, H - s, Picture::Current}, {0, 0, W, s, Picture::Next}};
    case 17:
      return {{0, 0, W - s, H, Picture::Current}, {W - s, 0, s, H, Picture::Next}};
    default:
      return {{0, 0, W, H - s, Picture::Current}, {0, H - s, W, s, Picture::Next}};
  }
}

class SqueezeIn : public ::testing::TestWithParam<SqueezeInCase> {};

// The share runs 0, unit, 2 unit, ... over the 21 steps: at W = 640 the last step shows the next
// picture alone at full width; at W = 250 (d = 12.5, halves rounded to even) the share stops at
// 240 and the current picture is still there, whole, squeezed into 10 columns.
TEST_P(SqueezeIn, ShareGrowsStepByStep) {
  const SqueezeInCase c = GetParam();
  TransitionRun run(c.width, c.height);
  run.run(c.code);
  ASSERT_EQ(run.frames.size(), 22u) << "21 steps and the refresh after the final copy";
  ASSERT_EQ(findEffect(c.code)->frameMs, 25);
  for (std::int32_t k = 0; k < 21; ++k) {
    const auto step = static_cast<std::size_t>(k);
    EXPECT_EQ(run.refreshTicks[step], 1000 + 26 * k) << "step " << k;
    const Frame before = k == 0 ? snapshot(run.current) : run.frames[step - 1];
    EXPECT_TRUE(showsBands(run.frames[step], bands(c, k * c.unit), before)) << c << " step " << k;
  }
  EXPECT_TRUE(frameMatches(run.frames[21], next));
}

INSTANTIATE_TEST_SUITE_P(FromEachEdge, SqueezeIn,
                         ::testing::Values(SqueezeInCase{15, 640, 4, 32},
                                           SqueezeInCase{15, 250, 4, 12},
                                           SqueezeInCase{16, 4, 250, 12},
                                           SqueezeInCase{17, 250, 4, 12},
                                           SqueezeInCase{18, 8, 250, 12}));

}  // namespace
}  // namespace kamishibai::testing
