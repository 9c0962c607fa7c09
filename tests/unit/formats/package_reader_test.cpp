// Kamishibai: the package reader against packages laid out byte by byte here, independently of
// the writer, and against every kind of damage; and the writer as its exact inverse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "formats/package.h"

namespace kamishibai {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Little-endian package bytes, written field by field.
class Layout {
 public:
  Layout& i16(int value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
  }
  Layout& i32(std::int64_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    return *this;
  }
  Layout& str(const std::string& text) {
    i16(static_cast<int>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
  }
  Layout& raw(const Bytes& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  Layout& empty() { return i16(0); }
  Layout& array(std::int64_t count, std::int64_t lowerBound) {
    return i16(1).i32(count).i32(lowerBound);
  }
  Layout& byteArray(const Bytes& data) {
    return array(static_cast<std::int64_t>(data.size()), 0).raw(data);
  }
  Layout& header(int width, int height, int colour, int settings, int count) {
    return i32(width).i32(height).i32(colour).i16(settings).i32(count);
  }
  // An entry without sound: name, empty sound name, 1000 ms at (24, 24), the effect, speed 0,
  // both switches off, the picture bytes and an empty sound array.
  Layout& entry(const std::string& name, int effect, const Bytes& picture) {
    return str(name)
        .str("")
        .i32(1000)
        .i32(24)
        .i32(24)
        .i32(effect)
        .i32(0)
        .i16(0)
        .i16(0)
        .byteArray(picture)
        .empty();
  }
  // Appends the trailing length that makes everything from `start` the package.
  Bytes finish(std::size_t start = 0) {
    Bytes file = bytes;
    Layout tail;
    tail.i32(static_cast<std::int64_t>(file.size() - start + 4));
    file.insert(file.end(), tail.bytes.begin(), tail.bytes.end());
    return file;
  }

  Bytes bytes;
};

const Bytes kJpegLike{0xFF, 0xD8, 0xFF, 0xE0, 0x11};
const Bytes kOther{0xFF, 0xD8, 0x42};
const Bytes kPlayer(100, 0x7F);

Bytes toBytes(std::span<const std::uint8_t> span) {
  return {span.begin(), span.end()};
}

// A player followed by a package like the carried one: two entries "0" and "10", no music.
Bytes twoSlideFile() {
  Layout file;
  file.raw(kPlayer).header(250, 250, 0, 0, 2).str("").empty().array(2, 0);
  file.entry("0", 1, kJpegLike).entry("10", 2, kOther);
  return file.finish(kPlayer.size());
}

TEST(PackageLayout, FieldSizesMatchTheByteLayout) {
  const Bytes file = twoSlideFile();
  const PackageReading reading = inspectPackage(file);
  ASSERT_TRUE(reading.wellFormed());
  EXPECT_EQ(reading.start, kPlayer.size());
  const PackageRecord& r = reading.record;
  EXPECT_EQ(r.AreaWidth, 250);
  EXPECT_EQ(r.AreaHeight, 250);
  EXPECT_EQ(r.PictureCount, 2);
  EXPECT_EQ(r.PackageLength, static_cast<std::int32_t>(file.size() - kPlayer.size()));
  ASSERT_EQ(r.Pictures.entries.size(), 2u);
  EXPECT_EQ(r.Pictures.at(0).FileName, "0");
  EXPECT_EQ(r.Pictures.at(1).FileName, "10");
  EXPECT_EQ(r.Pictures.at(1).EffectNo, 2);
  EXPECT_EQ(r.Pictures.at(0).ShowTime, 1000);
  EXPECT_EQ(r.Pictures.at(0).PosY, 24);
  EXPECT_EQ(r.Pictures.at(0).SoundData.shape.dimensions, 0);

  // 18-byte header, two 2-byte empties, the 10-byte descriptor, then the first entry: 39 bytes
  // before the picture bytes of a one-digit name, 2 after them, then 40 for a two-digit name.
  const std::size_t firstPicture = kPlayer.size() + 18 + 2 + 2 + 10 + 39;
  EXPECT_EQ(toBytes(std::span(file).subspan(firstPicture, kJpegLike.size())), kJpegLike);
  EXPECT_EQ(toBytes(r.Pictures.at(0).FileData.data.bytes()), kJpegLike);
  const std::size_t secondPicture = firstPicture + kJpegLike.size() + 2 + 40;
  EXPECT_EQ(toBytes(std::span(file).subspan(secondPicture, kOther.size())), kOther);
  EXPECT_EQ(secondPicture + kOther.size() + 2 + 4, file.size());
}

TEST(PackageLayout, MusicNameAndBytesTakeSevenAndThirteenBytes) {
  Layout file;
  file.header(1, 2, 0x00332211, -1, 0).str("a.mid").byteArray({7, 8, 9}).empty();
  const Bytes bytes = file.finish();
  EXPECT_EQ(bytes.size(), 18u + 7 + 13 + 2 + 4);
  const PackageRecord r = readPackage(bytes);
  EXPECT_EQ(r.AreaColor, 0x00332211);
  EXPECT_EQ(r.HasSettings, -1);
  EXPECT_EQ(r.BgmName, "a.mid");
  EXPECT_EQ(toBytes(r.BgmData.data.bytes()), (Bytes{7, 8, 9}));
  EXPECT_EQ(r.Pictures.shape.dimensions, 0);
  EXPECT_TRUE(r.Pictures.entries.empty());
  EXPECT_EQ(r.PackageLength, 18 + 7 + 13 + 2 + 4);
}

TEST(PackageLayout, WriterProducesTheSameBytes) {
  const Bytes file = twoSlideFile();
  const PackageReading reading = inspectPackage(file);
  EXPECT_EQ(writePackage(reading.record), Bytes(file.begin() + kPlayer.size(), file.end()));
}

TEST(PackageLayout, LowerBoundsAndEmptyOneDimensionalArraysAreKept) {
  Layout file;
  file.header(4, 4, 0, 0, 1).str("").array(0, 3).array(1, -5);
  file.str("x").str("s").i32(1).i32(2).i32(3).i32(35).i32(30).i16(1).i16(-1);
  file.array(1, 9).raw({0xAA}).array(0, 0);
  const Bytes bytes = file.finish();
  const PackageReading reading = inspectPackage(bytes);
  ASSERT_TRUE(reading.wellFormed());
  const PackageRecord& r = reading.record;
  EXPECT_EQ(r.BgmData.shape.dimensions, 1);
  EXPECT_EQ(r.BgmData.shape.lowerBound, 3);
  EXPECT_EQ(r.Pictures.shape.lowerBound, -5);
  EXPECT_FALSE(r.Pictures.contains(0));
  const PictureEntry& e = r.Pictures.at(-5);
  EXPECT_EQ(e.FileData.shape.lowerBound, 9);
  EXPECT_EQ(e.SoundData.shape.dimensions, 1);
  EXPECT_EQ(e.Overlay, 1);
  EXPECT_EQ(e.Transparent, -1);
  EXPECT_EQ(writePackage(r), bytes);
}

// A source file held in memory, which counts the reads that reach it.
class MemorySourceFile final : public SourceFile {
 public:
  explicit MemorySourceFile(Bytes bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t size() const override { return bytes_.size(); }
  std::intptr_t handle() const override { return -1; }
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    ++reads;
    if (offset > bytes_.size() || out.size() > bytes_.size() - offset) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), out.size(), out.begin());
    return true;
  }
  void release(std::uint64_t, std::uint64_t) const override {}
  mutable int reads = 0;

