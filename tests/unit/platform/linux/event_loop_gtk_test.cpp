// Kamishibai: the desktop's tick count counts from the program's start, and its deadline wait
// blocks until the tick count passes the deadline: a few main-loop iterations per wait, never a
// spin, and never an early return.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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

// The milliseconds this process has run, from its start time that the system keeps in
// /proc/self/stat (in clock ticks since the boot, as /proc/uptime counts in seconds).
std::int64_t processAgeMilliseconds() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name (which may hold blanks) start with the state, field 3;
  // the start time is field 22.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int number = 3; number < 22; ++number) fields >> field;
  std::uint64_t startTicks = 0;
  fields >> startTicks;
  double uptime = 0;
  std::ifstream("/proc/uptime") >> uptime;
  return static_cast<std::int64_t>(uptime * 1000) -
         static_cast<std::int64_t>(startTicks * 1000 / ::sysconf(_SC_CLK_TCK));
}

// The tick count starts with the program, not with the machine, so that a show has its 24.8 days
// whatever the uptime.
TEST(GtkEventLoopTicks, CountFromTheProgramsStart) {
  GtkEventLoop events;
  const std::int32_t ticks = events.tickCount();
  EXPECT_GE(ticks, 0);
  // The clock tick of the start time and the rounding of /proc/uptime may each cost 10 ms.
  EXPECT_LE(ticks, processAgeMilliseconds() + 50);
}

TEST(GtkEventLoopWait, APassedDeadlineReturnsAtOnce) {
  CountingLoop events;
  const EndFlag endFlag = kFalse;
  EXPECT_EQ(waitForDeadline(events, endFlag, events.tickCount() - 1), WaitResult::DeadlinePassed);
  EXPECT_EQ(events.waits, 0);
}

}  // namespace
}  // namespace kamishibai
