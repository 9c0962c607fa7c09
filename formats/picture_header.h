// Kamishibai: the size and orientation of a picture read from its header alone, so that a
// picture too large to decode is refused before any pixel is decoded. Plain C++ for every system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace kamishibai {

// The largest picture the packer and the player accept: a side, and the pixel count.
constexpr std::int64_t kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = 100'000'000;

enum class PictureFormat { Jpeg, Png, Gif, Bmp, Webp };

struct PictureHeader {
  std::int64_t width = 0;  // as stored, before any orientation is applied
  std::int64_t height = 0;
  int orientation = 1;  // the EXIF orientation, 1 to 8; 1 when there is none
  PictureFormat format = PictureFormat::Jpeg;
  // JPEG: the bytes up to where the image data starts, all a decoder reads before its pixels.
  std::uint64_t headerBytes = 0;
  // JPEG: where the data of the EXIF segment (APP1, from "Exif\0\0") lies; size 0 without one.
  std::uint64_t exifOffset = 0;
  std::uint64_t exifSize = 0;

  // Orientations 5 to 8 turn the picture a quarter, so its upright width is the stored height.
  bool turnsQuarter() const { return orientation >= 5 && orientation <= 8; }
  // Every player reads these formats as they are; others are converted when packed.
  bool everyPlayerReads() const { return format != PictureFormat::Webp; }
};

// Reads up to out.size() bytes at offset; returns how many it read (fewer at the end).
using ByteReader = std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> out)>;

// The header of a JPEG, PNG, GIF, BMP or WebP picture; nullopt for any other or a damaged header.
std::optional<PictureHeader> readPictureHeader(const ByteReader& read);
std::optional<PictureHeader> readPictureHeader(std::span<const std::uint8_t> bytes);
std::optional<PictureHeader> readPictureFileHeader(const std::filesystem::path& file);

// Why a picture of that size is refused ("20000 x 20000 pixels, more than ..."), or empty.
std::string pictureSizeProblem(const PictureHeader& header);

// Why the picture's data is cut short, read through to its end without decoding: a JPEG whose
// last scan is not followed by its end-of-image marker, a PNG that ends before its IEND chunk.
// Empty when it is complete, and for the other formats.
std::string pictureDataProblem(const ByteReader& read, PictureFormat format);
std::string pictureFileDataProblem(const std::filesystem::path& file, PictureFormat format);

}  // namespace kamishibai
