// Kamishibai: work-folder file operations on Windows: files are created only when new, and
// links, folders, devices, hidden and system entries never count as work files.
#include "platform/work_files.h"

#include <windows.h>

#include <algorithm>
#include <limits>

#include "platform/win32/file_copy_win32.h"
#include "platform/win32/handle_owner_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

std::wstring pathIn(const std::string& folder, const std::string& name) {
  std::wstring path = toWide(folder);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path + toWide(name);
}

std::wstring withoutTrailingSeparators(const std::string& path) {
  std::wstring wide = toWide(path);
  while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
  return wide;
}

}  // namespace

FolderCreation createPrivateFolder(const std::string& path) {
  if (CreateDirectoryW(withoutTrailingSeparators(path).c_str(), nullptr))
    return FolderCreation::Created;
  return GetLastError() == ERROR_ALREADY_EXISTS ? FolderCreation::NameTaken
                                                : FolderCreation::Failed;
}

bool isNormalFileIn(const std::string& folder, const std::string& name) {
  const DWORD attributes = GetFileAttributesW(pathIn(folder, name).c_str());
  constexpr DWORD kNotAWorkFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT |
                                  FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotAWorkFile) == 0;
}

bool deleteFileIn(const std::string& folder, const std::string& name) {
  return DeleteFileW(pathIn(folder, name).c_str()) != 0;
}

namespace {

// Creates the file and fills it through write(handle). CREATE_NEW fails on any existing entry;
// FILE_FLAG_OPEN_REPARSE_POINT keeps a link in the folder's place from being written through. A
// file whose writing or closing fails (a full disk) is deleted again, so that the show finds it
// missing rather than cut short.
template <class Write>
bool createNewFileIn(const std::string& folder, const std::string& name, Write write) {
  const std::wstring path = pathIn(folder, name);
  UniqueHandle file =
      ownHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return false;
  const bool written = write(file.get());
  if (CloseHandle(file.release()) && written) return true;
  DeleteFileW(path.c_str());
  return false;
}

}  // namespace

bool createFileIn(const std::string& folder, const std::string& name,
                  std::span<const std::uint8_t> bytes) {
  return createNewFileIn(folder, name, [&](HANDLE file) { return writeAll(file, bytes); });
}

bool createFileIn(const std::string& folder, const std::string& name, const SourceFile& from,
                  std::uint64_t offset, std::uint64_t length) {
  return createNewFileIn(folder, name,
                         [&](HANDLE file) { return copyRange(from, offset, length, file); });
}

bool removeEmptyFolder(const std::string& path) {
  return RemoveDirectoryW(withoutTrailingSeparators(path).c_str()) != 0;
}

}  // namespace kamishibai
