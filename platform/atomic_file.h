// Kamishibai: replacing a small file so that it is either the old file or the complete new one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace kamishibai {

// Writes the bytes to a new temporary file in the same folder, flushes it to disk, gives it the
// permissions and renames it over path. When any step fails the temporary file is removed, the
// old file stays as it was and a std::system_error names the reason.
void replaceFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           std::filesystem::perms permissions);

}  // namespace kamishibai
