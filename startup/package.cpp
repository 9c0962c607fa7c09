// Kamishibai: reading the picture package from the end of the own file. The reader trusts
// nothing it reads: every count is checked against the bytes that remain, and the first field
// that cannot be read ends the read with the rest left empty.
#include <algorithm>
#include <stdexcept>

#include "platform/mapped_file.h"
#include "startup/package.h"

namespace kamishibai {

ByteBuffer::ByteBuffer(std::vector<std::uint8_t> owned) {
  auto holder = std::make_shared<const std::vector<std::uint8_t>>(std::move(owned));
  data_ = holder->data();
  size_ = holder->size();
  keepAlive_ = std::move(holder);
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

// Reads little-endian values from the front of a span; a read that does not fit leaves the
// position where it was and reports false.
class Cursor {
 public:
  explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t position() const { return position_; }
  std::size_t remaining() const { return bytes_.size() - position_; }

  bool take(std::size_t count, std::span<const std::uint8_t>& out) {
    if (count > remaining()) return false;
    out = bytes_.subspan(position_, count);
    position_ += count;
    return true;
  }
  bool int16(std::int16_t& out) {
    std::span<const std::uint8_t> b;
    if (!take(2, b)) return false;
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
    std::span<const std::uint8_t> b;
    if (!take(4, b)) return false;
    out = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
        static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
    return true;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Reads the record field by field. Each reader stores into its field only what it could read in
// full, and returns false at the first field that cannot be read.
class PackageParser {
 public:
  // keepAlive: the owner of the bytes, when byte arrays may be views on them; nullptr makes them
  // copies.
  PackageParser(std::span<const std::uint8_t> package, std::shared_ptr<const void> keepAlive)
      : cursor_(package), keepAlive_(std::move(keepAlive)) {}

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
    std::span<const std::uint8_t> text;
    if (!cursor_.uint16(length) || !cursor_.take(length, text)) return false;
    out.assign(text.begin(), text.end());
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
    std::span<const std::uint8_t> bytes;
    if (!descriptor(read.shape, count) || !cursor_.take(static_cast<std::size_t>(count), bytes)) {
      return false;
    }
    read.data = keepAlive_ ? ByteBuffer(keepAlive_, bytes.data(), bytes.size())
                           : ByteBuffer(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
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
  std::shared_ptr<const void> keepAlive_;
};

std::int32_t trailingLength(std::span<const std::uint8_t> file) {
  std::int32_t length = 0;
  Cursor(file.last(4)).int32(length);
  return length;
}

PackageReading inspect(std::span<const std::uint8_t> file, std::shared_ptr<const void> keepAlive) {
  PackageReading reading;
  reading.opened = true;
  reading.fileSize = file.size();
  if (file.size() < 4) return reading;
  const std::int32_t length = trailingLength(file);
  if (length <= 0 || static_cast<std::size_t>(length) > file.size()) return reading;
  reading.found = true;
  reading.start = file.size() - static_cast<std::size_t>(length);
  PackageParser parser(file.subspan(reading.start), std::move(keepAlive));
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
  return inspect(file, nullptr);
}

PackageReading inspectPackage(const std::filesystem::path& file) {
  auto mapping = MappedFile::open(file);
  if (!mapping) return {};
  const auto bytes = mapping->bytes();
  return inspect(bytes, std::move(mapping));
}

PackageRecord readPackage(const std::filesystem::path& ownFile) {
  return inspectPackage(ownFile).record;
}

PackageRecord readPackage(std::span<const std::uint8_t> file) {
  return inspectPackage(file).record;
}

}  // namespace kamishibai
