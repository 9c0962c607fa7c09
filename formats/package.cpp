// Kamishibai: reading the picture package from the end of the own file. The reader trusts
// nothing it reads: every count is checked against the bytes that remain, and the first field
// that cannot be read ends the read with the rest left empty.
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "formats/package.h"

namespace kamishibai {

struct ByteBuffer::FileRange {
  std::shared_ptr<const SourceFile> file;
  std::uint64_t offset = 0;
  std::optional<std::vector<std::uint8_t>> loaded;  // the bytes, once read in
};

ByteBuffer::ByteBuffer(std::vector<std::uint8_t> owned) {
  auto holder = std::make_shared<const std::vector<std::uint8_t>>(std::move(owned));
  data_ = holder->data();
  size_ = holder->size();
  keepAlive_ = std::move(holder);
}

ByteBuffer::ByteBuffer(std::shared_ptr<const SourceFile> file, std::uint64_t offset,
                       std::size_t size)
    : size_(size), range_(std::make_shared<FileRange>(FileRange{std::move(file), offset, {}})) {}

std::span<const std::uint8_t> ByteBuffer::bytes() const {
  if (!range_) return {data_, size_};
  if (!range_->loaded) {
    std::vector<std::uint8_t> loaded(size_);
    if (!range_->file->readAt(range_->offset, loaded)) {
      throw std::runtime_error("the file no longer holds the " + std::to_string(size_) +
                               " bytes at offset " + std::to_string(range_->offset));
    }
    range_->loaded = std::move(loaded);
  }
  return *range_->loaded;
}

const SourceFile* ByteBuffer::sourceFile() const {
  return range_ ? range_->file.get() : nullptr;
}

std::uint64_t ByteBuffer::sourceOffset() const {
  return range_ ? range_->offset : 0;
}

bool ByteBuffer::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (range_ && !range_->loaded) return range_->file->readAt(range_->offset + offset, out);
  const auto from = bytes().subspan(static_cast<std::size_t>(offset), out.size());
  std::copy(from.begin(), from.end(), out.begin());
  return true;
}

bool ByteBuffer::sameBytesAs(const ByteBuffer& other) const {
  if (size_ != other.size_) return false;
  constexpr std::size_t kPiece = 64 * 1024;
  std::vector<std::uint8_t> mine(std::min(size_, kPiece)), theirs(mine.size());
  for (std::size_t at = 0; at < size_; at += kPiece) {
    const std::size_t count = std::min(kPiece, size_ - at);
    const std::span<std::uint8_t> a(mine.data(), count), b(theirs.data(), count);
    if (!readAt(at, a) || !other.readAt(at, b) || !std::equal(a.begin(), a.end(), b.begin())) {
      return false;
    }
  }
  return true;
}

bool PictureArray::contains(std::int32_t index) const {
  const std::int64_t offset = static_cast<std::int64_t>(index) - shape.lowerBound;
  return offset >= 0 && offset < static_cast<std::int64_t>(entries.size());
}

const PictureEntry& PictureArray::at(std::int32_t index) const {
  if (!contains(index)) {
    throw std::out_of_range("picture index " + std::to_string(index) +
                            " is outside the entries read (" + std::to_string(entries.size()) +
                            " from " + std::to_string(shape.lowerBound) + ")");
  }
  return entries[static_cast<std::size_t>(static_cast<std::int64_t>(index) - shape.lowerBound)];
}

