// Kamishibai: the Windows folder, which holds the numbered work folders, and the user's temporary
// folder, which holds them when the Windows folder cannot (current Windows lets only
// administrators write there).
#include "platform/user_folders.h"

#include <windows.h>

#include "platform/win32/wide_text_win32.h"

namespace kamishibai {

namespace {

std::string withoutTrailingBackslash(std::string path) {
  // A root such as C:\ keeps its backslash; the work folder's rule adds none then.
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::optional<std::string> workFoldersParent() {
  wchar_t buffer[512] = {};
  const UINT length = GetWindowsDirectoryW(buffer, 512);
  if (length == 0 || length >= 512) return std::nullopt;
  return withoutTrailingBackslash(toUtf8({buffer, length}));
}

bool workFoldersParentIsOwn() {
  return false;
}

std::optional<std::string> fallbackWorkFoldersParent() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  return withoutTrailingBackslash(toUtf8({buffer, length}));
}

// A Windows saver keeps its settings beside itself only, as Windows savers always have; the
// per-user settings file is a Linux desktop's answer to savers installed in system folders.
std::optional<std::string> userSettingsFolder(const std::string&) {
  return std::nullopt;
}

}  // namespace kamishibai
