// Kamishibai: copying a range of an open source file into a file handle on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "formats/source_file.h"

namespace kamishibai {

// Writes all the bytes; false on any failure.
bool writeAll(HANDLE file, std::span<const std::uint8_t> bytes);

// Copies length bytes from offset on through a bounded buffer; false when the source does not
// hold them or a write fails.
bool copyRange(const SourceFile& from, std::uint64_t offset, std::uint64_t length, HANDLE to);

}  // namespace kamishibai
