// Kamishibai: the tick count counts from the program's start, so the machine's uptime never
// brings it near the end of the 32-bit range; only a run of 24.8 days does.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/arith.h"
#include "platform/tick_base.h"

namespace kamishibai {
namespace {

constexpr std::uint64_t kTwoTo31 = std::uint64_t{1} << 31;
constexpr std::uint64_t kTwoTo32 = std::uint64_t{1} << 32;

TEST(TickBase, AShowStartedJustBeforeTheUptimeReaches2To31KeepsCountingUp) {
  // The uptime at which a show used to end with the overflow error.
  const TickBase ticks(2147480000);
  EXPECT_EQ(ticks.ticksAt(2147480000), 0);
  EXPECT_EQ(ticks.ticksAt(kTwoTo31 - 1), 3647);
  EXPECT_EQ(ticks.ticksAt(kTwoTo31), 3648);
  EXPECT_EQ(ticks.ticksAt(kTwoTo31 + 60000), 63648);
  // A deadline taken just before the uptime passes 2^31 ms fits.
  EXPECT_EQ(checkedAdd(ticks.ticksAt(kTwoTo31 - 1), 10000), 13647);
}

TEST(TickBase, AnyUptimeStartsAtZero) {
  for (const std::uint64_t start :
       {std::uint64_t{0}, kTwoTo31 - 1, kTwoTo32 - 1, kTwoTo32 * 5000}) {
    const TickBase ticks(start);
    EXPECT_EQ(ticks.ticksAt(start), 0) << start;
    EXPECT_EQ(ticks.ticksAt(start + 1), 1) << start;
    EXPECT_EQ(ticks.ticksAt(start + 86400000), 86400000) << start;
  }
}

TEST(TickBase, A24Point8DayRunReachesTheTopOfTheRangeAndThenOverflows) {
  const TickBase ticks(123456789);
  const std::uint64_t top = 123456789 + kTwoTo31 - 1;
  EXPECT_EQ(ticks.ticksAt(top), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(ticks.ticksAt(top + 1), std::numeric_limits<std::int32_t>::min());
  // What still overflows is still an error.
  EXPECT_THROW(checkedAdd(ticks.ticksAt(top - 5), 10), OverflowError);
}

}  // namespace
}  // namespace kamishibai
