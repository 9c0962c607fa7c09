// Kamishibai: a file that parts are read from at given offsets and copied out of, so that a large
// file can be used without holding it in memory.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace kamishibai {

class SourceFile {
 public:
  // Opens the regular file at path for reading; nullptr when it cannot be opened or is not a
  // regular file.
  static std::shared_ptr<const SourceFile> open(const std::filesystem::path& path);

  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // The file's size when it was opened.
  std::uint64_t size() const { return size_; }
  // The system's handle of the open file, for the platform's own copying.
  std::intptr_t handle() const { return handle_; }

  // Reads out.size() bytes from offset on; false when the file does not hold them (any more).
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;
  // Tells the system that the range will not be read again soon, so that it need not keep the
  // range's pages in memory.
  void release(std::uint64_t offset, std::uint64_t length) const;
  // Creates (or empties) the file at path and copies length bytes from offset on into it, inside
  // the system where it can. False when the file cannot be written or the bytes are missing.
  bool copyToFile(std::uint64_t offset, std::uint64_t length,
                  const std::filesystem::path& path) const;

 private:
  SourceFile(std::intptr_t handle, std::uint64_t size) : handle_(handle), size_(size) {}
  std::intptr_t handle_;
  std::uint64_t size_;
};

}  // namespace kamishibai
