// Kamishibai: the event loop of the desktop: the monotonic millisecond tick count and GTK's
// event processing, with waits that block in the GLib main loop.
#pragma once

#include "platform/event_loop.h"
#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

class GtkEventLoop : public EventLoop {
 public:
  GtkEventLoop() = default;
  ~GtkEventLoop() override;
  GtkEventLoop(const GtkEventLoop&) = delete;
  GtkEventLoop& operator=(const GtkEventLoop&) = delete;

  // CLOCK_MONOTONIC in milliseconds since the program started, wrapped to a signed 32-bit value.
  std::int32_t tickCount() override;
  void processPendingEvents() override;
  // Blocks in one main-loop iteration that a timer wakes at the very instant the tick count
  // passes the deadline, unless an event comes first.
  void waitForEventOrDeadline(std::int32_t deadline) override;

 private:
  // A monotonic timer set to an absolute instant, so that the wake neither rounds the wait up to
  // whole milliseconds nor counts from the middle of a millisecond. It stays in the main loop for
  // the loop's life: adding and removing a watched descriptor at every wait would make each main
  // loop iteration return at once, and the wait would spin.
  UniqueFd timer_;
  unsigned timerSource_ = 0;
};

}  // namespace kamishibai
