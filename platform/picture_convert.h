// Kamishibai: what the packer asks of the system's picture codecs: proving that a picture
// decodes, and fitting a picture to the picture area (upright, scaled, re-encoded).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "raster/raster.h"

namespace kamishibai {

enum class PictureFit {
  None,     // stored as it is, drawn at its own size
  Contain,  // scaled to fit inside the area keeping its proportions, centred
  Cover,    // scaled to fill the area keeping its proportions, the overflow cropped evenly
  Shrink,   // as Contain, but never enlarged
};

// Where a fitted picture of upright size width x height ends up: scaled to scaledWidth x
// scaledHeight, then the part from (cropX, cropY) of size width x height is kept.
struct FitGeometry {
  int scaledWidth = 0;
  int scaledHeight = 0;
  int cropX = 0;
  int cropY = 0;
  int width = 0;
  int height = 0;
};
FitGeometry fitGeometry(PictureFit fit, int width, int height, int areaWidth, int areaHeight);

// Where a fitted picture's side of the given length starts on an area's side: centred.
constexpr int centredOn(int areaSide, int side) {
  return (areaSide - side) / 2;
}

struct PictureFacts {
  std::string problem;  // empty when the picture decodes
  bool hasAlpha = false;
};

// Reads the header of a JPEG (its bytes up to the image data) through the decoder: proves that
// the decoder takes its tables and frame, without the cost of decoding its pixels. The decoder
// itself goes over damage in the image data.
PictureFacts checkJpegHeader(std::span<const std::uint8_t> headerBytes);

struct FitRequest {
  PictureFit fit = PictureFit::None;  // None converts at the picture's own (upright) size
  int areaWidth = 0;
  int areaHeight = 0;
  int orientation = 1;  // the EXIF orientation to apply, 1 to 8
  bool png = false;     // PNG (exact colours) rather than JPEG; pictures with alpha are PNG too
  int jpegQuality = 90;
};

struct FittedPicture {
  std::string problem;  // empty on success
  std::vector<std::uint8_t> bytes;
  bool png = false;
  int width = 0;  // of the stored picture
  int height = 0;
};

// Decodes, turns upright, scales with area filtering and encodes the picture as the request asks.
FittedPicture fitPicture(std::span<const std::uint8_t> bytes, const FitRequest& request);

// Fits the picture as fitPicture does, into target instead of encoding it (the request's png and
// jpegQuality play no part): why it cannot, or empty.
std::string fitPictureInto(std::span<const std::uint8_t> bytes, const FitRequest& request,
                           Surface& target);

// The file name endings of every picture format the codecs read, lower case, without the dot.
std::vector<std::string> pictureFileEndings();

}  // namespace kamishibai
