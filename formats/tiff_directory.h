// Kamishibai: the image directories of the TIFF structure inside a JPEG's EXIF block, read with
// every offset checked against the block's end.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace kamishibai {

class TiffDirectories {
 public:
  // exif: the APP1 segment's data, starting with "Exif\0\0"; a block of another kind has no
  // directories.
  explicit TiffDirectories(std::span<const std::uint8_t> exif) {
    if (exif.size() < 14 || std::memcmp(exif.data(), "Exif\0\0", 6) != 0) return;
    tiff_ = exif.subspan(6);
    little_ = tiff_[0] == 'I' && tiff_[1] == 'I';
    if (!little_ && !(tiff_[0] == 'M' && tiff_[1] == 'M')) tiff_ = {};
  }

  // Where the TIFF structure starts in the block: offsets in it count from here.
  static constexpr std::uint64_t kTiffStart = 6;
  std::uint64_t size() const { return tiff_.size(); }

  // The offset of the first directory (IFD0), or of the one after directory (IFD1 after IFD0).
  std::optional<std::uint64_t> first() const { return offsetAt(4); }
  std::optional<std::uint64_t> next(std::uint64_t directory) const {
    const auto count = entryCount(directory);
    if (!count) return std::nullopt;
    const std::optional<std::uint64_t> after = offsetAt(directory + 2 + 12 * *count);
    return after && *after != 0 ? after : std::nullopt;
  }

  // The value of a SHORT or LONG tag in the directory.
  std::optional<std::uint32_t> value(std::uint64_t directory, std::uint16_t tag) const {
    const auto count = entryCount(directory);
    for (std::uint64_t i = 0; count && i < *count; ++i) {
      const std::uint64_t entry = directory + 2 + 12 * i;
      if (entry + 12 > tiff_.size()) return std::nullopt;
      if (u16(entry) != tag) continue;
      const std::uint32_t type = u16(entry + 2);
      if (type == 3) return u16(entry + 8);
      if (type == 4) return u32(entry + 8);
      return std::nullopt;
    }
    return std::nullopt;
  }

 private:
  std::optional<std::uint64_t> entryCount(std::uint64_t directory) const {
    if (directory + 2 > tiff_.size()) return std::nullopt;
    return u16(directory);
  }
  std::optional<std::uint64_t> offsetAt(std::uint64_t at) const {
    if (at + 4 > tiff_.size()) return std::nullopt;
    return u32(at);
  }
  std::uint32_t u16(std::uint64_t at) const {
    const std::uint8_t* b = &tiff_[at];
    return little_ ? static_cast<std::uint32_t>(b[1] << 8 | b[0])
                   : static_cast<std::uint32_t>(b[0] << 8 | b[1]);
  }
  std::uint32_t u32(std::uint64_t at) const {
    return little_ ? u16(at + 2) << 16 | u16(at) : u16(at) << 16 | u16(at + 2);
  }

  std::span<const std::uint8_t> tiff_;
  bool little_ = false;
};

}  // namespace kamishibai
