// Kamishibai: the event loop of the desktop: the monotonic millisecond tick count and GTK's
// event processing, with waits that block in the GLib main loop.
#pragma once

#include "platform/event_loop.h"

namespace kamishibai {

class GtkEventLoop : public EventLoop {
 public:
  // CLOCK_MONOTONIC in milliseconds since the program started, wrapped to a signed 32-bit value.
  std::int32_t tickCount() override;
  void processPendingEvents() override;
  // Blocks in one main-loop iteration that a timer wakes just after the deadline, unless an
  // event comes first.
  void waitForEventOrDeadline(std::int32_t deadline) override;
};

}  // namespace kamishibai
