// Kamishibai: source files on Windows: positioned reads with ReadFile and an offset, copies
// through a bounded buffer.
#include "platform/source_file.h"

#include <algorithm>
#include <vector>

#include "platform/win32/source_copy.h"
#include "platform/win32/unique_handle.h"

namespace kamishibai {

namespace {

HANDLE handleOf(const SourceFile& file) {
  return reinterpret_cast<HANDLE>(file.handle());
}

constexpr std::uint64_t kCopyChunk = 1 << 20;

}  // namespace

std::shared_ptr<const SourceFile> SourceFile::open(const std::filesystem::path& path) {
  UniqueHandle file =
      ownHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  LARGE_INTEGER size{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      !GetFileSizeEx(file.get(), &size)) {
    return nullptr;
  }
  return std::shared_ptr<const SourceFile>(new SourceFile(
      reinterpret_cast<std::intptr_t>(file.release()), static_cast<std::uint64_t>(size.QuadPart)));
}

SourceFile::~SourceFile() {
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool SourceFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  std::size_t done = 0;
  while (done < out.size()) {
    const std::uint64_t at = offset + done;
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(at);
    position.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, kCopyChunk));
    DWORD count = 0;
    if (!ReadFile(handleOf(*this), out.data() + done, wanted, &count, &position) || count == 0) {
      return false;
    }
    done += count;
  }
  return true;
}

// The system's cache manager drops pages that are not read again by itself.
void SourceFile::release(std::uint64_t, std::uint64_t) const {}

bool SourceFile::copyToFile(std::uint64_t offset, std::uint64_t length,
                            const std::filesystem::path& path) const {
  const UniqueHandle target = ownHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return target && copySourceRange(*this, offset, length, target.get());
}

bool copySourceRange(const SourceFile& from, std::uint64_t offset, std::uint64_t length,
                     HANDLE target) {
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(length, kCopyChunk)));
  for (std::uint64_t done = 0; done < length;) {
    const auto count = static_cast<std::size_t>(std::min(length - done, kCopyChunk));
    DWORD written = 0;
    if (!from.readAt(offset + done, {buffer.data(), count}) ||
        !WriteFile(target, buffer.data(), static_cast<DWORD>(count), &written, nullptr) ||
        written != count) {
      return false;
    }
    done += count;
  }
  return true;
}

}  // namespace kamishibai
