// Kamishibai: the squeeze-ins (codes 15 to 18) frame by frame: the share of the next picture at
// every step, both pictures whole in their parts of the display, and the pacing.
#include <gtest/gtest.h>

#include "stretch_frames.h"

namespace kamishibai {
namespace {

using namespace stretch_frames;

struct SqueezeInCase {
  std::int32_t code;
  std::int32_t width;
  std::int32_t height;
  std::int32_t unit;  // the rounded growth of the share per step
};

std::ostream& operator<<(std::ostream& out, const SqueezeInCase& c) {
  return out << "code " << c.code << " on " << c.width << " by " << c.height;
}

// The current picture's band and the next picture's band at a share of s.
std::vector<Band> bands(const SqueezeInCase& c, std::int32_t s) {
  const std::int32_t W = c.width, H = c.height;
  switch (c.code) {
    case 15:
      return {{s, 0, W - s, H, Pic::Current}, {0, 0, s, H, Pic::Next}};
    case 16:
      return {{0, s, W, H - s, Pic::Current}, {0, 0, W, s, Pic::Next}};
    case 17:
      return {{0, 0, W - s, H, Pic::Current}, {W - s, 0, s, H, Pic::Next}};
    default:
      return {{0, 0, W, H - s, Pic::Current}, {0, H - s, W, s, Pic::Next}};
  }
}

class SqueezeIn : public ::testing::TestWithParam<SqueezeInCase> {};

// The share runs 0, unit, 2 unit, ... over the 21 steps: at W = 640 the last step shows the next
// picture alone at full width; at W = 250 (d = 12.5, halves rounded to even) the share stops at
// 240 and the current picture is still there, whole, squeezed into 10 columns.
TEST_P(SqueezeIn, ShareGrowsStepByStep) {
  const SqueezeInCase c = GetParam();
  Recording rec(c.width, c.height);
  rec.run(c.code);
  ASSERT_EQ(rec.frames.size(), 22u) << "21 steps and the refresh after the final copy";
  ASSERT_EQ(findEffect(c.code)->frameMs, 25);
  for (std::int32_t k = 0; k < 21; ++k) {
    EXPECT_EQ(rec.ticks[k], k * 26) << "step " << k;
    const Surface& before = k == 0 ? rec.current : rec.frames[k - 1];
    EXPECT_TRUE(framePixels(rec.frames[k], bands(c, k * c.unit), before)) << c << " step " << k;
  }
  EXPECT_TRUE(samePixels(rec.frames[21], rec.next));
  EXPECT_TRUE(samePixels(rec.display, rec.next));
}

INSTANTIATE_TEST_SUITE_P(FromEachEdge, SqueezeIn,
                         ::testing::Values(SqueezeInCase{15, 640, 4, 32},
                                           SqueezeInCase{15, 250, 4, 12},
                                           SqueezeInCase{16, 4, 250, 12},
                                           SqueezeInCase{17, 250, 4, 12},
                                           SqueezeInCase{18, 8, 250, 12}));

}  // namespace
}  // namespace kamishibai