namespace {

// The fewest bytes a picture entry can take: two empty strings, five int32, two int16 and two
// empty arrays. Bounds how many entries a count may make the reader reserve.
constexpr std::size_t kSmallestEntryBytes = 2 + 2 + 5 * 4 + 2 * 2 + 2 + 2;

// Where the reader takes its bytes from: memory, or an open file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::uint64_t size() const = 0;
  // Copies out.size() bytes from offset on; false when they are not there.
  virtual bool read(std::uint64_t offset, std::span<std::uint8_t> out) = 0;
  // The byte array of that range: a copy of bytes in memory, a range of a file.
  virtual ByteBuffer array(std::uint64_t offset, std::size_t size) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint64_t size() const override { return bytes_.size(); }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    const auto from = bytes_.subspan(static_cast<std::size_t>(offset), out.size());
    std::copy(from.begin(), from.end(), out.begin());
    return true;
  }
  ByteBuffer array(std::uint64_t offset, std::size_t size) override {
    const auto from = bytes_.subspan(static_cast<std::size_t>(offset), size);
    return ByteBuffer(std::vector<std::uint8_t>(from.begin(), from.end()));
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

// Reads the small fields through a window of the file, so that a package of many entries takes a
// few reads per window rather than one per field; the byte arrays are never read.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::shared_ptr<const SourceFile> file) : file_(std::move(file)) {}
  std::uint64_t size() const override { return file_->size(); }
  bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
    if (out.size() > kWindowBytes) return file_->readAt(offset, out);
    if (offset < windowStart_ || offset + out.size() > windowStart_ + window_.size()) {
      window_.resize(static_cast<std::size_t>(
          std::min<std::uint64_t>(kWindowBytes, size() - std::min(offset, size()))));
      windowStart_ = offset;
      if (window_.size() < out.size() || !file_->readAt(offset, window_)) {
        window_.clear();
        return false;
      }
    }
    const auto from =
        std::span(window_).subspan(static_cast<std::size_t>(offset - windowStart_), out.size());
    std::copy(from.begin(), from.end(), out.begin());
    return true;
  }
  ByteBuffer array(std::uint64_t offset, std::size_t size) override {
    return ByteBuffer(file_, offset, size);
  }

 private:
  static constexpr std::size_t kWindowBytes = 64 * 1024;
  std::shared_ptr<const SourceFile> file_;
  std::vector<std::uint8_t> window_;
  std::uint64_t windowStart_ = 0;
};

// Reads little-endian values from the part of a source between a start and its end; a read that
// does not fit leaves the position where it was and reports false.
class Cursor {
 public:
  Cursor(ByteSource& source, std::uint64_t start) : source_(source), start_(start) {}

  std::size_t position() const { return static_cast<std::size_t>(position_); }
  std::uint64_t remaining() const { return source_.size() - start_ - position_; }

  bool read(std::span<std::uint8_t> out) {
    if (out.size() > remaining() || !source_.read(start_ + position_, out)) return false;
    position_ += out.size();
    return true;
  }
  // Passes over count bytes, giving the byte array they make.
  bool array(std::size_t count, ByteBuffer& out) {
    if (count > remaining()) return false;
    out = source_.array(start_ + position_, count);
    position_ += count;
    return true;
  }
  bool int16(std::int16_t& out) {
    std::uint8_t b[2];
    if (!read(b)) return false;
    out = static_cast<std::int16_t>(b[0] | b[1] << 8);
    return true;
  }
  bool uint16(std::uint16_t& out) {
    std::int16_t value = 0;
    if (!int16(value)) return false;
    out = static_cast<std::uint16_t>(value);
    return true;
  }
  bool int32(std::int32_t& out) {
    std::uint8_t b[4];
    if (!read(b)) return false;
    out = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
        static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }

 private:
  ByteSource& source_;
  std::uint64_t start_;
  std::uint64_t position_ = 0;
};

// Reads the record field by field. Each reader stores into its field only what it could read in
// full, and returns false at the first field that cannot be read.
class PackageParser {
 public:
  PackageParser(ByteSource& source, std::uint64_t start) : cursor_(source, start) {}

  std::size_t position() const { return cursor_.position(); }

  bool record(PackageRecord& r) {
    return cursor_.int32(r.AreaWidth) && cursor_.int32(r.AreaHeight) &&
           cursor_.int32(r.AreaColor) && cursor_.int16(r.HasSettings) &&
           cursor_.int32(r.PictureCount) && string(r.BgmName) && byteArray(r.BgmData) &&
           pictures(r.Pictures) && cursor_.int32(r.PackageLength);
  }

