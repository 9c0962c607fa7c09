// Kamishibai: read-only file mappings with CreateFileMappingW and MapViewOfFile.
#include "platform/mapped_file.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace kamishibai {

std::shared_ptr<const MappedFile> MappedFile::open(const std::filesystem::path& path) {
  const UniqueHandle file =
      ownHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return nullptr;
  }
  const std::uint64_t size = std::uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
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
