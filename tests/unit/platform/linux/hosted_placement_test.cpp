// Kamishibai: where the picture area goes in a screen-saver host's window.
#include <gtest/gtest.h>

#include "platform/linux/hosted_placement.h"

namespace kamishibai {
namespace {

TEST(HostedPlacement, AreaThatFitsIsCentredLikeOnAScreen) {
  // Each half truncated: odd area on an even window leaves the wider margin on the left.
  const HostedPlacement odd = placeInHostWindow(1024, 768, 251, 250);
  EXPECT_EQ(odd.left, 387);
  EXPECT_EQ(odd.top, 259);
  EXPECT_EQ(odd.scale, 1);
  const HostedPlacement exact = placeInHostWindow(640, 480, 640, 480);
  EXPECT_EQ(exact.left, 0);
  EXPECT_EQ(exact.scale, 1);
}

TEST(HostedPlacement, SmallerWindowScalesTheWholeAreaDownAndCentresIt) {
  // A 320 by 240 preview of a 640 by 400 area: half size, centred vertically.
  const HostedPlacement half = placeInHostWindow(320, 240, 640, 400);
  EXPECT_DOUBLE_EQ(half.scale, 0.5);
  EXPECT_DOUBLE_EQ(half.left, 0);
  EXPECT_DOUBLE_EQ(half.top, 20);
  // Too tall only: the height decides, and the narrower area is centred across.
  const HostedPlacement tall = placeInHostWindow(1000, 100, 200, 400);
  EXPECT_DOUBLE_EQ(tall.scale, 0.25);
  EXPECT_DOUBLE_EQ(tall.left, 475);
  EXPECT_DOUBLE_EQ(tall.top, 0);
}

}  // namespace
}  // namespace kamishibai
