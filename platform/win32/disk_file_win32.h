// Kamishibai: opening a file on disk for reading on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>

#include "platform/win32/handle_owner_win32.h"

namespace kamishibai {

// Opens a plain file for reading, shared with other readers and with its deletion, and gives
// its length. Empty for a folder, a device (a name like "NUL" or "CON") or any failure.
inline UniqueHandle openDiskFile(const std::filesystem::path& path, std::uint64_t& size) {
  UniqueHandle file =
      ownHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return nullptr;
  }
  size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
  return file;
}

}  // namespace kamishibai
