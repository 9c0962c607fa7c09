// Kamishibai: reading and copying parts of a file with ReadFile at offsets.
#include "platform/source_file.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/win32/disk_file.h"
#include "platform/win32/file_copy.h"

namespace kamishibai {

namespace {

HANDLE handleOf(const SourceFile& file) {
  return reinterpret_cast<HANDLE>(file.handle());
}

constexpr std::size_t kCopyChunk = 1 << 20;

}  // namespace

std::shared_ptr<const SourceFile> SourceFile::open(const std::filesystem::path& path) {
  std::uint64_t size = 0;
  UniqueHandle file = openDiskFile(path, size);
  if (!file) return nullptr;
  return std::shared_ptr<const SourceFile>(
      new SourceFile(reinterpret_cast<std::intptr_t>(file.release()), size));
}

SourceFile::~SourceFile() {
  CloseHandle(handleOf(*this));
}

bool SourceFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  while (!out.empty()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const auto wanted =
        static_cast<DWORD>(std::min<std::size_t>(out.size(), std::numeric_limits<DWORD>::max()));
    DWORD got = 0;
    if (!ReadFile(handleOf(*this), out.data(), wanted, &got, &at) || got == 0) return false;
    out = out.subspan(got);
    offset += got;
  }
  return true;
}

// Windows keeps or drops the pages of a file it reads as it sees fit.
void SourceFile::release(std::uint64_t, std::uint64_t) const {}

bool SourceFile::copyToFile(std::uint64_t offset, std::uint64_t length,
                            const std::filesystem::path& path) const {
  const UniqueHandle out = ownHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return out && copyRange(*this, offset, length, out.get());
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
