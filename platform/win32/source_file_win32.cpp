// Kamishibai: reading and copying parts of a file with ReadFile at offsets.
#include "platform/source_file.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/disk_file_win32.h"
#include "platform/win32/file_copy_win32.h"

namespace kamishibai {
namespace {

// A file read with ReadFile at offsets.
class Win32SourceFile final : public SourceFile {
 public:
  Win32SourceFile(UniqueHandle file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

  std::uint64_t size() const override { return size_; }
  std::intptr_t handle() const override { return reinterpret_cast<std::intptr_t>(file_.get()); }

  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    while (!out.empty()) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      const auto wanted =
          static_cast<DWORD>(std::min<std::size_t>(out.size(), std::numeric_limits<DWORD>::max()));
      DWORD got = 0;
      if (!ReadFile(file_.get(), out.data(), wanted, &got, &at) || got == 0) return false;
      out = out.subspan(got);
      offset += got;
    }
    return true;
  }

  // Windows keeps or drops the pages of a file it reads as it sees fit.
  void release(std::uint64_t, std::uint64_t) const override {}

 private:
  UniqueHandle file_;
  std::uint64_t size_;
};

constexpr std::size_t kCopyChunk = 1 << 20;

}  // namespace

std::shared_ptr<const SourceFile> openSourceFile(const std::filesystem::path& path) {
  std::uint64_t size = 0;
  UniqueHandle file = openDiskFile(path, size);
  if (!file) return nullptr;
  return std::make_shared<const Win32SourceFile>(std::move(file), size);
}

bool writeAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(
        std::min<std::size_t>(bytes.size(), std::numeric_limits<DWORD>::max() / 2));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

bool copyRange(const SourceFile& from, std::uint64_t offset, std::uint64_t length, HANDLE to) {
  std::vector<std::uint8_t> buffer(
      static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk)));
  while (length > 0) {
    const auto part = static_cast<std::size_t>(std::min<std::uint64_t>(length, kCopyChunk));
    const std::span<std::uint8_t> chunk(buffer.data(), part);
    if (!from.readAt(offset, chunk) || !writeAll(to, chunk)) return false;
    offset += part;
    length -= part;
  }
  return true;
}

}  // namespace kamishibai
