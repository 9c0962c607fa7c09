// Kamishibai: work-folder file operations relative to the folder's descriptor, never following
// symbolic links.
#include "platform/work_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/file_copy_linux.h"
#include "platform/linux/handle_owner_posix.h"

namespace kamishibai {

namespace {

std::string withoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The folder itself must not be a link either: O_NOFOLLOW refuses one as the last component.
UniqueFd openFolder(const std::string& folder) {
  return UniqueFd(::open(withoutTrailingSeparators(folder).c_str(),
                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// Creates the file and fills it through write(fd). A file whose writing or closing fails (a full
// disk) is removed again, so that the show finds it missing rather than cut short.
template <class Write>
bool createNewFileIn(const std::string& folder, const std::string& name, Write write) {
  const UniqueFd dir = openFolder(folder);
  if (!dir.valid()) return false;
  UniqueFd file(::openat(dir.get(), name.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!file.valid()) return false;
  if (write(file.get()) && ::close(file.release()) == 0) return true;
  ::unlinkat(dir.get(), name.c_str(), 0);
  return false;
}

}  // namespace

FolderCreation createPrivateFolder(const std::string& path) {
  if (::mkdir(withoutTrailingSeparators(path).c_str(), 0700) == 0) return FolderCreation::Created;
  return errno == EEXIST ? FolderCreation::NameTaken : FolderCreation::Failed;
}

bool isNormalFileIn(const std::string& folder, const std::string& name) {
  const UniqueFd dir = openFolder(folder);
  struct stat info {};
  return dir.valid() && ::fstatat(dir.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(info.st_mode);
}

bool deleteFileIn(const std::string& folder, const std::string& name) {
  const UniqueFd dir = openFolder(folder);
  return dir.valid() && ::unlinkat(dir.get(), name.c_str(), 0) == 0;
}

bool createFileIn(const std::string& folder, const std::string& name,
                  std::span<const std::uint8_t> bytes) {
  return createNewFileIn(folder, name,
                         [&](int file) { return writeAll(file, bytes.data(), bytes.size()); });
}

bool createFileIn(const std::string& folder, const std::string& name, const SourceFile& from,
                  std::uint64_t offset, std::uint64_t length) {
  return createNewFileIn(folder, name, [&](int file) {
    return copyRange(static_cast<int>(from.handle()), offset, length, file);
  });
}

bool removeEmptyFolder(const std::string& path) {
  return ::rmdir(withoutTrailingSeparators(path).c_str()) == 0;
}

}  // namespace kamishibai
