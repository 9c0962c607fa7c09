// Kamishibai: what the test helpers that read dialogs under wine share: finding the first
// visible dialog window and reading window texts as UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace kamishibai::test {

inline std::string utf8(const std::wstring& text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                      nullptr, nullptr);
  return result;
}

inline std::string textOf(HWND window) {
  wchar_t buffer[4096];
  const int length = GetWindowTextW(window, buffer, 4096);
  return utf8(std::wstring(buffer, static_cast<std::size_t>(length)));
}

// Waits up to 30 s for a visible window of the dialog class (dialog boxes and message boxes).
inline HWND waitForDialog() {
  for (int attempt = 0; attempt < 300; ++attempt) {
    HWND dialog = FindWindowW(L"#32770", nullptr);
    if (dialog != nullptr && IsWindowVisible(dialog)) return dialog;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace kamishibai::test
