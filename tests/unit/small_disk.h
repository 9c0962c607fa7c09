// Kamishibai: a small file system of its own (a tmpfs of a few blocks) mounted on a new folder,
// for the tests of a full or read-only disk. Mounting needs root: where it fails the test skips
// with the reason.
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

namespace kamishibai {

class SmallDisk {
 public:
  enum class Mode { Writable, ReadOnly };

  SmallDisk(std::filesystem::path at, std::size_t bytes, Mode mode = Mode::Writable)
      : path_(std::move(at)) {
    std::filesystem::create_directories(path_);
    const std::string options = "size=" + std::to_string(bytes);
    const unsigned long flags = mode == Mode::ReadOnly ? MS_RDONLY : 0;
    if (::mount("tmpfs", path_.c_str(), "tmpfs", flags, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      reason_ = "cannot mount a tmpfs (" + std::string(std::strerror(errno)) + "); needs root";
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  // Why it could not be mounted.
  const std::string& reason() const { return reason_; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  bool mounted_ = false;
  std::string reason_;
};

}  // namespace kamishibai
