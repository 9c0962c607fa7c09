// Kamishibai: the picture package record appended to the saver's own file, its reader and its
// writer. All numbers are little-endian; fields follow each other without padding.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "formats/source_file.h"

namespace kamishibai {

// Bytes that stay valid for the life of the program: an owned buffer, a view on memory that
// keepAlive owns, or a range of an open file that is read only when asked for. Copies share the
// same bytes.
class ByteBuffer {
 public:
  ByteBuffer() = default;
  explicit ByteBuffer(std::vector<std::uint8_t> owned);
  ByteBuffer(std::shared_ptr<const void> keepAlive, const std::uint8_t* data, std::size_t size)
      : keepAlive_(std::move(keepAlive)), data_(data), size_(size) {}
  ByteBuffer(std::shared_ptr<const SourceFile> file, std::uint64_t offset, std::size_t size);

  // The bytes in memory. A file range is read in on the first call and then stays in memory as
  // long as the buffer; a file that no longer holds the range is a std::runtime_error.
  std::span<const std::uint8_t> bytes() const;
  const std::uint8_t* data() const { return bytes().data(); }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // The open file the bytes lie in and their offset there, while they have not been read in:
  // copying them from there never brings them into the program's memory. nullptr otherwise.
  const SourceFile* sourceFile() const;
  std::uint64_t sourceOffset() const;

  // True when both hold the same bytes; file ranges are compared piece by piece, not read in.
  bool sameBytesAs(const ByteBuffer& other) const;

 private:
  struct FileRange;
  // Copies out.size() bytes from offset on, from memory or from the file.
  bool readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

  std::shared_ptr<const void> keepAlive_;
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::shared_ptr<FileRange> range_;
};

// An array descriptor: a dimension count of 0 (empty, nothing follows) or 1 (element count and
// lower bound follow). The stored form is kept so that a package is written back byte for byte.
struct ArrayShape {
  std::int16_t dimensions = 0;
  std::int32_t lowerBound = 0;
};

struct ByteArray {
  ArrayShape shape;
  ByteBuffer data;
};

struct PictureEntry {
  std::string FileName;
  std::string SoundName;
  std::int32_t ShowTime = 0;
  std::int32_t PosX = 0;
  std::int32_t PosY = 0;
  std::int32_t EffectNo = 0;
  std::int32_t Speed = 0;
  std::int16_t Overlay = 0;
  std::int16_t Transparent = 0;
  ByteArray FileData;
  ByteArray SoundData;
};

// The picture entries with the lower bound stored in the package; indices are checked against
// the entries actually read.
struct PictureArray {
  ArrayShape shape;
  std::vector<PictureEntry> entries;

  bool contains(std::int32_t index) const;
  // The entry with that index counted from the lower bound; an index outside the entries read is
  // a std::out_of_range error that names the index.
  const PictureEntry& at(std::int32_t index) const;
};

struct PackageRecord {
  std::int32_t AreaWidth = 0;
  std::int32_t AreaHeight = 0;
  std::int32_t AreaColor = 0;
  std::int16_t HasSettings = 0;
  std::int32_t PictureCount = 0;
  std::string BgmName;
  ByteArray BgmData;
  PictureArray Pictures;
  std::int32_t PackageLength = 0;
};

// Reads the package at the end of the file. A missing file (nullptr), a file without a package or
// a damaged package give the fields that could be read and empty values for the rest; the reader
// never reads beyond the file and never fails. Only the fields around the byte arrays are read:
// the byte arrays are ranges of the file, which stays open as long as any of them is alive.
PackageRecord readPackage(std::shared_ptr<const SourceFile> ownFile);
// The same from bytes already in memory (the fuzzer and the tests use it); the byte arrays are
// copies.
PackageRecord readPackage(std::span<const std::uint8_t> file);

// A read together with what the tools need to know about the package's state.
struct PackageReading {
  PackageRecord record;
  bool opened = false;  // the file could be opened (always true for bytes in memory)
  bool found = false;   // the last four bytes give a length P with 0 < P <= the file length
  std::size_t fileSize = 0;
  std::size_t start = 0;  // where the package starts: the file length minus P
  std::size_t end = 0;    // just past the last field read
  bool complete = false;  // every field, PackageLength included, was read

  // Read to the end, ending exactly at the end of the file, with PackageLength equal to P: the
  // writer gives back the same bytes.
  bool intact() const;
  // Intact, and PictureCount equal to the number of entries: what the packer makes.
  bool wellFormed() const;
};
PackageReading inspectPackage(std::shared_ptr<const SourceFile> file);
PackageReading inspectPackage(std::span<const std::uint8_t> file);

// The package's bytes, PackageLength included (written as the actual length of the bytes). An
// empty array is written with dimension count 0 only when its shape says so. A package that
// cannot be represented (a string over 65,535 bytes, a package over 2 GiB) is a
// std::length_error.
std::vector<std::uint8_t> writePackage(const PackageRecord& record);
// The same, streamed, for packages too large to hold twice in memory.
void writePackage(const PackageRecord& record, std::ostream& out);
// Streamed, with the bytes of each byte array written by writeBytes when the package reaches
// it (the music, then each entry's picture and sound), so that a caller holds one file at a time;
// it must write exactly array.data.size() bytes.
using ByteArrayWriter = std::function<void(const ByteArray& array, std::ostream& out)>;
void writePackage(const PackageRecord& record, std::ostream& out,
                  const ByteArrayWriter& writeBytes);

}  // namespace kamishibai
