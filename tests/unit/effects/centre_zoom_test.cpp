// Kamishibai: the centre zooms (codes 23 to 25) frame by frame: the rectangle of every step with
// the roundings that add up, the mirrored sliver, the black of code 25 and the end flag.
#include "tests/unit/effects/stretch_checks.h"

namespace kamishibai::testing {
namespace {

// The picture centred on (c, c) of a square display with its corner at (x, x).
StretchedBand centred(std::int32_t c, std::int32_t x, Picture picture) {
  return {x, x, 2 * (c - x), 2 * (c - x), picture};
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
  std::int32_t corner(std::int32_t moves) const { return moves * GetParam().move; }

  // Runs the code and checks its pacing: no refresh after the final copy.
  void record(TransitionRun& run, std::int32_t code, std::int32_t frameMs, std::size_t steps) {
    run.run(code);
    ASSERT_EQ(findEffect(code)->frameMs, frameMs);
    ASSERT_EQ(run.frames.size(), steps);
    for (std::size_t k = 0; k < steps; ++k) {
      EXPECT_EQ(run.refreshTicks[k], 1000 + static_cast<std::int32_t>(k) * (frameMs + 1)) << k;
    }
    EXPECT_TRUE(frameMatches(snapshot(run.display), next));
  }
};

// W = 200 grows by 10 a step up to the whole display; W = 230 (dx = 5.75) moves by 6 and ends
// 240 wide at x = -5; W = 210 (dx = 5.25) moves by 5 and ends 200 wide.
TEST_P(CentreZoom, ZoomInGrowsOverTheCurrentPicture) {
  TransitionRun run(GetParam().size, GetParam().size);
  record(run, 23, 40, 21);
  for (std::int32_t k = 0; k <= 20; ++k) {
    const auto step = static_cast<std::size_t>(k);
    const Frame before = k == 0 ? snapshot(run.current) : run.frames[step - 1];
    EXPECT_TRUE(showsBands(run.frames[step],
                           {centred(centre(), centre() - corner(k), Picture::Next)}, before))
        << "step " << k;
  }
}

// The whole next picture lies under the shrinking current one in every step; at W = 230 the
// last rectangle is (120, 120, -10, -10), a flipped sliver from 110 to 120.
TEST_P(CentreZoom, ZoomOutShrinksOverTheNextPicture) {
  TransitionRun run(GetParam().size, GetParam().size);
  record(run, 24, 40, 21);
  const Frame nextPicture = snapshot(run.next);
  for (std::int32_t k = 0; k <= 20; ++k) {
    EXPECT_TRUE(showsBands(run.frames[static_cast<std::size_t>(k)],
                           {centred(centre(), corner(k), Picture::Current)}, nextPicture))
        << "step " << k;
  }
}

// Steps 0 to 20 shrink the current picture on black; steps 21 to 40 step back first and grow
// the next picture on what is left, up to 19/20 of the display.
TEST_P(CentreZoom, ZoomThroughBlackShrinksThenGrows) {
  TransitionRun run(GetParam().size, GetParam().size);
  record(run, 25, 20, 41);
  const Frame black(GetParam().size, GetParam().size);
  for (std::int32_t k = 0; k <= 40; ++k) {
    const auto step = static_cast<std::size_t>(k);
    if (k <= 20) {
      EXPECT_TRUE(
          showsBands(run.frames[step], {centred(centre(), corner(k), Picture::Current)}, black))
          << "step " << k;
    } else {
      EXPECT_TRUE(showsBands(run.frames[step], {centred(centre(), corner(41 - k), Picture::Next)},
                             run.frames[step - 1]))
          << "step " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, CentreZoom,
                         ::testing::Values(ZoomCase{200, 5}, ZoomCase{230, 6}, ZoomCase{210, 5}));

TEST(CentreZoom, ZoomOutEndsWithAMirroredSliverPastTheCentre) {
  TransitionRun run(230, 230);
  run.run(24);
  ASSERT_EQ(run.frames.size(), 21u);
  const Frame& last = run.frames[20];
  const Origin left = originOf(last.pixel(110, 115)), right = originOf(last.pixel(119, 115));
  EXPECT_EQ(left.picture, static_cast<Colour>(Picture::Current));
  EXPECT_GE(left.x, 207) << "the picture's right edge at the sliver's left";
  EXPECT_LE(right.x, 22) << "the picture's left edge at the sliver's right";
  EXPECT_EQ(last.pixel(109, 115), next(109, 115));
  EXPECT_EQ(last.pixel(120, 115), next(120, 115));
}

// Raised in the wait of step 3: no further step is drawn, and the black display gives way to
// the whole next picture at once.
TEST(CentreZoom, EndFlagDuringTheShrinkingPhase) {
  TransitionRun run(40, 40);
  run.raiseEndAt(1070);
  run.run(25);
  ASSERT_EQ(run.frames.size(), 4u);
  EXPECT_EQ(run.events.now(), 1070);
  EXPECT_TRUE(showsBands(run.frames[3], {centred(20, 3, Picture::Current)}, Frame(40, 40)));
  EXPECT_TRUE(frameMatches(snapshot(run.display), next));
}

}  // namespace
}  // namespace kamishibai::testing
