// Kamishibai: choosing, filling and emptying the work folder.
#include "startup/work_folder.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <set>

#include "platform/file_names.h"
#include "platform/work_files.h"
#include "startup/stored_name.h"

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
  createFileIn(workDir, name, data.data.bytes());
}

void deleteWorkFile(const std::string& workDir, const std::string& name) {
  if (isPlainFileName(name) && isNormalFileIn(workDir, name)) deleteFileIn(workDir, name);
}

// Writes the entries' files named by member, the first entry with each name only.
void writeFirstOfEachName(const PackageRecord& record, const std::string& workDir,
                          std::string PictureEntry::*name, ByteArray PictureEntry::*data) {
  std::set<std::string> written;
  forEachPicture(record, [&](const PictureEntry& entry) {
    const std::string& fileName = entry.*name;
    if (fileName.empty() || !written.insert(fileName).second) return;
    writeWorkFile(workDir, fileName, entry.*data);
  });
}

struct NumberedFolder {
  std::string path;  // with a final separator
  bool created = false;
};

// The first parent/tempN whose name is free, created; when a creation fails for another reason
// than a taken name, that folder's path, not created.
NumberedFolder createNumberedFolder(const std::string& parent) {
  const std::string base =
      parent.empty() || parent.back() != kPathSeparator ? parent + kPathSeparator : parent;
  std::int32_t number = 1;
  FolderCreation creation = FolderCreation::Failed;
  for (;;) {
    creation = createPrivateFolder(base + "temp" + std::to_string(number));
    if (creation != FolderCreation::NameTaken || number == std::numeric_limits<std::int32_t>::max())
      break;
    ++number;
  }
  return {base + "temp" + std::to_string(number) + kPathSeparator,
          creation == FolderCreation::Created};
}

}  // namespace

std::string prepareWorkFolder(const std::string& parent,
                              const std::optional<std::string>& fallback) {
  const NumberedFolder folder = createNumberedFolder(parent);
  if (folder.created || !fallback) return folder.path;
  const NumberedFolder instead = createNumberedFolder(*fallback);
  return instead.created ? instead.path : folder.path;
}

void writeWorkFiles(const PackageRecord& record, const std::string& workDir) {
  if (!record.BgmName.empty() && record.BgmName.front() != '\0') {
    writeWorkFile(workDir, record.BgmName, record.BgmData);
  }
  writeFirstOfEachName(record, workDir, &PictureEntry::FileName, &PictureEntry::FileData);
  writeFirstOfEachName(record, workDir, &PictureEntry::SoundName, &PictureEntry::SoundData);
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
