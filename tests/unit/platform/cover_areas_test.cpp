// Kamishibai: the covers leave no part of any monitor in view beside the show's window, cover
// nothing twice and nothing of the window, whatever the monitors' layout.
#include <gtest/gtest.h>

#include <vector>

#include "platform/cover_areas.h"

namespace kamishibai {
namespace {

struct Layout {
  const char* name;
  std::vector<PixelRect> monitors;
  PixelRect shown;
  std::vector<PixelRect> expected;
};

bool inside(const PixelRect& r, std::int32_t x, std::int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TEST(CoverAreas, EveryPixelOfTheMonitorsOutsideTheShowIsCoveredOnce) {
  const std::vector<Layout> layouts{
      {"one monitor", {{0, 0, 40, 30}}, {0, 0, 40, 30}, {}},
      {"side by side", {{0, 0, 40, 30}, {40, 0, 80, 30}}, {0, 0, 40, 30}, {{40, 0, 80, 30}}},
      {"clones, the show on the smaller",
       {{0, 0, 40, 30}, {0, 0, 50, 40}},
       {0, 0, 40, 30},
       {{40, 0, 50, 30}, {0, 30, 50, 40}}},
      {"clones, the show on the larger", {{0, 0, 40, 30}, {0, 0, 50, 40}}, {0, 0, 50, 40}, {}},
      {"same clone twice", {{0, 0, 40, 30}, {0, 0, 40, 30}}, {0, 0, 40, 30}, {}},
      {"overlapping corner",
       {{0, 0, 40, 30}, {20, 10, 60, 50}},
       {0, 0, 40, 30},
       {{40, 10, 60, 30}, {20, 30, 60, 50}}},
      {"three in a row, the show in the middle",
       {{0, 0, 40, 30}, {40, 0, 80, 30}, {80, 0, 120, 30}},
       {40, 0, 80, 30},
       {{0, 0, 40, 30}, {80, 0, 120, 30}}},
      {"stacked, different widths",
       {{0, 0, 40, 30}, {0, 30, 60, 50}, {10, 50, 60, 70}},
       {0, 0, 40, 30},
       {{0, 30, 60, 50}, {10, 50, 60, 70}}},
  };
  for (const Layout& layout : layouts) {
    const std::vector<PixelRect> parts = uncoveredParts(layout.monitors, layout.shown);
    EXPECT_EQ(parts, layout.expected) << layout.name;
    for (std::int32_t y = -5; y < 75; ++y) {
      for (std::int32_t x = -5; x < 125; ++x) {
        int covers = 0;
        for (const PixelRect& part : parts) covers += inside(part, x, y) ? 1 : 0;
        bool onMonitor = false;
        for (const PixelRect& monitor : layout.monitors) onMonitor |= inside(monitor, x, y);
        const int wanted = onMonitor && !inside(layout.shown, x, y) ? 1 : 0;
        ASSERT_EQ(covers, wanted) << layout.name << " at " << x << ", " << y;
      }
    }
  }
}

}  // namespace
}  // namespace kamishibai
