// Kamishibai: the running executable's path from GetModuleFileNameW, and its command line.
#include "platform/running_program.h"

#include <windows.h>

#include <vector>

#include "platform/win32/command_line_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

// Paths may be longer than MAX_PATH: the buffer grows until the whole path fits.
std::string runningExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return toUtf8({buffer.data(), length});
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string commandLineText(int, char**) {
  return argumentText(toUtf8(GetCommandLineW()));
}

}  // namespace kamishibai
