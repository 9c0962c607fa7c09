// Kamishibai: output files with O_EXCL, fsync and rename, and their removal by the end signals.
#include "platform/output_file.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "base/file_names.h"
#include "platform/linux/file_copy_linux.h"
#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {
namespace {

// The temporary files that exist now. The end-signal handler may only make calls that are safe
// in a handler, so it reads their paths from fixed slots.
struct Slot {
  std::atomic<bool> live{false};
  char path[PATH_MAX];
};
constexpr int kSlots = 64;
Slot slots[kSlots];
std::mutex slotsMutex;

extern "C" void removeTemporaryFiles(int signal) {
  for (Slot& slot : slots) {
    if (slot.live.load()) ::unlink(slot.path);
  }
  // Ends the program as the signal does by default, so that the caller sees the usual status.
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

// SIGINT, SIGTERM and SIGHUP remove the temporary files before they end the program. A signal
// that is ignored (a program started under nohup) stays ignored, and one that already has a
// handler keeps it.
void removeTemporaryFilesOnEndSignals() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
      struct sigaction old {};
      if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler != SIG_DFL) continue;
      struct sigaction action {};
      action.sa_handler = removeTemporaryFiles;
      sigemptyset(&action.sa_mask);
      ::sigaction(signal, &action, nullptr);
    }
  });
}

// A slot for the path; -1 when the path is too long or every slot is taken, and then the file
// is only removed on failures.
int claimSlot(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  const std::lock_guard lock(slotsMutex);
  for (int i = 0; i < kSlots; ++i) {
    if (slots[i].live.load()) continue;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].live.store(true);
    return i;
  }
  return -1;
}

void releaseSlot(int slot) {
  if (slot >= 0) slots[slot].live.store(false);
}

std::string causeOf(int error) {
  return std::generic_category().message(error);
}

// A name in the target's folder that no other file has: the target's name with a number.
std::string candidateBeside(const std::filesystem::path& target) {
  static thread_local std::mt19937 random(std::random_device{}());
  return target.string() + ".tmp" + std::to_string(random() % 1000000);
}

bool renameWithoutReplacing(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: a second link fails as well when the name is taken.
  if (::link(from, to) != 0) return false;
  ::unlink(from);
  return true;
}

}  // namespace

std::string outputTargetProblem(const std::filesystem::path& target) {
  struct stat info {};
  if (::lstat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return {};
  if (S_ISLNK(info.st_mode)) return "is a symbolic link; give the file it leads to";
  if (S_ISDIR(info.st_mode)) return "is a folder";
  if (S_ISFIFO(info.st_mode)) return "is a FIFO, not a regular file";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "is a device, not a regular file";
  return "is not a regular file";
}

void OutputFile::open() {
  removeTemporaryFilesOnEndSignals();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = candidateBeside(target_);
    const int fd =
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      temporary_ = candidate;
      handle_ = fd;
      slot_ = claimSlot(candidate);
      return;
    }
    if (errno != EEXIST) fail("cannot create a file beside");
  }
  errno = EEXIST;
  fail("cannot create a file beside");
}

void OutputFile::writeBytes(std::span<const std::uint8_t> bytes) {
  errno = EIO;  // a write that moves nothing without an error
  if (!writeAll(static_cast<int>(handle_), bytes.data(), bytes.size())) fail("cannot write");
}

void OutputFile::copyFrom(const SourceFile& source, std::uint64_t offset, std::uint64_t length) {
  if (stream_) stream_->flush();
  errno = 0;
  if (copyRange(static_cast<int>(source.handle()), offset, length, static_cast<int>(handle_)))
    return;
  const int error = errno;
  struct stat info {};
  if (::fstat(static_cast<int>(source.handle()), &info) == 0 &&
      static_cast<std::uint64_t>(info.st_size) < offset + length) {
    throw std::runtime_error("cannot write " + utf8Of(target_) +
                             ": the file it is copied from ended early");
  }
  errno = error != 0 ? error : EIO;
  fail("cannot write");
}

void OutputFile::finish(std::filesystem::perms add) {
  const int fd = static_cast<int>(handle_);
  struct stat info {};
  if (add != std::filesystem::perms::none &&
      (::fstat(fd, &info) != 0 || ::fchmod(fd, info.st_mode | static_cast<mode_t>(add)) != 0)) {
    fail("cannot set the permissions of");
  }
  // A full disk may show itself only when the bytes reach it.
  if (::fsync(fd) != 0) fail("cannot write");
  handle_ = -1;
  if (::close(fd) != 0) fail("cannot write");
  const bool renamed = existing_ == ExistingTarget::Replace
                           ? ::rename(temporary_.c_str(), target_.c_str()) == 0
                           : renameWithoutReplacing(temporary_.c_str(), target_.c_str());
  if (!renamed) {
    if (errno == EEXIST) throw std::runtime_error(utf8Of(target_) + " exists already");
    fail("cannot write");
  }
  releaseSlot(std::exchange(slot_, -1));
}

void OutputFile::discard() noexcept {
  if (handle_ >= 0) ::close(static_cast<int>(std::exchange(handle_, -1)));
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
  releaseSlot(std::exchange(slot_, -1));
}

void OutputFile::fail(const std::string& doing) const {
  const int error = errno;
  throw std::runtime_error(doing + " " + utf8Of(target_) + ": " + causeOf(error));
}

}  // namespace kamishibai
