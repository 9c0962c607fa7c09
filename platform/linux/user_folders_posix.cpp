// Kamishibai: the per-user runtime and cache folders from the XDG environment.
#include "platform/linux/user_folders_posix.h"
#include "platform/user_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace kamishibai {

namespace {

// An environment value that is an absolute path; relative values are ignored as XDG says.
std::optional<std::string> absolutePathFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return std::string(value);
}

std::optional<std::string> cacheFolder() {
  if (auto cache = absolutePathFromEnvironment("XDG_CACHE_HOME")) return cache;
  if (auto home = absolutePathFromEnvironment("HOME")) return *home + "/.cache";
  return std::nullopt;
}

// Creates the folder for the user only when missing; usable when it is a real folder (not a
// link) that the user owns.
bool ensurePrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

std::optional<std::string> kamishibaiFolderIn(const std::optional<std::string>& base) {
  if (!base || !ensurePrivateFolder(*base)) return std::nullopt;
  const std::string folder = *base + "/kamishibai";
  if (!ensurePrivateFolder(folder)) return std::nullopt;
  return folder;
}

}  // namespace

std::optional<std::string> workFoldersParent() {
  if (auto folder = kamishibaiFolderIn(absolutePathFromEnvironment("XDG_RUNTIME_DIR"))) {
    return folder;
  }
  return kamishibaiFolderIn(cacheFolder());
}

bool workFoldersParentIsOwn() {
  return true;
}

std::optional<std::string> fallbackWorkFoldersParent() {
  return std::nullopt;
}

std::optional<std::string> userConfigFolder() {
  if (auto config = absolutePathFromEnvironment("XDG_CONFIG_HOME")) return *config + "/kamishibai";
  if (auto home = absolutePathFromEnvironment("HOME")) return *home + "/.config/kamishibai";
  return std::nullopt;
}

// The folder counts as writable for the rights the program runs with (AT_EACCESS): root's
// savers keep their settings beside themselves wherever the file system allows.
std::optional<std::string> userSettingsFolder(const std::string& saverFolder) {
  if (::faccessat(AT_FDCWD, saverFolder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return std::nullopt;
  return userConfigFolder();
}

std::vector<std::string> workFoldersParents() {
  std::vector<std::string> folders;
  for (const auto& base : {absolutePathFromEnvironment("XDG_RUNTIME_DIR"), cacheFolder()}) {
    if (auto folder = kamishibaiFolderIn(base)) folders.push_back(*folder);
  }
  return folders;
}

}  // namespace kamishibai
