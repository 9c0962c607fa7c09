// Kamishibai: an event loop on a virtual clock, for rendering and tests: waiting jumps the clock
// to the next scheduled event or past the deadline, so nothing ever sleeps.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_loop.h"

namespace kamishibai {

class VirtualEventLoop : public EventLoop {
 public:
  explicit VirtualEventLoop(std::int32_t startTick = 0) : now_(startTick) {}

  std::int32_t tickCount() override { return now_; }
  void processPendingEvents() override;
  void waitForEventOrDeadline(std::int32_t deadline) override;

  // Schedules an input event (any handler) at the given tick; it runs in the first
  // processPendingEvents at or after that tick.
  void at(std::int32_t tick, std::function<void()> handler);
  void advance(std::int32_t milliseconds) { now_ += milliseconds; }
  std::int32_t now() const { return now_; }
  int blockingWaits() const { return blockingWaits_; }

 private:
  std::int32_t now_;
  std::multimap<std::int32_t, std::function<void()>> scheduled_;
  int blockingWaits_ = 0;
};

}  // namespace kamishibai
