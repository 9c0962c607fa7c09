// Kamishibai: the message loop and the tick count on Win32.
#include "platform/win32/event_loop_win32.h"

#include <windows.h>

#include <algorithm>

#include "platform/tick_base.h"

namespace kamishibai {

namespace {

// The system's monotonic clock in milliseconds (the performance counter: finer than the tick
// count's 10 to 16 ms steps).
std::uint64_t milliseconds() {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  const auto count = static_cast<std::uint64_t>(now.QuadPart);
  const auto perSecond = static_cast<std::uint64_t>(frequency.QuadPart);
  return count / perSecond * 1000 + count % perSecond * 1000 / perSecond;
}

// Taken while the program starts, before anything reads the tick count.
const TickBase kProgramStart(milliseconds());

}  // namespace

std::int32_t Win32EventLoop::tickCount() {
  return kProgramStart.ticksAt(milliseconds());
}

void Win32EventLoop::processPendingEvents() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32EventLoop::waitForEventOrDeadline(std::int32_t deadline) {
  // The first tick reading later than the deadline comes one millisecond after it.
  const std::int64_t remaining = static_cast<std::int64_t>(deadline) - tickCount() + 1;
  if (remaining <= 0) return;
  const auto timeout = static_cast<DWORD>(std::min<std::int64_t>(remaining, INFINITE - 1));
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace kamishibai
