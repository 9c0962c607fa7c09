// Kamishibai: reading and copying parts of a file with pread, posix_fadvise and in-kernel copies.
#include "platform/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/copy_range.h"
#include "platform/linux/unique_fd.h"

namespace kamishibai {

namespace {

int fdOf(const SourceFile& file) {
  return static_cast<int>(file.handle());
}

}  // namespace

std::shared_ptr<const SourceFile> SourceFile::open(const std::filesystem::path& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return std::shared_ptr<const SourceFile>(
      new SourceFile(fd.release(), static_cast<std::uint64_t>(info.st_size)));
}

SourceFile::~SourceFile() {
  ::close(fdOf(*this));
}

bool SourceFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  while (!out.empty()) {
    const ssize_t got = ::pread(fdOf(*this), out.data(), out.size(), static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out = out.subspan(static_cast<std::size_t>(got));
    offset += static_cast<std::uint64_t>(got);
  }
  return true;
}

void SourceFile::release(std::uint64_t offset, std::uint64_t length) const {
  ::posix_fadvise(fdOf(*this), static_cast<off_t>(offset), static_cast<off_t>(length),
                  POSIX_FADV_DONTNEED);
}

bool SourceFile::copyToFile(std::uint64_t offset, std::uint64_t length,
                            const std::filesystem::path& path) const {
  UniqueFd out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out.valid() || !copyRange(fdOf(*this), offset, length, out.get())) return false;
  return ::close(out.release()) == 0;  // a late write error shows here
}

}  // namespace kamishibai
