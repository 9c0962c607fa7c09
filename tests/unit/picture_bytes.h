// Kamishibai: pictures for the tests made byte by byte: an EXIF orientation put into a JPEG, and
// headers that promise more pixels than the file holds.
#pragma once

#include <cstdint>
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

}  // namespace kamishibai
