// Kamishibai: the package read from a file: only its fields are read, its byte arrays stay in the
// file until they are copied or asked for, whatever their offsets and sizes, and a file cut short
// afterwards gives errors, not a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "formats/package.h"
#include "platform/source_file.h"
#include "startup/work_folder.h"
#include "tests/unit/scratch_folder.h"
#include "tools/commands.h"

namespace kamishibai {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes counting(std::size_t size, std::uint8_t first) {
  Bytes bytes(size);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

// Entries whose arrays straddle the reader's 64 KiB window in every way, each with a sound of
// another size, behind a player of odd length so that every array starts at an odd offset.
PackageRecord straddlingRecord() {
  PackageRecord record;
  record.AreaWidth = record.AreaHeight = 100;
  record.BgmName = "music.wav";
  record.BgmData = {{1, 0}, ByteBuffer(counting(65'537, 3))};
  record.Pictures.shape = {1, 0};
  const std::size_t sizes[] = {0, 1, 65'535, 65'536, 65'537, 3, 200'001, 2};
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    PictureEntry& e = record.Pictures.entries.emplace_back();
    e.FileName = "p" + std::to_string(i);
    e.SoundName = "s" + std::to_string(i);
    e.ShowTime = static_cast<std::int32_t>(i);
    e.FileData = {{1, 0}, ByteBuffer(counting(sizes[i], static_cast<std::uint8_t>(i)))};
    e.SoundData = {{1, 0}, ByteBuffer(counting(sizes[std::size(sizes) - 1 - i], 7))};
  }
  record.PictureCount = static_cast<std::int32_t>(record.Pictures.entries.size());
  return record;
}

Bytes toBytes(std::span<const std::uint8_t> bytes) {
  return {bytes.begin(), bytes.end()};
}

class PackageFileTest : public ::testing::Test {
 protected:
  PackageFileTest() : saver_(scratch_.path() / "show.scr") {
    Bytes file{'p', 'l', 'a', 'y', 'e', 'r', '!'};
    const Bytes package = writePackage(straddlingRecord());
    file.insert(file.end(), package.begin(), package.end());
    writeBytes(saver_, file);
    fileBytes_ = file;
  }

  ScratchFolder scratch_;
  fs::path saver_;
  Bytes fileBytes_;
};

TEST_F(PackageFileTest, ReadFromTheFileItGivesWhatItGivesFromMemory) {
  const PackageReading fromFile = inspectPackage(openSourceFile(saver_));
  const PackageReading fromMemory = inspectPackage(fileBytes_);
  ASSERT_TRUE(fromFile.wellFormed());
  EXPECT_EQ(fromFile.start, 7u);
  EXPECT_EQ(fromFile.end, fromMemory.end);
  const auto& fileEntries = fromFile.record.Pictures.entries;
  const auto& memoryEntries = fromMemory.record.Pictures.entries;
  ASSERT_EQ(fileEntries.size(), memoryEntries.size());
  for (std::size_t i = 0; i < fileEntries.size(); ++i) {
    const PictureEntry& a = fileEntries[i];
    const PictureEntry& b = memoryEntries[i];
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.SoundName, b.SoundName);
    EXPECT_EQ(a.ShowTime, b.ShowTime);
    ASSERT_NE(a.FileData.data.sourceFile(), nullptr) << i;  // still in the file
    EXPECT_TRUE(a.FileData.data.sameBytesAs(b.FileData.data)) << i;
    EXPECT_TRUE(a.SoundData.data.sameBytesAs(b.SoundData.data)) << i;
    EXPECT_EQ(toBytes(a.FileData.data.bytes()), toBytes(b.FileData.data.bytes())) << i;
  }
  EXPECT_EQ(writePackage(fromFile.record), writePackage(fromMemory.record));
}

TEST_F(PackageFileTest, SameBytesAsComparesContentNotJustSize) {
  const PackageRecord r = readPackage(openSourceFile(saver_));
  const ByteBuffer& big = r.Pictures.at(6).FileData.data;
  Bytes altered = toBytes(readPackage(fileBytes_).Pictures.at(6).FileData.data.bytes());
  EXPECT_TRUE(big.sameBytesAs(ByteBuffer(altered)));
  altered[150'000] ^= 1;  // past the first compared piece
  EXPECT_FALSE(big.sameBytesAs(ByteBuffer(altered)));
  EXPECT_FALSE(big.sameBytesAs(r.Pictures.at(4).FileData.data));
  EXPECT_TRUE(r.Pictures.at(0).FileData.data.sameBytesAs(ByteBuffer()));
}

TEST_F(PackageFileTest, UnpackingAndExtractingCopyEveryFileFromItsOffset) {
  const PackageRecord r = readPackage(openSourceFile(saver_));
  const PackageRecord expected = straddlingRecord();
  const std::string work = scratch_.str() + "/work/";
  fs::create_directory(work);
  writeWorkFiles(r, work);
  std::ostringstream out, err;
  ASSERT_EQ(runExtract(saver_, scratch_.path() / "out", out, err), 0) << err.str();
  for (const fs::path& folder : {fs::path(work), scratch_.path() / "out"}) {
    EXPECT_EQ(readBytes(folder / "music.wav"), toBytes(expected.BgmData.data.bytes()));
    for (const PictureEntry& e : expected.Pictures.entries) {
      EXPECT_EQ(readBytes(folder / e.FileName), toBytes(e.FileData.data.bytes())) << e.FileName;
      EXPECT_EQ(readBytes(folder / e.SoundName), toBytes(e.SoundData.data.bytes())) << e.SoundName;
    }
  }
}

TEST_F(PackageFileTest, AFileCutShortAfterReadingGivesErrorsNotACrash) {
  const PackageRecord r = readPackage(openSourceFile(saver_));
  fs::resize_file(saver_, 100);
  EXPECT_THROW(static_cast<void>(r.Pictures.at(6).FileData.data.bytes()), std::runtime_error);
  EXPECT_FALSE(r.Pictures.at(6).FileData.data.sameBytesAs(r.Pictures.at(6).FileData.data));
  const std::string work = scratch_.str() + "/work/";
  fs::create_directory(work);
  // Copies what it can; a file it cannot copy whole is not left cut short.
  writeWorkFiles(r, work);
  EXPECT_FALSE(fs::exists(work + "p6"));

  // The reader itself never reads past the shortened end.
  const PackageReading cut = inspectPackage(openSourceFile(saver_));
  EXPECT_FALSE(cut.complete);
}

}  // namespace
}  // namespace kamishibai
