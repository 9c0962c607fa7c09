// Kamishibai: read-only file mappings with CreateFileMappingW and MapViewOfFile.
#include "platform/mapped_file.h"

#include <windows.h>

#include "platform/win32/disk_file_win32.h"

namespace kamishibai {

std::shared_ptr<const MappedFile> MappedFile::open(const std::filesystem::path& path) {
  std::uint64_t size = 0;
  const UniqueHandle file = openDiskFile(path, size);
  if (!file) return nullptr;
  if (size > SIZE_MAX) return nullptr;
  if (size == 0) return std::shared_ptr<const MappedFile>(new MappedFile(nullptr, 0));
  // The view keeps the file's pages reachable after both handles are closed.
  const UniqueHandle mapping =
      ownHandle(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) return nullptr;
  const void* data = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  if (data == nullptr) return nullptr;
  return std::shared_ptr<const MappedFile>(
      new MappedFile(static_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size)));
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) UnmapViewOfFile(data_);
}

}  // namespace kamishibai
