// Kamishibai: the deadline wait.
#include "platform/event_loop.h"

namespace kamishibai {

WaitResult waitForDeadline(EventLoop& events, const EndFlag& endFlag, std::int32_t deadline) {
  for (;;) {
    events.processPendingEvents();
    if (endFlag == kTrue) return WaitResult::EndFlagRaised;
    if (events.tickCount() > deadline) return WaitResult::DeadlinePassed;
    events.waitForEventOrDeadline(deadline);
  }
}

}  // namespace kamishibai
