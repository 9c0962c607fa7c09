// Kamishibai: the work folder: its number, the write and replace rules, the removal, and names
// that would leave the folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_names.h"
#include "platform/source_file.h"
#include "platform/user_folders.h"
#include "startup/work_folder.h"
#include "tests/unit/scratch_folder.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

ByteArray bytesOf(const Bytes& bytes) {
  return {{1, 0}, ByteBuffer(bytes)};
}

// A record of entries (file name, its byte, sound name, its byte) with the lower bound 0.
struct Slide {
  std::string file;
  std::uint8_t fileByte;
  std::string sound;
  std::uint8_t soundByte;
};

PackageRecord recordOf(const std::vector<Slide>& slides, const std::string& bgm = "",
                       std::uint8_t bgmByte = 0) {
  PackageRecord record;
  record.BgmName = bgm;
  record.BgmData = bytesOf({bgmByte});
  record.PictureCount = static_cast<std::int32_t>(slides.size());
  record.Pictures.shape = {1, 0};
  for (const Slide& slide : slides) {
    PictureEntry entry;
    entry.FileName = slide.file;
    entry.FileData = bytesOf({slide.fileByte});
    entry.SoundName = slide.sound;
    entry.SoundData = bytesOf({slide.soundByte});
    record.Pictures.entries.push_back(entry);
  }
  return record;
}

// The parent's work folder of that number, as the program spells it: with the system's
// separator between the names and after the last.
std::string workDirIn(const std::string& parent, int number) {
  return parent + kPathSeparator + "temp" + std::to_string(number) + kPathSeparator;
}

TEST(WorkFolderNumber, FirstFreeNumberCountingFilesAndFolders) {
  ScratchFolder parent;
  const WorkFolder running = prepareWorkFolder(parent.str());
  EXPECT_EQ(running.path, workDirIn(parent.str(), 1));
  EXPECT_TRUE(running.lock.held());
  EXPECT_TRUE(fs::is_directory(parent.path() / "temp1"));
  writeBytes(parent.path() / "temp2", {9});
  EXPECT_EQ(prepareWorkFolder(parent.str() + kPathSeparator).path, workDirIn(parent.str(), 3));
  EXPECT_EQ(readBytes(parent.path() / "temp2"), Bytes{9});
  // Windows folders carry no owner/group/other permissions: there they come from the parent.
  if (!kWindowsFileNames) {
    EXPECT_EQ(fs::status(parent.path() / "temp3").permissions() & fs::perms::all,
              fs::perms::owner_all);
  }
}

// Folders of shows that were killed are removed at the next start, with whatever they hold;
// the folder of a show that still runs, other entries ("temp" and "tempX" are not tempN) and links
// stay. A parent shared with other programs (Windows) keeps every entry, since their own tempN
// entries may be among them.
TEST(WorkFolderNumber, FoldersOfShowsThatNoLongerRunAreRemoved) {
  ScratchFolder parent;
  const WorkFolder running = prepareWorkFolder(parent.str());
  writeBytes(running.path + "a.jpg", {1});
  fs::create_directories(parent.path() / "temp2" / "deeper");
  writeBytes(parent.path() / "temp2" / "deeper" / "b.jpg", {2});
  fs::create_directory(parent.path() / "temp7");
  fs::create_directory(parent.path() / "tempX");
  fs::create_directory(parent.path() / "temp");
  if (!workFoldersParentIsOwn()) {
    EXPECT_EQ(prepareWorkFolder(parent.str()).path, workDirIn(parent.str(), 3));
    EXPECT_EQ(readBytes(parent.path() / "temp2" / "deeper" / "b.jpg"), Bytes{2});
    EXPECT_TRUE(fs::exists(parent.path() / "temp7"));
    return;
  }
  ScratchFolder outside;
  fs::create_symlink(outside.path(), parent.path() / "temp2" / "link");
  writeBytes(outside.path() / "keep", {3});
  fs::create_directory_symlink(outside.path(), parent.path() / "temp8");

  const WorkFolder next = prepareWorkFolder(parent.str());
  EXPECT_EQ(next.path, workDirIn(parent.str(), 2));
  EXPECT_EQ(namesIn(next.path), std::vector<std::string>{});
  EXPECT_EQ(readBytes(running.path + "a.jpg"), Bytes{1});
  EXPECT_FALSE(fs::exists(parent.path() / "temp7"));
  EXPECT_TRUE(fs::exists(parent.path() / "tempX"));
  EXPECT_TRUE(fs::exists(parent.path() / "temp"));
  EXPECT_TRUE(fs::is_symlink(parent.path() / "temp8"));
  EXPECT_EQ(readBytes(outside.path() / "keep"), Bytes{3});
}

