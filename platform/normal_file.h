// Kamishibai: looking a name up among the normal files, as the settings file is looked up.
#pragma once

#include <filesystem>

namespace kamishibai {

// True when path names a normal file: not a folder, a device or another special file, and on
// Windows neither a hidden nor a system file, which count as absent there. Linux follows
// symbolic links.
bool isNormalFile(const std::filesystem::path& path);

}  // namespace kamishibai
