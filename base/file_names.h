// Kamishibai: the file-name conventions of the system the program is built for.
#pragma once

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

}  // namespace kamishibai
