// Kamishibai: a whole file mapped read-only into memory, so that large parts of it can be handed
// out as views without copying them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>

namespace kamishibai {

class MappedFile {
 public:
  // Maps the regular file at path; nullptr when it cannot be opened or is not a regular file.
  // An empty file gives an empty mapping.
  static std::shared_ptr<const MappedFile> open(const std::filesystem::path& path);

  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

 private:
  MappedFile(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace kamishibai