TEST(WorkFolderNumber, MissingParentStillGivesTheFirstName) {
  ScratchFolder scratch;
  const std::string parent = (scratch.path() / "missing").string();
  EXPECT_EQ(prepareWorkFolder(parent).path, workDirIn(parent, 1));
  EXPECT_FALSE(fs::exists(parent));
}

TEST(WorkFolderNumber, FallbackFolderOnlyWhenNoFolderCanBeMadeInTheParent) {
  ScratchFolder scratch;
  const std::string missing = (scratch.path() / "missing").string();
  const fs::path fallback = scratch.path() / "fallback";
  fs::create_directory(fallback);
  writeBytes(fallback / "temp1", {1});
  const WorkFolder first = prepareWorkFolder(missing, fallback.string());
  EXPECT_EQ(first.path, workDirIn(fallback.string(), 2));
  EXPECT_TRUE(fs::is_directory(fallback / "temp2"));
  EXPECT_EQ(prepareWorkFolder(fallback.string(), missing).path, workDirIn(fallback.string(), 3));
  EXPECT_EQ(prepareWorkFolder(missing, (scratch.path() / "missing-too").string()).path,
            workDirIn(missing, 1));
}

TEST(WorkFiles, FirstEntryWithANameWritesAndLaterWritesReplace) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  // b.jpg twice: the first bytes stay. c.wav is also a picture's name: the sound replaces it.
  // music.mid is also a picture's name: the picture replaces the music.
  const PackageRecord record = recordOf({{"a.jpg", 1, "", 0},
                                         {"b.jpg", 2, "s.wav", 20},
                                         {"b.jpg", 3, "s.wav", 30},
                                         {"c.wav", 4, "c.wav", 40},
                                         {"music.mid", 5, "", 0}},
                                        "music.mid", 99);
  writeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir),
            (std::vector<std::string>{"a.jpg", "b.jpg", "c.wav", "music.mid", "s.wav"}));
  EXPECT_EQ(readBytes(dir + "b.jpg"), Bytes{2});
  EXPECT_EQ(readBytes(dir + "s.wav"), Bytes{20});
  EXPECT_EQ(readBytes(dir + "c.wav"), Bytes{40});
  EXPECT_EQ(readBytes(dir + "music.mid"), Bytes{5});

  removeWorkFiles(record, dir);
  EXPECT_FALSE(fs::exists(dir));
}

// The show gets ready while the files are written: a file it awaits is complete, including a
// replacement that comes after a large file.
TEST(WorkFiles, AnAwaitedFileHoldsItsLastWrite) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  PackageRecord record = recordOf({{"a.jpg", 1, "a.jpg", 9}, {"big.jpg", 2, "", 0}});
  const Bytes big(std::size_t{32} << 20, 2);
  record.Pictures.entries[1].FileData = bytesOf(big);
  WorkFileWriter writer(record, dir);
  writer.awaitFile("a.jpg");
  EXPECT_EQ(readBytes(dir + "a.jpg"), Bytes{9});
  writer.awaitFile("big.jpg");
  EXPECT_EQ(fs::file_size(dir + "big.jpg"), big.size());
  writer.awaitFile("never.jpg");
  writer.finish();
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"a.jpg", "big.jpg"}));
}

// A file that cannot be written whole is removed, so the show finds it missing instead of cut
// short; here the saver's file was cut short while the show unpacked it.
TEST(WorkFiles, AFileThatCannotBeWrittenWholeIsNotLeft) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  writeBytes(parent.path() / "saver", Bytes(100, 5));
  PackageRecord record = recordOf({{"cut.jpg", 1, "", 0}, {"whole.jpg", 2, "", 0}});
  record.Pictures.entries[0].FileData.data =
      ByteBuffer(openSourceFile(parent.path() / "saver"), 50, 80);
  writeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"whole.jpg"});
}

