// Kamishibai: the running-copy test as a non-blocking exclusive flock on a per-user lock file.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "platform/linux/handle_owner_posix.h"
#include "platform/linux/user_folders_posix.h"

namespace kamishibai {

namespace {

// A file name for the own file: a hash of its canonical path, so that every path of the same
// file (links, "..", relative starts) meets the same lock and names of any length fit.
std::string lockFileName(const std::string& ownFile) {
  std::error_code error;
  std::string canonical = std::filesystem::weakly_canonical(ownFile, error).string();
  if (error) canonical = ownFile;
  std::array<unsigned char, 16> digest{};
  crypto_generichash(digest.data(), digest.size(),
                     reinterpret_cast<const unsigned char*>(canonical.data()), canonical.size(),
                     nullptr, 0);
  std::array<char, 33> hex{};
  sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
  return "kamishibai-" + std::string(hex.data()) + ".lock";
}

// The lock file, made when missing; an existing one is also opened for reading only, which is
// enough for the lock (a folder that became read-only keeps its lock file usable).
// Only a normal file counts: a folder in its place is not a lock file.
UniqueFd openLockFile(const std::string& path) {
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (fd.valid()) return fd;
  UniqueFd readOnly(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat info {};
  if (readOnly.valid() && ::fstat(readOnly.get(), &info) == 0 && S_ISREG(info.st_mode)) {
    return readOnly;
  }
  return UniqueFd();
}

}  // namespace

struct InstanceLock::Held {
  UniqueFd lockFile;
};

InstanceLock::InstanceLock(const std::string& ownFile) {
  if (sodium_init() < 0) return;
  const std::string name = lockFileName(ownFile);
  UniqueFd lockFile;
  for (const std::string& folder : workFoldersParents()) {
    lockFile = openLockFile(folder + "/" + name);
    if (lockFile.valid()) break;
  }
  if (!lockFile.valid()) return;
  if (::flock(lockFile.get(), LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::HeldByAnotherCopy;
  }
  held_ = std::make_unique<Held>(Held{std::move(lockFile)});
}

InstanceLock::~InstanceLock() = default;

}  // namespace kamishibai
