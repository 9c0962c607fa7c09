// Kamishibai: copying a range of an open source file into an open Windows file.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/source_file.h"

namespace kamishibai {

// Copies length bytes from offset on through a bounded buffer; false when a byte is missing or
// cannot be written.
bool copySourceRange(const SourceFile& from, std::uint64_t offset, std::uint64_t length,
                     HANDLE target);

}  // namespace kamishibai
