// Kamishibai: atomic replacement of a small file through a temporary file and rename.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

namespace {

[[noreturn]] void fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

void replaceFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                           std::filesystem::perms permissions) {
  std::string temporary = path.string() + ".XXXXXX";
  const UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!file.valid()) fail("cannot create a temporary file beside " + path.string());
  const bool written = writeAll(file.get(), bytes.data(), bytes.size()) &&
                       ::fchmod(file.get(), static_cast<mode_t>(permissions)) == 0 &&
                       ::fsync(file.get()) == 0;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int reason = errno;
    ::unlink(temporary.c_str());
    errno = reason;
    fail(written ? "cannot replace " + path.string() : "cannot write " + temporary);
  }
}

}  // namespace kamishibai
