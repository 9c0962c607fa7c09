// Kamishibai: the file-name conventions of the system the program is built for.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

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

// Every text of the program is UTF-8, whatever the system's own code page: paths are made from
// it and shown in it, so that a name in any script survives the trip on Windows too.
inline std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

inline std::string utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace kamishibai
