// Kamishibai: the desktop's deadline wait blocks until the tick count passes the deadline: a few
// main-loop iterations per wait, never a spin, and never an early return.
#include <gtest/gtest.h>

#include "platform/linux/event_loop_gtk.h"

namespace kamishibai {
namespace {

class CountingLoop : public GtkEventLoop {
 public:
  void waitForEventOrDeadline(std::int32_t deadline) override {
    ++waits;
    GtkEventLoop::waitForEventOrDeadline(deadline);
  }
  int waits = 0;
};

TEST(GtkEventLoopWait, BlocksUntilTheTickCountPassesTheDeadlineWithoutSpinning) {
  CountingLoop events;
  const EndFlag endFlag = kFalse;
  for (int step = 0; step < 5; ++step) {
    events.waits = 0;
    const std::int32_t deadline = events.tickCount() + 15;
    ASSERT_EQ(waitForDeadline(events, endFlag, deadline), WaitResult::DeadlinePassed);
    EXPECT_GT(events.tickCount(), deadline);
    // Nothing else is in the main loop: a wait that returned at once would be called thousands
    // of times in 15 ms.
    EXPECT_LE(events.waits, 4) << "step " << step;
  }
}

TEST(GtkEventLoopWait, APassedDeadlineReturnsAtOnce) {
  CountingLoop events;
  const EndFlag endFlag = kFalse;
  EXPECT_EQ(waitForDeadline(events, endFlag, events.tickCount() - 1), WaitResult::DeadlinePassed);
  EXPECT_EQ(events.waits, 0);
}

}  // namespace
}  // namespace kamishibai
