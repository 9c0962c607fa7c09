// Kamishibai: the numbered work folder that holds the unpacked music, pictures and sounds for
// the length of the show.
#pragma once

#include <string>

#include "platform/folder_lock.h"
#include "startup/package.h"

namespace kamishibai {

// A show's work folder and the lock that marks it as in use for as long as the show runs.
struct WorkFolder {
  std::string path;  // with a final '/'
  FolderLock lock;
};

// Holding the lock of the parent folder, so that starting shows take turns: removes the work
// folders that no running show holds (left by a show that was killed or lost its power), then
// creates the first free parent/tempN (N = 1, 2, ...) with an atomic creation that fails when the
// name is taken, and locks it. A creation that fails for another reason is skipped: the folder
// is then simply missing.
WorkFolder prepareWorkFolder(const std::string& parent);

// Writes the music, then every picture, then every sound under its stored name. Only the first
// entry with a name writes; a later write replaces an earlier file of the same name. Failing
// writes are skipped, and so are names that are not plain file names (storedNameProblem), so
// nothing is ever written outside the folder.
void writeWorkFiles(const PackageRecord& record, const std::string& workDir);

// Deletes each entry's picture and sound file, then the music file, then removes the folder,
// which stays when anything else is left in it.
void removeWorkFiles(const PackageRecord& record, const std::string& workDir);

}  // namespace kamishibai
