// Kamishibai: picture headers of the common formats, read field by field through a reader that
// never hands out more than the file holds.
#include "formats/picture_header.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <vector>

#include "formats/tiff_directory.h"

namespace kamishibai {
namespace {

// The segments of a JPEG file walked before giving up; real files have a few dozen.
constexpr int kMaxJpegSegments = 4096;

class HeaderReader {
 public:
  explicit HeaderReader(const ByteReader& read) : read_(read) {}

  // Fills out from offset; false when the file ends first.
  template <std::size_t N>
  bool at(std::uint64_t offset, std::array<std::uint8_t, N>& out) const {
    return read_(offset, out) == N;
  }

 private:
  const ByteReader& read_;
};

std::uint32_t be16(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[0] << 8 | b[1]);
}
std::uint32_t le16(const std::uint8_t* b) {
  return static_cast<std::uint32_t>(b[1] << 8 | b[0]);
}
std::uint32_t be32(const std::uint8_t* b) {
  return be16(b) << 16 | be16(b + 2);
}
std::uint32_t le32(const std::uint8_t* b) {
  return le16(b + 2) << 16 | le16(b);
}
std::uint32_t le24(const std::uint8_t* b) {
  return le16(b) | static_cast<std::uint32_t>(b[2]) << 16;
}

// The orientation tag of the first image directory of an EXIF block, or 1.
int exifOrientation(std::span<const std::uint8_t> exif) {
  const TiffDirectories tiff(exif);
  const auto directory = tiff.first();
  const auto value = directory ? tiff.value(*directory, 0x0112) : std::nullopt;
  return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
}

bool isStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the segments to the start of the image data. The frame header gives the size; a file
// that ends before the image data still gives it, so that its size can be refused.
std::optional<PictureHeader> jpegHeader(const ByteReader& read) {
  PictureHeader header;
  bool framed = false;
  const auto found = [&]() -> std::optional<PictureHeader> {
    if (framed) return header;
    return std::nullopt;
  };
  const HeaderReader file(read);
  std::uint64_t offset = 2;
  for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
    std::array<std::uint8_t, 4> head{};
    if (!file.at(offset, head) || head[0] != 0xFF) return found();
    const std::uint8_t marker = head[1];
    if (marker == 0xFF) {  // fill byte before a marker
      ++offset;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // markers without a length
      offset += 2;
      continue;
    }
    const std::uint32_t length = be16(&head[2]);
    if (marker == 0xD9 || length < 2) return found();
    if (marker == 0xDA) {  // the image data follows this header
      if (framed) header.headerBytes = offset + 2 + length;
      return found();
    }
    if (isStartOfFrame(marker) && !framed) {
      std::array<std::uint8_t, 5> frame{};
      if (!file.at(offset + 4, frame)) return std::nullopt;
      header.height = be16(&frame[1]);
      header.width = be16(&frame[3]);
      framed = true;
    }
    if (marker == 0xE1 && header.exifSize == 0) {
      std::vector<std::uint8_t> exif(length - 2);
      if (read(offset + 4, exif) == exif.size() && TiffDirectories(exif).size() > 0) {
        header.orientation = exifOrientation(exif);
        header.exifOffset = offset + 4;
        header.exifSize = exif.size();
      }
    }
    offset += 2 + length;
  }
  return found();
}

std::optional<PictureHeader> pngHeader(const ByteReader& read) {
  std::array<std::uint8_t, 8> size{};
  if (!HeaderReader(read).at(16, size)) return std::nullopt;
  return PictureHeader{be32(&size[0]), be32(&size[4]), 1, PictureFormat::Png};
}

std::optional<PictureHeader> gifHeader(const ByteReader& read) {
  std::array<std::uint8_t, 4> size{};
  if (!HeaderReader(read).at(6, size)) return std::nullopt;
  return PictureHeader{le16(&size[0]), le16(&size[2]), 1, PictureFormat::Gif};
}

std::optional<PictureHeader> bmpHeader(const ByteReader& read) {
  std::array<std::uint8_t, 12> info{};
  if (!HeaderReader(read).at(14, info)) return std::nullopt;
  if (le32(&info[0]) == 12)
    return PictureHeader{le16(&info[4]), le16(&info[6]), 1, PictureFormat::Bmp};
  const auto height = static_cast<std::int32_t>(le32(&info[8]));
  const auto width = static_cast<std::int32_t>(le32(&info[4]));
  return PictureHeader{width < 0 ? -static_cast<std::int64_t>(width) : width,
                       height < 0 ? -static_cast<std::int64_t>(height) : height, 1,
                       PictureFormat::Bmp};
}

std::optional<PictureHeader> webpHeader(const ByteReader& read) {
  std::array<std::uint8_t, 18> chunk{};
  if (!HeaderReader(read).at(12, chunk)) return std::nullopt;
  if (std::memcmp(chunk.data(), "VP8X", 4) == 0) {
    return PictureHeader{le24(&chunk[12]) + 1, le24(&chunk[15]) + 1, 1, PictureFormat::Webp};
  }
  if (std::memcmp(chunk.data(), "VP8L", 4) == 0 && chunk[8] == 0x2F) {
    const std::uint32_t bits = le32(&chunk[9]);
    return PictureHeader{(bits & 0x3FFF) + 1, (bits >> 14 & 0x3FFF) + 1, 1, PictureFormat::Webp};
  }
  if (std::memcmp(chunk.data(), "VP8 ", 4) == 0 && chunk[11] == 0x9D && chunk[12] == 0x01 &&
      chunk[13] == 0x2A) {
    return PictureHeader{le16(&chunk[14]) & 0x3FFF, le16(&chunk[16]) & 0x3FFF, 1,
                         PictureFormat::Webp};
  }
  return std::nullopt;
}

