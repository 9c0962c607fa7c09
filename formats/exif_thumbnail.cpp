// Kamishibai: finding the EXIF thumbnail of a JPEG.
#include "formats/exif_thumbnail.h"

#include <vector>

#include "formats/tiff_directory.h"

namespace kamishibai {

std::optional<ByteRange> findExifThumbnail(const PictureHeader& header, const ByteReader& read) {
  if (header.format != PictureFormat::Jpeg || header.exifSize == 0) return std::nullopt;
  std::vector<std::uint8_t> exif(header.exifSize);
  if (read(header.exifOffset, exif) != exif.size()) return std::nullopt;
  const TiffDirectories tiff(exif);
  const auto first = tiff.first();
  const auto second = first ? tiff.next(*first) : std::nullopt;
  if (!second) return std::nullopt;
  const auto start = tiff.value(*second, 0x0201);
  const auto length = tiff.value(*second, 0x0202);
  if (!start || !length || *length < 4 || std::uint64_t{*start} + *length > tiff.size())
    return std::nullopt;
  const std::uint64_t inBlock = TiffDirectories::kTiffStart + *start;
  if (exif[inBlock] != 0xFF || exif[inBlock + 1] != 0xD8) return std::nullopt;
  return ByteRange{header.exifOffset + inBlock, *length};
}

}  // namespace kamishibai
