// Kamishibai: ownership of a POSIX file descriptor, and writing a whole buffer to one.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <utility>

namespace kamishibai {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

// Writes all bytes, going on after partial writes and interruptions; false on an error. Tests
// pass another write call to make it fall short or fail.
using WriteCall = ssize_t (*)(int fd, const void* buffer, std::size_t count);
bool writeAll(int fd, const void* data, std::size_t size, WriteCall write = ::write);

}  // namespace kamishibai
