// Kamishibai: the running-copy test as a non-blocking exclusive flock on a per-user lock file.
#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "platform/user_folders.h"

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

}  // namespace

InstanceLock::InstanceLock(const std::string& ownFile) {
  const auto folder = runtimeFolder();
  if (!folder || sodium_init() < 0) return;
  const std::string path = *folder + "/" + lockFileName(ownFile);
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::HeldByAnotherCopy;
  }
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace kamishibai
