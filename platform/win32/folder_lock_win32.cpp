// Kamishibai: folder locks on Windows as named mutexes of the machine, one per folder path (they
// keep other processes out; a thread that holds one may take it again), and the removal of a
// folder tree that never follows a link or junction.
#include "platform/folder_lock.h"

#include <windows.h>

#include <vector>

#include "platform/win32/handle_owner_win32.h"
#include "platform/win32/path_mutex_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

std::wstring withoutTrailingSeparators(const std::string& path) {
  std::wstring wide = toWide(path);
  while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
  return wide;
}

bool isRealFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

// Global, so that shows of other sessions sharing the Windows folder meet it too.
const wchar_t* const kFolderMutexPrefix = L"Global\\Kamishibai-folder-";

}  // namespace

struct FolderLock::Held {
  explicit Held(UniqueHandle owned) : mutex(std::move(owned)) {}
  ~Held() { ReleaseMutex(mutex.get()); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  UniqueHandle mutex;
};

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;

FolderLock FolderLock::tryLock(const std::string& folder) {
  return take(folder, false);
}

FolderLock FolderLock::waitForLock(const std::string& folder) {
  return take(folder, true);
}

// A mutex left by a process that ended without releasing it is abandoned: it is then ours.
FolderLock FolderLock::take(const std::string& folder, bool wait) {
  FolderLock lock;
  const std::wstring path = withoutTrailingSeparators(folder);
  if (!isRealFolder(path)) return lock;
  UniqueHandle mutex =
      ownHandle(CreateMutexW(nullptr, FALSE, pathMutexName(kFolderMutexPrefix, path).c_str()));
  if (!mutex) return lock;
  const DWORD result = WaitForSingleObject(mutex.get(), wait ? INFINITE : 0);
  if (result == WAIT_OBJECT_0 || result == WAIT_ABANDONED) {
    lock.held_ = std::make_unique<Held>(std::move(mutex));
  }
  return lock;
}

bool FolderLock::held() const {
  return held_ != nullptr;
}

std::vector<std::string> folderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  HANDLE search = FindFirstFileW((withoutTrailingSeparators(folder) + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..") names.push_back(toUtf8(name));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

// Links and junctions are removed themselves, never entered.
bool removeFolderTree(const std::string& folder) {
  const std::wstring path = withoutTrailingSeparators(folder);
  for (const std::string& name : folderEntryNames(folder)) {
    const std::wstring entry = path + L"\\" + toWide(name);
    const DWORD attributes = GetFileAttributesW(entry.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) continue;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
      SetFileAttributesW(entry.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      DeleteFileW(entry.c_str());
    } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      RemoveDirectoryW(entry.c_str());
    } else {
      removeFolderTree(toUtf8(entry));
    }
  }
  return RemoveDirectoryW(path.c_str()) != 0;
}

}  // namespace kamishibai