// Reads a file front to back through a buffer, so that a scan over its bytes makes few reads.
class ByteCursor {
 public:
  ByteCursor(const ByteReader& read, std::uint64_t offset) : read_(read), offset_(offset) {}

  // The next byte; nullopt at the end of the file.
  std::optional<std::uint8_t> next() {
    if (at_ == filled_) {
      offset_ += filled_;
      filled_ = read_(offset_, buffer_);
      at_ = 0;
      if (filled_ == 0) return std::nullopt;
    }
    return buffer_[at_++];
  }
  // The offset of the byte next() gives next.
  std::uint64_t offset() const { return offset_ + at_; }

 private:
  const ByteReader& read_;
  std::uint64_t offset_;
  std::array<std::uint8_t, 1 << 16> buffer_{};
  std::size_t filled_ = 0;
  std::size_t at_ = 0;
};

// Past the image data of a scan, which ends at the first marker other than a restart marker
// (0xFF followed by 0x00 is a data byte): the offset of that marker, nullopt when the file ends.
std::optional<std::uint64_t> endOfScan(const ByteReader& read, std::uint64_t offset) {
  ByteCursor cursor(read, offset);
  bool afterFF = false;
  while (const auto byte = cursor.next()) {
    if (afterFF && *byte != 0x00 && *byte != 0xFF && (*byte < 0xD0 || *byte > 0xD7)) {
      return cursor.offset() - 2;
    }
    afterFF = *byte == 0xFF;
  }
  return std::nullopt;
}

// Segments and scans in turn until the end-of-image marker.
std::string jpegDataProblem(const ByteReader& read) {
  const HeaderReader file(read);
  std::uint64_t offset = 2;
  for (;;) {
    std::array<std::uint8_t, 2> marker{};
    if (!file.at(offset, marker) || marker[0] != 0xFF) break;
    if (marker[1] == 0xD9) return {};
    if (marker[1] == 0xFF) {  // fill byte before a marker
      ++offset;
      continue;
    }
    if (marker[1] == 0x01 || (marker[1] >= 0xD0 && marker[1] <= 0xD7)) {
      offset += 2;
      continue;
    }
    std::array<std::uint8_t, 2> length{};
    if (!file.at(offset + 2, length) || be16(length.data()) < 2) break;
    offset += 2 + be16(length.data());
    if (marker[1] == 0xDA) {
      const auto end = endOfScan(read, offset);
      if (!end) break;
      offset = *end;
    }
  }
  return "the JPEG file ends before its end-of-image marker: its image data is cut short";
}

std::string pngDataProblem(const ByteReader& read) {
  const HeaderReader file(read);
  for (std::uint64_t offset = 8;;) {
    std::array<std::uint8_t, 8> chunk{};
    std::array<std::uint8_t, 1> last{};
    if (!file.at(offset, chunk)) break;
    const std::uint64_t end = offset + 12 + be32(&chunk[0]);
    if (!file.at(end - 1, last)) break;
    if (std::memcmp(&chunk[4], "IEND", 4) == 0) return {};
    offset = end;
  }
  return "the PNG file ends before its IEND chunk";
}

ByteReader readerOf(std::ifstream& in) {
  return [&in](std::uint64_t offset, std::span<std::uint8_t> out) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<std::size_t>(in.gcount());
  };
}

}  // namespace

std::optional<PictureHeader> readPictureHeader(const ByteReader& read) {
  std::array<std::uint8_t, 12> magic{};
  const std::size_t got = read(0, magic);
  const auto starts = [&](const char* text, std::size_t at = 0) {
    const std::size_t length = std::strlen(text);
    return got >= at + length && std::memcmp(magic.data() + at, text, length) == 0;
  };
  if (got >= 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF) return jpegHeader(read);
  if (starts("\x89PNG\r\n\x1a\n")) return pngHeader(read);
  if (starts("GIF87a") || starts("GIF89a")) return gifHeader(read);
  if (starts("BM")) return bmpHeader(read);
  if (starts("RIFF") && starts("WEBP", 8)) return webpHeader(read);
  return std::nullopt;
}

std::optional<PictureHeader> readPictureHeader(std::span<const std::uint8_t> bytes) {
  return readPictureHeader([bytes](std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset >= bytes.size()) return std::size_t{0};
    const std::size_t count = std::min<std::uint64_t>(out.size(), bytes.size() - offset);
    std::memcpy(out.data(), bytes.data() + offset, count);
    return count;
  });
}

std::optional<PictureHeader> readPictureFileHeader(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  return readPictureHeader(readerOf(in));
}

std::string pictureSizeProblem(const PictureHeader& header) {
  const std::string size = std::to_string(header.width) + " x " + std::to_string(header.height);
  if (header.width > kMaxPictureSide || header.height > kMaxPictureSide) {
    return size + " pixels, more than " + std::to_string(kMaxPictureSide) + " a side";
  }
  if (header.width * header.height > kMaxPicturePixels) {
    return size + " pixels, more than " + std::to_string(kMaxPicturePixels / 1'000'000) +
           " megapixels";
  }
  return {};
}

std::string pictureDataProblem(const ByteReader& read, PictureFormat format) {
  if (format == PictureFormat::Jpeg) return jpegDataProblem(read);
  if (format == PictureFormat::Png) return pngDataProblem(read);
  return {};
}

std::string pictureFileDataProblem(const std::filesystem::path& file, PictureFormat format) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return "the file cannot be read";
  return pictureDataProblem(readerOf(in), format);
}

}  // namespace kamishibai
