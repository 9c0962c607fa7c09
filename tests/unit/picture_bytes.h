// Kamishibai: pictures for the tests made byte by byte: an EXIF orientation put into a JPEG, and
// headers that promise more pixels than the file holds.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kamishibai {

using PictureBytes = std::vector<std::uint8_t>;

// The JPEG with an EXIF block (big-endian, one tag: Orientation) right after its start marker.
inline PictureBytes withOrientation(const PictureBytes& jpeg, int orientation) {
  const std::uint8_t exif[] = {
      'E', 'x', 'i', 'f',  0,    0, 'M', 'M', 0, 0x2A, 0, 0, 0,
      8,   0,   1,   0x01, 0x12, 0, 3,   0,   0, 0,    1, 0, static_cast<std::uint8_t>(orientation),
      0,   0,   0,   0,    0,    0};
  const std::size_t length = sizeof exif + 2;
  PictureBytes out;
  out.reserve(jpeg.size() + length + 2);
  out.push_back(jpeg[0]);
  out.push_back(jpeg[1]);
  out.push_back(0xFF);
  out.push_back(0xE1);
  out.push_back(static_cast<std::uint8_t>(length >> 8));
  out.push_back(static_cast<std::uint8_t>(length & 0xFF));
  for (const std::uint8_t byte : exif) out.push_back(byte);
  for (std::size_t i = 2; i < jpeg.size(); ++i) out.push_back(jpeg[i]);
  return out;
}

// The segments of a baseline JPEG up to its image data, for width x height: a JFIF block, a
// quantisation table and the frame header, then the start of the scan and the end marker.
inline PictureBytes jpegHeaderOnly(std::uint16_t width, std::uint16_t height) {
  PictureBytes out;
  const auto add = [&out](std::initializer_list<int> bytes) {
    for (const int byte : bytes) out.push_back(static_cast<std::uint8_t>(byte));
  };
  add({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  add({0xFF, 0xDB, 0, 67, 0});
  for (int k = 0; k < 64; ++k) add({1});
  add({0xFF, 0xC0, 0, 17, 8, height >> 8, height & 0xFF, width >> 8, width & 0xFF, 3, 1, 0x22, 0, 2,
       0x11, 0, 3, 0x11, 0});
  add({0xFF, 0xDA, 0, 12, 3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0, 0xFF, 0xD9});
  return out;
}

// A PNG signature and IHDR chunk for width x height, and no pixels at all.
inline PictureBytes pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  const std::uint8_t start[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n',
                                0,    0,   0,   13,  'I',  'H',  'D',  'R'};
  PictureBytes out;
  for (const std::uint8_t byte : start) out.push_back(byte);
  for (const std::uint32_t value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8)
      out.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  for (const std::uint8_t byte : {8, 2, 0, 0, 0, 0, 0, 0, 0}) out.push_back(byte);
  return out;
}

// The JPEG with an EXIF block (little-endian) right after its start marker: IFD0 holds the
// orientation, IFD1 the camera's thumbnail (JPEGInterchangeFormat and its length). A thumbnail
// length above the thumbnail's size gives a damaged block.
inline PictureBytes withExifThumbnail(const PictureBytes& jpeg, const PictureBytes& thumbnail,
                                      int orientation, std::uint32_t statedLength = 0) {
  PictureBytes exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 0x2A, 0, 8, 0, 0, 0};
  const auto add16 = [&exif](std::uint32_t v) {
    exif.push_back(static_cast<std::uint8_t>(v));
    exif.push_back(static_cast<std::uint8_t>(v >> 8));
  };
  const auto add32 = [&](std::uint32_t v) {
    add16(v & 0xFFFF);
    add16(v >> 16);
  };
  const auto entry = [&](std::uint32_t tag, std::uint32_t type, std::uint32_t value) {
    add16(tag);
    add16(type);
    add32(1);
    add32(value);
  };
  add16(1);  // IFD0 at 8
  entry(0x0112, 3, static_cast<std::uint32_t>(orientation));
  add32(26);  // IFD1
  add16(2);
  entry(0x0201, 4, 56);
  entry(0x0202, 4, statedLength ? statedLength : static_cast<std::uint32_t>(thumbnail.size()));
  add32(0);
  for (const std::uint8_t byte : thumbnail) exif.push_back(byte);
  const std::size_t length = exif.size() + 2;
  PictureBytes out;
  out.reserve(jpeg.size() + length + 2);
  for (const std::uint8_t byte :
       {jpeg[0], jpeg[1], std::uint8_t{0xFF}, std::uint8_t{0xE1},
        static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF)})
    out.push_back(byte);
  for (const std::uint8_t byte : exif) out.push_back(byte);
  for (std::size_t i = 2; i < jpeg.size(); ++i) out.push_back(jpeg[i]);
  return out;
}

}  // namespace kamishibai
