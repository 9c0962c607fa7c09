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

}  // namespace kamishibai
