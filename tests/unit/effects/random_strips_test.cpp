// Kamishibai: the random strip reveals: every strip once, strips outside the display included.
#include <set>

#include "tests/unit/effects/effects_support.h"

namespace kamishibai::testing {
namespace {

// The first position along the axis at which two frames differ, or -1.
std::int32_t firstChange(const Frame& before, const Frame& after, bool columns) {
  const std::optional<Point> at = firstDifference(before, after);
  return !at ? -1 : columns ? at->x : at->y;
}

struct StripCase {
  std::int32_t code, width, height, strip, hiddenStrips;
};

TEST(RandomStrips, EveryStripOnceAndThoseOutsideTheDisplayChangeNothing) {
  for (const StripCase c :
       {StripCase{34, 200, 3, 9, 2}, StripCase{34, 100, 3, 5, 5}, StripCase{35, 3, 150, 7, 3}}) {
    const bool columns = c.code == 34;
    const std::int32_t length = columns ? c.width : c.height;
    TransitionRun run(c.width, c.height);
    run.run(c.code);
    ASSERT_EQ(run.frames.size(), 25u) << c.code;
    Frame before = snapshot(run.current);
    std::set<std::int32_t> starts;
    int unchanged = 0;
    for (const Frame& frame : run.frames) {
      const std::int32_t start = firstChange(before, frame, columns);
      if (start < 0) {
        ++unchanged;
      } else {
        ASSERT_EQ(start % c.strip, 0) << c.code;
        starts.insert(start);
        EXPECT_TRUE(frameMatches(frame, [&](std::int32_t x, std::int32_t y) {
          const std::int32_t at = columns ? x : y;
          return at >= start && at < start + c.strip ? next(x, y) : before.pixel(x, y);
        })) << c.code;
      }
      before = frame;
    }
    EXPECT_EQ(unchanged, c.hiddenStrips) << c.code;
    EXPECT_GE(static_cast<std::int32_t>(starts.size()) * c.strip, length) << c.code;
    EXPECT_TRUE(frameMatches(run.frames.back(), next)) << c.code;
  }
}

TEST(RandomStrips, StripPartlyOutsideTheDisplayIsClipped) {
  TransitionRun run(3, 150);  // strip 21 covers rows 147 to 153, of which 147 to 149 are shown
  run.run(35);
  Frame before = snapshot(run.current);
  for (const Frame& frame : run.frames) {
    if (firstChange(before, frame, false) == 147) {
      EXPECT_TRUE(frameMatches(frame, [&](std::int32_t x, std::int32_t y) {
        return y >= 147 ? next(x, y) : before.pixel(x, y);
      }));
      return;
    }
    before = frame;
  }
  FAIL() << "strip 21 was never drawn";
}

TEST(RandomStrips, ConsecutiveCallsContinueTheRandomSequence) {
  TransitionRun run(200, 2);
  std::vector<std::int32_t> orders[2];
  for (auto& order : orders) {
    run.frames.clear();
    run.display.copyFrom(run.current, 0, 0, 0, 0, 200, 2);
    run.run(34);
    Frame before = snapshot(run.current);
    for (const Frame& frame : run.frames) {
      order.push_back(firstChange(before, frame, true));
      before = frame;
    }
  }
  EXPECT_NE(orders[0], orders[1]);
}

}  // namespace
}  // namespace kamishibai::testing
