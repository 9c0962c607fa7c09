// Kamishibai: writing the picture package, the exact inverse of the reader.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>

#include "formats/package.h"

namespace kamishibai {
namespace {

using Sink = std::function<void(std::span<const std::uint8_t>)>;

std::uint64_t stringSize(const std::string& text) {
  if (text.size() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::length_error("a stored name is longer than 65,535 bytes: " + text.substr(0, 40));
  }
  return 2 + text.size();
}

// Dimension count 0 only for an empty array whose shape says so; any array with elements needs
// the count and lower bound.
bool writesDescriptorOnly(const ArrayShape& shape, std::size_t count) {
  return count == 0 && shape.dimensions == 0;
}

std::uint64_t arraySize(const ArrayShape& shape, std::size_t count, std::uint64_t elementBytes) {
  if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("an array holds more than 2^31 - 1 elements");
  }
  return writesDescriptorOnly(shape, count) ? 2 : 10 + elementBytes;
}

std::uint64_t byteArraySize(const ByteArray& array) {
  return arraySize(array.shape, array.data.size(), array.data.size());
}

std::uint64_t entrySize(const PictureEntry& e) {
  return stringSize(e.FileName) + stringSize(e.SoundName) + 5 * 4 + 2 * 2 +
         byteArraySize(e.FileData) + byteArraySize(e.SoundData);
}

std::uint64_t packageSize(const PackageRecord& r) {
  std::uint64_t entries = 0;
  for (const PictureEntry& e : r.Pictures.entries) entries += entrySize(e);
  return 18 + stringSize(r.BgmName) + byteArraySize(r.BgmData) +
         arraySize(r.Pictures.shape, r.Pictures.entries.size(), entries) + 4;
}

class PackageEmitter {
 public:
  PackageEmitter(Sink sink, std::function<void(const ByteArray&)> arrayBytes)
      : sink_(std::move(sink)), arrayBytes_(std::move(arrayBytes)) {}

  void record(const PackageRecord& r, std::int32_t packageLength) {
    int32(r.AreaWidth);
    int32(r.AreaHeight);
    int32(r.AreaColor);
    int16(r.HasSettings);
    int32(r.PictureCount);
    string(r.BgmName);
    byteArray(r.BgmData);
    if (descriptor(r.Pictures.shape, r.Pictures.entries.size())) {
      for (const PictureEntry& e : r.Pictures.entries) entry(e);
    }
    int32(packageLength);
  }

 private:
  void entry(const PictureEntry& e) {
    string(e.FileName);
    string(e.SoundName);
    int32(e.ShowTime);
    int32(e.PosX);
    int32(e.PosY);
    int32(e.EffectNo);
    int32(e.Speed);
    int16(e.Overlay);
    int16(e.Transparent);
    byteArray(e.FileData);
    byteArray(e.SoundData);
  }

  void int16(std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)};
    sink_(b);
  }
  void int32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                               static_cast<std::uint8_t>(u >> 16),
                               static_cast<std::uint8_t>(u >> 24)};
    sink_(b);
  }
  void string(const std::string& text) {
    int16(static_cast<std::int16_t>(static_cast<std::uint16_t>(text.size())));
    sink_({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  }
  // Writes the descriptor; true when elements follow it.
  bool descriptor(const ArrayShape& shape, std::size_t count) {
    if (writesDescriptorOnly(shape, count)) {
      int16(0);
      return false;
    }
    int16(1);
    int32(static_cast<std::int32_t>(count));
    int32(shape.lowerBound);
    return true;
  }
  void byteArray(const ByteArray& array) {
    if (descriptor(array.shape, array.data.size())) arrayBytes_(array);
  }

  Sink sink_;
  std::function<void(const ByteArray&)> arrayBytes_;
};

std::int32_t checkedPackageLength(const PackageRecord& record) {
  const std::uint64_t size = packageSize(record);
  if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("the package would be larger than 2 GiB");
  }
  return static_cast<std::int32_t>(size);
}

}  // namespace

std::vector<std::uint8_t> writePackage(const PackageRecord& record) {
  const std::int32_t length = checkedPackageLength(record);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  std::size_t filled = 0;
  const Sink sink = [&](std::span<const std::uint8_t> b) {
    std::copy(b.begin(), b.end(), bytes.begin() + static_cast<std::ptrdiff_t>(filled));
    filled += b.size();
  };
  PackageEmitter(sink, [&](const ByteArray& array) {
    sink(array.data.bytes());
  }).record(record, length);
  return bytes;
}

void writePackage(const PackageRecord& record, std::ostream& out) {
  writePackage(record, out, [](const ByteArray& array, std::ostream& to) {
    to.write(reinterpret_cast<const char*>(array.data.data()),
             static_cast<std::streamsize>(array.data.size()));
  });
}

void writePackage(const PackageRecord& record, std::ostream& out,
                  const ByteArrayWriter& writeBytes) {
  const std::int32_t length = checkedPackageLength(record);
  PackageEmitter(
      [&](std::span<const std::uint8_t> b) {
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
      },
      [&](const ByteArray& array) { writeBytes(array, out); })
      .record(record, length);
}

}  // namespace kamishibai
