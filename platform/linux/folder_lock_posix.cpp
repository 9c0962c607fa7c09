// Kamishibai: folder locks as flock on the folder's own descriptor, and the removal of a folder
// tree relative to descriptors, never following symbolic links.
#include "platform/folder_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

namespace {

// Deeper trees are not made by the saver; what lies deeper stays.
constexpr int kDeepestRemoval = 16;

UniqueFd openFolderAt(int parent, const char* name) {
  return UniqueFd(::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool removeEntriesOf(int folder, int depth);

bool removeEntryAt(int parent, const char* name, int depth) {
  struct stat info {};
  if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(info.st_mode)) return ::unlinkat(parent, name, 0) == 0;
  const UniqueFd child = openFolderAt(parent, name);
  if (!child.valid() || depth >= kDeepestRemoval || !removeEntriesOf(child.get(), depth + 1)) {
    return false;
  }
  return ::unlinkat(parent, name, AT_REMOVEDIR) == 0;
}

bool removeEntriesOf(int folder, int depth) {
  UniqueFd listing(::dup(folder));
  DIR* entries = listing.valid() ? ::fdopendir(listing.get()) : nullptr;
  if (entries == nullptr) return false;
  listing.release();  // the listing owns the descriptor now
  bool removed = true;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    removed = removeEntryAt(folder, name.c_str(), depth) && removed;
  }
  ::closedir(entries);
  return removed;
}

}  // namespace

struct FolderLock::Held {
  UniqueFd fd;
};

FolderLock::FolderLock() = default;
FolderLock::~FolderLock() = default;
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;

namespace {

// The folder's descriptor with the flock taken; invalid when it cannot be had.
UniqueFd lockedFolder(const std::string& folder, int operation) {
  UniqueFd fd = openFolderAt(AT_FDCWD, folder.c_str());
  if (!fd.valid()) return fd;
  int result = 0;
  do {
    result = ::flock(fd.get(), operation);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? std::move(fd) : UniqueFd();
}

}  // namespace

FolderLock FolderLock::take(const std::string& folder, bool wait) {
  FolderLock lock;
  if (UniqueFd fd = lockedFolder(folder, wait ? LOCK_EX : LOCK_EX | LOCK_NB); fd.valid()) {
    lock.held_ = std::make_unique<Held>(Held{std::move(fd)});
  }
  return lock;
}

FolderLock FolderLock::tryLock(const std::string& folder) {
  return take(folder, false);
}

FolderLock FolderLock::waitForLock(const std::string& folder) {
  return take(folder, true);
}

bool FolderLock::held() const {
  return held_ != nullptr;
}

std::vector<std::string> folderEntryNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return names;
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(entries);
  return names;
}

bool removeFolderTree(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const auto slash = path.rfind('/');
  const std::string parentPath = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const UniqueFd parent = openFolderAt(AT_FDCWD, parentPath.c_str());
  return parent.valid() && removeEntryAt(parent.get(), name.c_str(), 0);
}

}  // namespace kamishibai