 private:
  bool string(std::string& out) {
    std::uint16_t length = 0;
    if (!cursor_.uint16(length)) return false;
    std::string text(length, '\0');
    if (!cursor_.read({reinterpret_cast<std::uint8_t*>(text.data()), text.size()})) return false;
    out = std::move(text);
    return true;
  }

  // The descriptor of an array; only dimension counts 0 and 1 exist, anything else is damage.
  bool descriptor(ArrayShape& shape, std::int32_t& count) {
    ArrayShape read;
    if (!cursor_.int16(read.dimensions)) return false;
    count = 0;
    if (read.dimensions == 1) {
      if (!cursor_.int32(count) || !cursor_.int32(read.lowerBound) || count < 0) return false;
    } else if (read.dimensions != 0) {
      return false;
    }
    shape = read;
    return true;
  }

  bool byteArray(ByteArray& out) {
    ByteArray read;
    std::int32_t count = 0;
    if (!descriptor(read.shape, count) ||
        !cursor_.array(static_cast<std::size_t>(count), read.data)) {
      return false;
    }
    out = std::move(read);
    return true;
  }

  bool entry(PictureEntry& e) {
    return string(e.FileName) && string(e.SoundName) && cursor_.int32(e.ShowTime) &&
           cursor_.int32(e.PosX) && cursor_.int32(e.PosY) && cursor_.int32(e.EffectNo) &&
           cursor_.int32(e.Speed) && cursor_.int16(e.Overlay) && cursor_.int16(e.Transparent) &&
           byteArray(e.FileData) && byteArray(e.SoundData);
  }

  // A damaged entry keeps the fields read before the damage and ends the array there.
  bool pictures(PictureArray& out) {
    std::int32_t count = 0;
    if (!descriptor(out.shape, count)) return false;
    out.entries.reserve(
        std::min(static_cast<std::size_t>(count), cursor_.remaining() / kSmallestEntryBytes));
    for (std::int32_t i = 0; i < count; ++i) {
      PictureEntry& e = out.entries.emplace_back();
      if (!entry(e)) return false;
    }
    return true;
  }

  Cursor cursor_;
};

PackageReading inspect(ByteSource& source) {
  PackageReading reading;
  reading.opened = true;
  reading.fileSize = static_cast<std::size_t>(source.size());
  if (source.size() < 4) return reading;
  Cursor trailer(source, source.size() - 4);
  std::int32_t length = 0;
  if (!trailer.int32(length) || length <= 0 || static_cast<std::uint64_t>(length) > source.size()) {
    return reading;
  }
  reading.found = true;
  reading.start = reading.fileSize - static_cast<std::size_t>(length);
  PackageParser parser(source, reading.start);
  reading.complete = parser.record(reading.record);
  reading.end = reading.start + parser.position();
  return reading;
}

}  // namespace

bool PackageReading::intact() const {
  return complete && end == fileSize &&
         static_cast<std::int64_t>(record.PackageLength) == static_cast<std::int64_t>(end - start);
}

bool PackageReading::wellFormed() const {
  return intact() &&
         record.PictureCount == static_cast<std::int64_t>(record.Pictures.entries.size());
}

PackageReading inspectPackage(std::span<const std::uint8_t> file) {
  MemorySource source(file);
  return inspect(source);
}

PackageReading inspectPackage(std::shared_ptr<const SourceFile> file) {
  if (!file) return {};
  FileSource source(std::move(file));
  return inspect(source);
}

PackageRecord readPackage(std::shared_ptr<const SourceFile> ownFile) {
  return inspectPackage(std::move(ownFile)).record;
}

PackageRecord readPackage(std::span<const std::uint8_t> file) {
  return inspectPackage(file).record;
}

}  // namespace kamishibai
