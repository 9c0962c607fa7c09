// Kamishibai: the small JPEG a camera stores in the EXIF block of a photo (IFD1), found without
// decoding the photo: a quick thumbnail for a list of many photos.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "formats/picture_header.h"

namespace kamishibai {

struct ByteRange {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

// Where the EXIF thumbnail lies in the JPEG whose header was read: IFD1's JPEGInterchangeFormat
// and JPEGInterchangeFormatLength, checked to lie inside the EXIF block and to start with a
// JPEG's start-of-image marker. nullopt when it has none.
std::optional<ByteRange> findExifThumbnail(const PictureHeader& header, const ByteReader& read);

}  // namespace kamishibai
