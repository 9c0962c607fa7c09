// Kamishibai: the texts of the system's error codes.
#include "platform/win32/system_error_win32.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text_win32.h"

namespace kamishibai {
namespace {

class WindowsErrors final : public std::error_category {
 public:
  const char* name() const noexcept override { return "windows"; }

  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    // The system ends its texts with a line break.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
      message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(code) : toUtf8(message);
  }
};

}  // namespace

const std::error_category& windowsErrors() {
  static const WindowsErrors category;
  return category;
}

}  // namespace kamishibai
