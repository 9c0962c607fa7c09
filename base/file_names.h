// Kamishibai: the file-name conventions of the system the program is built for.
#pragma once

#include <filesystem>
#include <string>

namespace kamishibai {

#ifdef _WIN32
// Windows: folders end in a backslash, and the file system's own name rules (devices, streams,
// trailing dots and blanks) apply to every name the program writes or reads.
inline constexpr char kPathSeparator = '\\';
inline constexpr bool kWindowsFileNames = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr bool kWindowsFileNames = false;
#endif

// The path named by UTF-8 text, on every system (a plain string would be read in the ANSI code
// page on Windows).
inline std::filesystem::path utf8Path(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace kamishibai
