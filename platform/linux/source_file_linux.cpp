// Kamishibai: reading parts of a file with pread, and dropping their pages with posix_fadvise.
#include "platform/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {
namespace {

// A file read with pread, its pages dropped with posix_fadvise; the platform copies its parts
// inside the kernel through its handle.
class PosixSourceFile final : public SourceFile {
 public:
  PosixSourceFile(UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  std::uint64_t size() const override { return size_; }
  std::intptr_t handle() const override { return fd_.get(); }

  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    while (!out.empty()) {
      const ssize_t got = ::pread(fd_.get(), out.data(), out.size(), static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      out = out.subspan(static_cast<std::size_t>(got));
      offset += static_cast<std::uint64_t>(got);
    }
    return true;
  }

  void release(std::uint64_t offset, std::uint64_t length) const override {
    ::posix_fadvise(fd_.get(), static_cast<off_t>(offset), static_cast<off_t>(length),
                    POSIX_FADV_DONTNEED);
  }

 private:
  UniqueFd fd_;
  std::uint64_t size_;
};

}  // namespace

std::shared_ptr<const SourceFile> openSourceFile(const std::filesystem::path& path) {
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return nullptr;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return std::make_shared<const PosixSourceFile>(std::move(fd),
                                                 static_cast<std::uint64_t>(info.st_size));
}

}  // namespace kamishibai
