// Kamishibai: message boxes with MessageBoxW.
#include "platform/message_box.h"

#include <windows.h>

#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

void showMessageBox(const std::string& prompt, const std::string& title, MessageIcon icon) {
  const UINT style = icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
  MessageBoxW(nullptr, toWide(prompt).c_str(), toWide(title).c_str(),
              MB_OK | style | MB_SETFOREGROUND);
}

}  // namespace kamishibai
