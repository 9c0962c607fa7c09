// Kamishibai: opening a file of the system as a source file that parts are read from and copied
// out of.
#pragma once

#include <filesystem>
#include <memory>

#include "formats/source_file.h"

namespace kamishibai {

// Opens the regular file at path for reading; nullptr when it cannot be opened or is not a
// regular file.
std::shared_ptr<const SourceFile> openSourceFile(const std::filesystem::path& path);

}  // namespace kamishibai
