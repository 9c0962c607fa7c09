// Kamishibai: the event loop of the desktop: the monotonic millisecond tick count and GTK's
// event processing, with waits that block in the GLib main loop.
#pragma once

#include "platform/event_loop.h"
#include "platform/linux/unique_fd.h"

namespace kamishibai {

class GtkEventLoop : public EventLoop {
 public:
  // CLOCK_MONOTONIC in milliseconds, wrapped to a signed 32-bit value.
  std::int32_t tickCount() override;
  void processPendingEvents() override;
  // Blocks in one main-loop iteration that a timer wakes at the very instant the tick count
  // passes the deadline, unless an event comes first.
  void waitForEventOrDeadline(std::int32_t deadline) override;

 private:
  // A monotonic timer set to an absolute instant, so that the wake neither rounds the wait up to
  // whole milliseconds nor counts from the middle of a millisecond.
  UniqueFd timer_;
};

}  // namespace kamishibai