 private:
  Bytes bytes_;
};

TEST(PackageFile, ByteArraysAreRangesReadOnlyWhenAskedForAndTheyOutliveTheRecord) {
  auto file = std::make_shared<MemorySourceFile>(twoSlideFile());
  ByteBuffer picture;
  {
    const PackageReading reading = inspectPackage(file);
    ASSERT_TRUE(reading.wellFormed());
    EXPECT_EQ(reading.record.Pictures.at(0).FileName, "0");
    picture = reading.record.Pictures.at(1).FileData.data;
  }
  EXPECT_EQ(picture.sourceFile(), file.get());
  const int readsOfTheFields = file->reads;
  const std::weak_ptr<MemorySourceFile> watch = file;
  file.reset();
  EXPECT_FALSE(watch.expired()) << "the byte array keeps its file open";
  EXPECT_EQ(toBytes(picture.bytes()), kOther);
  EXPECT_EQ(watch.lock()->reads, readsOfTheFields + 1);
  // A file that could not be opened gives an empty record.
  EXPECT_FALSE(inspectPackage(std::shared_ptr<const SourceFile>()).opened);
  EXPECT_EQ(readPackage(std::shared_ptr<const SourceFile>()).PictureCount, 0);
}

// Every damaged shape gives the fields before the damage and empty values after it.
class DamagedPackage : public ::testing::Test {
 protected:
  static PackageReading read(const Bytes& file) { return inspectPackage(file); }
  static void expectEmpty(const PackageReading& reading) {
    EXPECT_FALSE(reading.found);
    EXPECT_EQ(reading.record.AreaWidth, 0);
    EXPECT_EQ(reading.record.PictureCount, 0);
    EXPECT_TRUE(reading.record.Pictures.entries.empty());
  }
};

TEST_F(DamagedPackage, ImplausibleTrailingLengthGivesAnEmptyRecord) {
  Bytes file = twoSlideFile();
  for (const std::int64_t length :
       {std::int64_t{0}, std::int64_t{-1}, static_cast<std::int64_t>(file.size()) + 1,
        std::int64_t{0x7FFFFFFF}}) {
    Layout tail;
    tail.i32(length);
    std::copy(tail.bytes.begin(), tail.bytes.end(), file.end() - 4);
    expectEmpty(read(file));
  }
  expectEmpty(read(Bytes{}));
  expectEmpty(read(Bytes{1, 0, 0}));
}

TEST_F(DamagedPackage, EveryCutKeepsTheFieldsBeforeIt) {
  const Bytes whole = twoSlideFile();
  const PackageRecord full = readPackage(whole);
  const Bytes record(whole.begin() + kPlayer.size(), whole.end() - 4);
  // Where the header and each entry's picture bytes end inside the record.
  const std::size_t headerEnd = 18;
  const std::size_t firstPictureEnd = 18 + 2 + 2 + 10 + 39 + kJpegLike.size();
  const std::size_t secondPictureEnd = firstPictureEnd + 2 + 40 + kOther.size();
  for (std::size_t cut = 0; cut < record.size(); ++cut) {
    // The file ends with a trailing length right after the cut; the reader takes those four
    // bytes as whatever field comes next, so only fields wholly before the cut are compared.
    Layout file;
    file.raw(Bytes(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(cut)));
    const Bytes bytes = file.finish();
    const PackageReading reading = read(bytes);
    const PackageRecord& r = reading.record;
    ASSERT_TRUE(reading.found) << cut;
    EXPECT_FALSE(reading.wellFormed()) << cut;
    EXPECT_LE(reading.end, bytes.size()) << cut;
    EXPECT_LE(r.Pictures.entries.size(), 2u) << cut;
    if (cut >= headerEnd) {
      EXPECT_EQ(r.AreaWidth, full.AreaWidth) << cut;
      EXPECT_EQ(r.PictureCount, full.PictureCount) << cut;
    }
    if (cut >= firstPictureEnd) {
      EXPECT_EQ(toBytes(r.Pictures.at(0).FileData.data.bytes()), kJpegLike) << cut;
    }
    if (cut >= secondPictureEnd) {
      EXPECT_EQ(r.Pictures.at(1).FileName, "10") << cut;
    }
  }
}

TEST_F(DamagedPackage, CutInsideThePictureBytesKeepsTheFieldsBeforeIt) {
  Layout file;
  file.header(250, 250, 0, 0, 2).str("").empty().array(2, 0).entry("0", 1, kJpegLike);
  file.str("1").str("").i32(500).i32(1).i32(2).i32(3).i32(0).i16(0).i16(0).array(1000, 0).raw(
      {1, 2});
  const PackageReading reading = read(file.finish());
  const PackageRecord& r = reading.record;
  EXPECT_FALSE(reading.complete);
  EXPECT_EQ(r.PictureCount, 2);
  ASSERT_EQ(r.Pictures.entries.size(), 2u);
  EXPECT_EQ(toBytes(r.Pictures.at(0).FileData.data.bytes()), kJpegLike);
  EXPECT_EQ(r.Pictures.at(1).FileName, "1");
  EXPECT_EQ(r.Pictures.at(1).ShowTime, 500);
  EXPECT_EQ(r.Pictures.at(1).EffectNo, 3);
  EXPECT_TRUE(r.Pictures.at(1).FileData.data.empty());
  EXPECT_EQ(r.Pictures.at(1).FileData.shape.dimensions, 0);
  EXPECT_EQ(r.PackageLength, 0);
}

TEST_F(DamagedPackage, CountsPastTheEndAllocateNothingForThem) {
  Layout music;
  music.header(1, 1, 0, 0, 0).str("m").array(0x7FFFFFFF, 0).raw({1, 2, 3});
  const PackageRecord withMusic = readPackage(music.finish());
  EXPECT_EQ(withMusic.BgmName, "m");
  EXPECT_TRUE(withMusic.BgmData.data.empty());

  Layout entries;
  entries.header(1, 1, 0, 0, 0x7FFFFFFF).str("").empty().array(0x7FFFFFFF, 0).entry("0", 0, kOther);
  const PackageRecord many = readPackage(entries.finish());
  EXPECT_EQ(many.PictureCount, 0x7FFFFFFF);
  EXPECT_LE(many.Pictures.entries.capacity(), 2u);
  ASSERT_EQ(many.Pictures.entries.size(), 2u);  // the one entry and the one cut short after it
  EXPECT_EQ(many.Pictures.at(0).FileName, "0");

  Layout name;
  name.header(1, 1, 0, 0, 0).i16(0xFFFF).raw({'a'});
  EXPECT_TRUE(readPackage(name.finish()).BgmName.empty());
}

TEST_F(DamagedPackage, OtherDimensionCountsAndNegativeCountsStopTheRead) {
  for (const int dimensions : {2, -1, 0x100}) {
    Layout file;
    file.header(7, 7, 0, 0, 1).str("b").i16(dimensions).i32(1).i32(0).raw({5}).empty();
    const PackageReading reading = read(file.finish());
    EXPECT_FALSE(reading.complete);
    EXPECT_EQ(reading.record.BgmName, "b");
    EXPECT_EQ(reading.record.BgmData.shape.dimensions, 0);
    EXPECT_TRUE(reading.record.Pictures.entries.empty());
  }
  Layout negative;
  negative.header(7, 7, 0, 0, 1).str("").empty().array(-1, 0);
  EXPECT_TRUE(readPackage(negative.finish()).Pictures.entries.empty());
}

TEST_F(DamagedPackage, PictureCountDifferingFromTheEntriesIsKeptButNotIndexedPast) {
  Layout file;
  file.header(1, 1, 0, 0, 5)
      .str("")
      .empty()
      .array(2, 0)
      .entry("0", 0, kOther)
      .entry("1", 0, kOther);
  const PackageReading reading = read(file.finish());
  EXPECT_TRUE(reading.complete);
  EXPECT_FALSE(reading.wellFormed());
  EXPECT_EQ(reading.record.PictureCount, 5);
  EXPECT_TRUE(reading.record.Pictures.contains(1));
  EXPECT_FALSE(reading.record.Pictures.contains(2));
  try {
    reading.record.Pictures.at(4);
    FAIL() << "index 4 was not read";
  } catch (const std::out_of_range& error) {
    EXPECT_NE(std::string(error.what()).find("index 4"), std::string::npos) << error.what();
  }
  EXPECT_EQ(writePackage(reading.record), Bytes(file.finish()));
}

TEST_F(DamagedPackage, RecordEndingBeforeTheLastFourBytesReadsTheFieldWhereItEnds) {
  Layout file;
  file.header(1, 1, 0, 0, 0).str("").empty().empty().i32(1234).raw({9, 9, 9, 9});
  const PackageReading reading = read(file.finish());
  EXPECT_TRUE(reading.complete);
  EXPECT_FALSE(reading.wellFormed());
  EXPECT_EQ(reading.record.PackageLength, 1234);
}

TEST(PackageWriter, RefusesWhatTheLayoutCannotHold) {
  PackageRecord r;
  r.BgmName.assign(70000, 'a');
  EXPECT_THROW(writePackage(r), std::length_error);
}

TEST(PackageWriter, AnArrayWithElementsGetsADescriptorWhateverItsShape) {
  PackageRecord r;
  r.BgmName = "m";
  r.BgmData.data = ByteBuffer(Bytes{1, 2});  // shape left at dimension count 0
  const PackageReading reading = inspectPackage(writePackage(r));
  ASSERT_TRUE(reading.wellFormed());
  EXPECT_EQ(toBytes(reading.record.BgmData.data.bytes()), (Bytes{1, 2}));
  EXPECT_EQ(reading.record.BgmData.shape.dimensions, 1);
}

}  // namespace
}  // namespace kamishibai
