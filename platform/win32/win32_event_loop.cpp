// Kamishibai: the message loop and the tick count on Win32.
#include "platform/win32/win32_event_loop.h"

#include <windows.h>

#include <algorithm>

namespace kamishibai {

namespace {

std::int64_t performanceCounter() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

std::int64_t performanceFrequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart;
}

// Taken while the program starts, before anything reads the tick count.
const std::int64_t kProgramStart = performanceCounter();
const std::int64_t kFrequency = performanceFrequency();

}  // namespace

std::int32_t Win32EventLoop::tickCount() {
  const std::int64_t elapsed = performanceCounter() - kProgramStart;
  const std::int64_t milliseconds =
      elapsed / kFrequency * 1000 + elapsed % kFrequency * 1000 / kFrequency;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(milliseconds));
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
