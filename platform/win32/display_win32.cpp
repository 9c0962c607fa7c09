// Kamishibai: the desktop of the Windows session, always there for a program it starts.
#include "platform/display.h"

#include <windows.h>

namespace kamishibai {

bool openDisplay() {
  return true;
}

std::optional<ScreenSize> primaryScreenSize() {
  return ScreenSize{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// Window handles are 32-bit values on every Windows, even in 64-bit programs.
std::int32_t foregroundWindow() {
  return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(GetForegroundWindow()));
}

}  // namespace kamishibai
