// Kamishibai: the Windows event loop: the message queue of the show's thread and a tick count
// from the start of the program.
#pragma once

#include "platform/event_loop.h"

namespace kamishibai {

class Win32EventLoop final : public EventLoop {
 public:
  // Milliseconds since the program started, so a show never meets the wrap of the system's
  // count after 49.7 days of uptime (nor its sign change after 24.8 days).
  std::int32_t tickCount() override;
  // Dispatches every queued message to its window.
  void processPendingEvents() override;
  // Blocks in MsgWaitForMultipleObjectsEx until input is queued or the deadline has passed.
  void waitForEventOrDeadline(std::int32_t deadline) override;
};

}  // namespace kamishibai
