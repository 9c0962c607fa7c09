// Kamishibai: the virtual-clock event loop.
#include "platform/headless/event_loop_headless.h"

#include <algorithm>

namespace kamishibai {

void VirtualEventLoop::processPendingEvents() {
  while (!scheduled_.empty() && scheduled_.begin()->first <= now_) {
    auto handler = std::move(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
    handler();
  }
}

void VirtualEventLoop::waitForEventOrDeadline(std::int32_t deadline) {
  ++blockingWaits_;
  std::int32_t wake = deadline + 1;
  if (!scheduled_.empty()) wake = std::min(wake, scheduled_.begin()->first);
  now_ = std::max(now_, wake);
}

void VirtualEventLoop::at(std::int32_t tick, std::function<void()> handler) {
  scheduled_.emplace(tick, std::move(handler));
}

}  // namespace kamishibai
