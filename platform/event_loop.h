// Kamishibai: the millisecond tick count and the window-event pump, and the one deadline wait
// that the show and every transition use.
#pragma once

#include <cstdint>

namespace kamishibai {

// The end flag: True is -1, False is 0.
using EndFlag = std::int16_t;
constexpr EndFlag kTrue = -1;
constexpr EndFlag kFalse = 0;

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Milliseconds since an arbitrary start, as a signed 32-bit value.
  virtual std::int32_t tickCount() = 0;
  // Runs the handlers of every pending window event, then returns.
  virtual void processPendingEvents() = 0;
  // Blocks until an event is pending or the tick count is later than deadline. Never spins.
  virtual void waitForEventOrDeadline(std::int32_t deadline) = 0;
};

enum class WaitResult { DeadlinePassed, EndFlagRaised };

// Processes pending events, stops when the end flag is True, otherwise reads the tick count and
// goes on while it is not later than deadline; between passes it blocks instead of spinning.
WaitResult waitForDeadline(EventLoop& events, const EndFlag& endFlag, std::int32_t deadline);

}  // namespace kamishibai
