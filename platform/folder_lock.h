// Kamishibai: exclusive locks on folders, which tell each starting show which work folders a
// running show is using, and the removal of a folder left behind.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kamishibai {

// An exclusive lock on a folder, held while the object lives (and never longer than the process:
// the system drops it when the process ends, however it ends).
class FolderLock {
 public:
  FolderLock();
  ~FolderLock();
  FolderLock(FolderLock&&) noexcept;
  FolderLock& operator=(FolderLock&&) noexcept;

  // Takes the lock without waiting; holds nothing when another lock holds the folder, or when the
  // path is not a folder (a symbolic link is not followed).
  static FolderLock tryLock(const std::string& folder);
  // Takes the lock, waiting while another holds it; holds nothing when the folder cannot be
  // opened.
  static FolderLock waitForLock(const std::string& folder);

  bool held() const;

 private:
  struct Held;
  static FolderLock take(const std::string& folder, bool wait);
  std::unique_ptr<Held> held_;
};

// The names of the entries of the folder; empty when it cannot be read.
std::vector<std::string> folderEntryNames(const std::string& folder);

// Removes the folder with everything in it; symbolic links are removed, never followed. False
// when anything stays.
bool removeFolderTree(const std::string& folder);

}  // namespace kamishibai