// Windows keeps one file for names that differ only in letter case: there the later name writes
// nothing, so the earlier entry keeps its bytes.
TEST(WorkFiles, NamesDifferingOnlyInLetterCase) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  const PackageRecord record = recordOf({{"Photo.jpg", 1, "", 0}, {"photo.jpg", 2, "", 0}});
  writeWorkFiles(record, dir);
  if (kWindowsFileNames) {
    EXPECT_EQ(readBytes(dir + "Photo.jpg"), Bytes{1});
  } else {
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"Photo.jpg", "photo.jpg"}));
  }
  removeWorkFiles(record, dir);
  EXPECT_FALSE(fs::exists(dir));
}

TEST(WorkFiles, EmptyNamesWriteAndDeleteNothing) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  writeWorkFiles(recordOf({{"", 1, "", 2}}, std::string("\0x", 2), 3), dir);
  EXPECT_TRUE(namesIn(dir).empty());
  writeBytes(dir + "stray", {7});
  removeWorkFiles(recordOf({{"", 1, "", 2}}), dir);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"stray"});
}

TEST(WorkFiles, StrayFileKeepsTheFolderAndIsLeftAlone) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  const PackageRecord record = recordOf({{"0", 1, "", 0}, {"1", 2, "", 0}});
  writeWorkFiles(record, dir);
  writeBytes(dir + "left-over", {7});
  removeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"left-over"});
}

TEST(WorkFiles, PackageClaimingMoreEntriesThanItHoldsWritesWhatItHas) {
  ScratchFolder parent;
  const std::string dir = prepareWorkFolder(parent.str()).path;
  PackageRecord record = recordOf({{"0", 1, "", 0}, {"1", 2, "", 0}});
  record.PictureCount = std::numeric_limits<std::int32_t>::max();
  writeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"0", "1"}));
  // With the lower bound 1 the first entry has index 1: index 0 is missing and skipped.
  record.Pictures.shape.lowerBound = 1;
  record.PictureCount = 2;
  removeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"1"}));
}

TEST(WorkFiles, UnsafeNamesAreNeverWrittenOrDeleted) {
  ScratchFolder scratch;
  const fs::path outside = scratch.path() / "outside";
  fs::create_directories(outside / "sub");
  writeBytes(outside / "keep", {1});
  fs::create_directory(scratch.path() / "parent");
  const std::string dir =
      prepareWorkFolder((scratch.path() / "parent").string() + kPathSeparator).path;
  const std::string up = "../../outside/";
  const PackageRecord record = recordOf({{up + "keep", 2, up + "new", 3},
                                         {(outside / "abs").string(), 4, "sub\\x", 5},
                                         {"ok.jpg", 6, "  ", 7}},
                                        up + "music", 8);
  writeWorkFiles(record, dir);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"ok.jpg"});
  EXPECT_EQ(namesIn(outside), (std::vector<std::string>{"keep", "sub"}));
  EXPECT_EQ(readBytes(outside / "keep"), Bytes{1});
  removeWorkFiles(record, dir);
  EXPECT_FALSE(fs::exists(dir));
  EXPECT_EQ(readBytes(outside / "keep"), Bytes{1});
}

TEST(WorkFiles, LinksPlacedInTheFolderAreNotWrittenThrough) {
  if (kWindowsFileNames) GTEST_SKIP() << "making symbolic links needs a privilege on Windows";
  ScratchFolder scratch;
  const std::string dir = prepareWorkFolder(scratch.str()).path;
  writeBytes(scratch.path() / "target", {1});
  fs::create_symlink(scratch.path() / "target", dir + "0");
  const PackageRecord record = recordOf({{"0", 2, "", 0}});
  writeWorkFiles(record, dir);
  removeWorkFiles(record, dir);
  EXPECT_EQ(readBytes(scratch.path() / "target"), Bytes{1});
  EXPECT_TRUE(fs::is_symlink(dir + "0"));
}

}  // namespace
}  // namespace kamishibai
