// Kamishibai: the running executable's path from GetModuleFileNameW, and its command line.
#include "platform/running_program.h"

#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

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

std::vector<std::string> programArguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(toUtf8(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace kamishibai
