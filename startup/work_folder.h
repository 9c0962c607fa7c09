// Kamishibai: the numbered work folder that holds the unpacked music, pictures and sounds for
// the length of the show.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "formats/package.h"
#include "platform/folder_lock.h"

namespace kamishibai {

// A show's work folder and the lock that marks it as in use for as long as the show runs.
struct WorkFolder {
  std::string path;  // with a final separator
  FolderLock lock;
};

// Holding the lock of the parent folder, so that starting shows take turns: removes the work
// folders that no running show holds (left by a show that was killed or lost its power; only
// where the parent is the program's own), then creates the first free parent/tempN (N = 1, 2,
// ...) with an atomic creation that fails when the name is taken, and locks it. When a creation
// fails for another reason, the same is tried in the fallback folder; when that fails too, the
// step is skipped: the first folder's path is returned and the folder is simply missing.
WorkFolder prepareWorkFolder(const std::string& parent,
                             const std::optional<std::string>& fallback = std::nullopt);

// Writes the music, then every picture, then every sound under its stored name. Only the first
// entry with a name writes; a later write replaces an earlier file of the same name. Failing
// writes are skipped, and so are names that are not plain file names (storedNameProblem), so
// nothing is ever written outside the folder.
void writeWorkFiles(const PackageRecord& record, const std::string& workDir);

// writeWorkFiles on a thread of its own, so that the show can get ready while the files are
// written: the same files in the same order under the same rules. Each file can be awaited on its
// own. Where no thread can be started, the files are written before the constructor returns.
class WorkFileWriter {
 public:
  WorkFileWriter(const PackageRecord& record, std::string workDir);
  // Waits for the writing to end.
  ~WorkFileWriter();
  WorkFileWriter(const WorkFileWriter&) = delete;
  WorkFileWriter& operator=(const WorkFileWriter&) = delete;

  // Returns once the file of that name is complete: no write to come replaces it (a sound
  // stored under a picture's name replaces the picture). At once for a name never written.
  void awaitFile(const std::string& name);
  // Returns once every file is written.
  void finish();

  // One file to write: its name and bytes in the package record.
  struct Write {
    const std::string* name;
    const ByteArray* data;
  };

 private:
  void writeAll();

  const PackageRecord& record_;
  const std::string workDir_;
  const std::vector<Write> writes_;
  // For each name, the number of writes done once its last one is.
  std::map<std::string, std::size_t> completeAfter_;
  std::mutex mutex_;
  std::condition_variable progress_;
  std::size_t writesDone_ = 0;
  bool finished_ = false;
  std::thread thread_;
};

// Deletes each entry's picture and sound file, then the music file, then removes the folder,
// which stays when anything else is left in it.
void removeWorkFiles(const PackageRecord& record, const std::string& workDir);

}  // namespace kamishibai
