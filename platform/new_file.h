// Kamishibai: creating a file only when no entry of its name exists yet.
#pragma once

#include <filesystem>

namespace kamishibai {

// Creates an empty file at path; false when any entry of that name exists or the file cannot be
// created. Two programs never both create the same file.
bool createNewFile(const std::filesystem::path& path);

}  // namespace kamishibai
