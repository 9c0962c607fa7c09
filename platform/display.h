// Kamishibai: the connection to the desktop for the modes that show windows.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/show_window.h"

namespace kamishibai {

// Opens the display for the toolkit; false when no display can be opened.
bool openDisplay();

// The size of the primary screen in pixels, when a display can be opened.
std::optional<ScreenSize> primaryScreenSize();

// The window that has the keyboard focus, as a 32-bit handle; 0 when there is none.
std::int32_t foregroundWindow();

}  // namespace kamishibai
