// Kamishibai: atomic replacement of a small file through a temporary file and rename.
#include "platform/linux/atomic_file_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

namespace {

[[noreturn]] void fail(int error, const std::string& what) {
  throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

StagedFile::StagedFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                       std::filesystem::perms permissions)
    : path_(path), temporary_(path.string() + ".XXXXXX") {
  UniqueFd file(::mkostemp(temporary_.data(), O_CLOEXEC));
  if (!file.valid()) fail(errno, "cannot create a temporary file beside " + path.string());
  // A file system may report a failed write only when the file is closed.
  const bool written = writeAll(file.get(), bytes.data(), bytes.size()) &&
                       ::fchmod(file.get(), static_cast<mode_t>(permissions)) == 0 &&
                       ::fsync(file.get()) == 0 && ::close(file.release()) == 0;
  if (!written) {
    const int reason = errno;
    ::unlink(temporary_.c_str());
    fail(reason, "cannot write " + temporary_);
  }
}

StagedFile::~StagedFile() {
  if (!committed_) ::unlink(temporary_.c_str());
}

void StagedFile::commit() {
  if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
    fail(errno, "cannot replace " + path_.string());
  }
  committed_ = true;
}

void replaceFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           std::filesystem::perms permissions) {
  StagedFile(path, bytes, permissions).commit();
}

}  // namespace kamishibai
