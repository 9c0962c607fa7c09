// Kamishibai: choosing, filling and emptying the work folder.
#include "startup/work_folder.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <set>
#include <system_error>
#include <utility>

#include "base/file_names.h"
#include "formats/stored_name.h"
#include "platform/user_folders.h"
#include "platform/work_files.h"

namespace kamishibai {

namespace {

// Visits the entries with indices 0 to PictureCount - 1 that the package really holds, in
// increasing order. A damaged package may claim more entries than it has, or a lower bound
// that leaves some indices out; those are skipped, as a failing step is.
void forEachPicture(const PackageRecord& record,
                    const std::function<void(const PictureEntry&)>& visit) {
  const std::int64_t first = std::max<std::int64_t>(0, record.Pictures.shape.lowerBound);
  const std::int64_t last =
      std::min<std::int64_t>(std::int64_t{record.PictureCount} - 1,
                             std::int64_t{record.Pictures.shape.lowerBound} +
                                 static_cast<std::int64_t>(record.Pictures.entries.size()) - 1);
  for (std::int64_t i = first; i <= last; ++i) {
    const auto index = static_cast<std::int32_t>(i);
    if (record.Pictures.contains(index)) visit(record.Pictures.at(index));
  }
}

// Only plain names are written or deleted, so nothing outside the work folder is touched.
bool isPlainFileName(const std::string& name) {
  return storedNameProblem(name).empty();
}

// Replaces any normal file of that name, then creates the file without following links.
void writeWorkFile(const std::string& workDir, const std::string& name, const ByteArray& data) {
  if (!isPlainFileName(name)) return;
  if (isNormalFileIn(workDir, name)) deleteFileIn(workDir, name);
  const ByteBuffer& bytes = data.data;
  if (const SourceFile* file = bytes.sourceFile()) {
    createFileIn(workDir, name, *file, bytes.sourceOffset(), bytes.size());
  } else {
    createFileIn(workDir, name, bytes.bytes());
  }
}

void deleteWorkFile(const std::string& workDir, const std::string& name) {
  if (isPlainFileName(name) && isNormalFileIn(workDir, name)) deleteFileIn(workDir, name);
}

// The name as the work folder's file system tells names apart: on Windows, names that differ only
// in letter case name one file.
std::string fileKey(const std::string& name) {
  return kWindowsFileNames ? foldedCase(name) : name;
}

// Adds the writes of the entries' files named by member, the first entry with each name only.
// Windows keeps one file for names that differ only in letter case, so there a later such name
// writes nothing either: it would replace the earlier entry's file.
void addFirstOfEachName(const PackageRecord& record, const std::string PictureEntry::*name,
                        const ByteArray PictureEntry::*data,
                        std::vector<WorkFileWriter::Write>& writes) {
  std::set<std::string> written;
  forEachPicture(record, [&](const PictureEntry& entry) {
    const std::string& fileName = entry.*name;
    if (fileName.empty() || !written.insert(fileKey(fileName)).second) return;
    writes.push_back({&fileName, &(entry.*data)});
  });
}

// Every file in the order of writing: the music, then every picture, then every sound.
std::vector<WorkFileWriter::Write> workFileWrites(const PackageRecord& record) {
  std::vector<WorkFileWriter::Write> writes;
  if (!record.BgmName.empty() && record.BgmName.front() != '\0') {
    writes.push_back({&record.BgmName, &record.BgmData});
  }
  addFirstOfEachName(record, &PictureEntry::FileName, &PictureEntry::FileData, writes);
  addFirstOfEachName(record, &PictureEntry::SoundName, &PictureEntry::SoundData, writes);
  return writes;
}

// Once everything is unpacked, the package is not read again: the system need not keep any of it
// in memory.
void releasePackageFile(const PackageRecord& record) {
  std::set<const SourceFile*> files;
  const auto add = [&](const ByteArray& array) {
    if (const SourceFile* file = array.data.sourceFile()) files.insert(file);
  };
  add(record.BgmData);
  for (const PictureEntry& entry : record.Pictures.entries) {
    add(entry.FileData);
    add(entry.SoundData);
  }
  for (const SourceFile* file : files) file->release(0, file->size());
}

bool isWorkFolderName(const std::string& name) {
  return name.size() > 4 && name.starts_with("temp") &&
         name.find_first_not_of("0123456789", 4) == std::string::npos;
}

// A work folder whose lock can be had belongs to no running show. Entries of other kinds and
// names (files, links, the running-copy locks) stay.
void removeAbandonedWorkFolders(const std::string& base) {
  for (const std::string& name : folderEntryNames(base)) {
    if (!isWorkFolderName(name)) continue;
    const FolderLock unused = FolderLock::tryLock(base + name);
    if (unused.held()) removeFolderTree(base + name);
  }
}

struct NumberedFolder {
  WorkFolder folder;
  bool created = false;
};

// Holding the lock of the parent folder, so that starting shows take turns: the first free
// parent/tempN, created and locked; when a creation fails for another reason than a taken name,
// that folder's path, not created. Where the parent is the program's own, work folders that no
// running show holds are removed first; a parent shared with other programs (the Windows
// folder, the temporary folder) keeps every entry it holds.
NumberedFolder createNumberedFolder(const std::string& parent) {
  const std::string base =
      parent.empty() || parent.back() != kPathSeparator ? parent + kPathSeparator : parent;
  const FolderLock turn = FolderLock::waitForLock(base);
  if (workFoldersParentIsOwn()) removeAbandonedWorkFolders(base);
  std::int32_t number = 1;
  FolderCreation creation = FolderCreation::Failed;
  for (;;) {
    creation = createPrivateFolder(base + "temp" + std::to_string(number));
    if (creation != FolderCreation::NameTaken || number == std::numeric_limits<std::int32_t>::max())
      break;
    ++number;
  }
  const std::string path = base + "temp" + std::to_string(number);
  return {{path + kPathSeparator, FolderLock::tryLock(path)}, creation == FolderCreation::Created};
}

}  // namespace

WorkFolder prepareWorkFolder(const std::string& parent,
                             const std::optional<std::string>& fallback) {
  NumberedFolder first = createNumberedFolder(parent);
  if (first.created || !fallback) return std::move(first.folder);
  NumberedFolder instead = createNumberedFolder(*fallback);
  return instead.created ? std::move(instead.folder) : std::move(first.folder);
}

void writeWorkFiles(const PackageRecord& record, const std::string& workDir) {
  for (const WorkFileWriter::Write& write : workFileWrites(record)) {
    writeWorkFile(workDir, *write.name, *write.data);
  }
  releasePackageFile(record);
}

WorkFileWriter::WorkFileWriter(const PackageRecord& record, std::string workDir)
    : record_(record), workDir_(std::move(workDir)), writes_(workFileWrites(record)) {
  for (std::size_t k = 0; k < writes_.size(); ++k)
    completeAfter_[fileKey(*writes_[k].name)] = k + 1;
  try {
    thread_ = std::thread([this] { writeAll(); });
  } catch (const std::system_error&) {
    writeAll();
  }
}

WorkFileWriter::~WorkFileWriter() {
  finish();
}

void WorkFileWriter::writeAll() {
  try {
    for (const Write& write : writes_) {
      writeWorkFile(workDir_, *write.name, *write.data);
      {
        const std::lock_guard lock(mutex_);
        ++writesDone_;
      }
      progress_.notify_all();
    }
    releasePackageFile(record_);
  } catch (const std::exception&) {
    // As for writeWorkFiles, a step that fails ends the writing: the files still to come are
    // missing.
  }
  {
    const std::lock_guard lock(mutex_);
    finished_ = true;
  }
  progress_.notify_all();
}

void WorkFileWriter::awaitFile(const std::string& name) {
  const auto last = completeAfter_.find(fileKey(name));
  if (last == completeAfter_.end()) return;
  std::unique_lock lock(mutex_);
  progress_.wait(lock, [&] { return finished_ || writesDone_ >= last->second; });
}

void WorkFileWriter::finish() {
  {
    std::unique_lock lock(mutex_);
    progress_.wait(lock, [&] { return finished_; });
  }
  if (thread_.joinable()) thread_.join();
}

void removeWorkFiles(const PackageRecord& record, const std::string& workDir) {
  forEachPicture(record, [&](const PictureEntry& entry) {
    deleteWorkFile(workDir, entry.FileName);
    deleteWorkFile(workDir, entry.SoundName);
  });
  deleteWorkFile(workDir, record.BgmName);
  removeEmptyFolder(workDir);
}

}  // namespace kamishibai
