// Kamishibai: read-only file mappings with mmap.
#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

std::shared_ptr<const MappedFile> MappedFile::open(const std::filesystem::path& path) {
  // The descriptor is closed once the mapping is made: the mapping keeps the pages reachable.
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  const auto size = static_cast<std::size_t>(info.st_size);
  if (size == 0) return std::shared_ptr<const MappedFile>(new MappedFile(nullptr, 0));
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
  if (data == MAP_FAILED) return nullptr;
  return std::shared_ptr<const MappedFile>(
      new MappedFile(static_cast<const std::uint8_t*>(data), size));
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

}  // namespace kamishibai
