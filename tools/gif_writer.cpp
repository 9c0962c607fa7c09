// Kamishibai: the GIF writer: a 6 x 7 x 6 colour cube and LZW-compressed frames.
#include "tools/gif_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "base/file_names.h"
#include "tools/frame_scaling.h"

namespace kamishibai {
namespace {

constexpr int kRedLevels = 6, kGreenLevels = 7, kBlueLevels = 6;
constexpr int kMinCodeSize = 8;
constexpr int kMaxCodes = 4096;
constexpr int kShortestDelayCs = 2;

std::uint8_t level(std::uint32_t value, int levels) {
  return static_cast<std::uint8_t>((value * static_cast<std::uint32_t>(levels - 1) + 127) / 255);
}

std::uint8_t paletteIndex(Colour c) {
  const std::uint8_t r = level(c & 0xFF, kRedLevels), g = level(c >> 8 & 0xFF, kGreenLevels),
                     b = level(c >> 16 & 0xFF, kBlueLevels);
  return static_cast<std::uint8_t>((r * kGreenLevels + g) * kBlueLevels + b);
}

// Codes of variable width packed from the least significant bit, as GIF stores them.
class BitPacker {
 public:
  void put(std::uint32_t code, int width) {
    buffer_ |= code << bits_;
    bits_ += width;
    while (bits_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(buffer_ & 0xFF));
      buffer_ >>= 8;
      bits_ -= 8;
    }
  }
  std::vector<std::uint8_t> finish() {
    if (bits_ > 0) bytes_.push_back(static_cast<std::uint8_t>(buffer_ & 0xFF));
    return std::move(bytes_);
  }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint32_t buffer_ = 0;
  int bits_ = 0;
};

// GIF's LZW: 8-bit symbols, codes from 9 to 12 bits, a clear code when the table is full.
std::vector<std::uint8_t> lzwCompress(const std::vector<std::uint8_t>& symbols) {
  constexpr std::uint32_t clear = 1u << kMinCodeSize, end = clear + 1;
  // The table maps (prefix code, symbol) to a code; entries of an older generation are void,
  // which empties the table without clearing it.
  std::vector<std::uint16_t> codes(kMaxCodes * 256);
  std::vector<std::uint32_t> generations(kMaxCodes * 256, 0);
  std::uint32_t generation = 1;
  std::uint32_t nextCode = end + 1;
  int width = kMinCodeSize + 1;
  BitPacker out;
  out.put(clear, width);
  if (symbols.empty()) {
    out.put(end, width);
    return out.finish();
  }
  std::uint32_t prefix = symbols[0];
  for (std::size_t i = 1; i < symbols.size(); ++i) {
    const std::size_t key = prefix * 256u + symbols[i];
    if (generations[key] == generation) {
      prefix = codes[key];
      continue;
    }
    out.put(prefix, width);
    generations[key] = generation;
    codes[key] = static_cast<std::uint16_t>(nextCode++);
    // The reader adds its entries one code later, so the width grows once the table holds
    // more codes than the current width can express.
    if (nextCode > (1u << width) && width < 12) ++width;
    if (nextCode == kMaxCodes) {
      out.put(clear, width);
      ++generation;
      nextCode = end + 1;
      width = kMinCodeSize + 1;
    }
    prefix = symbols[i];
  }
  out.put(prefix, width);
  out.put(end, width);
  return out.finish();
}

void put16(std::ostream& file, std::int32_t value) {
  file.put(static_cast<char>(value & 0xFF));
  file.put(static_cast<char>(value >> 8 & 0xFF));
}

// A size that a GIF cannot hold is refused before anything is made.
const std::filesystem::path& checkedGif(const std::filesystem::path& path, std::int32_t width,
                                        std::int32_t height) {
  if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF) {
    throw std::runtime_error("cannot write " + utf8Of(path) + ": a GIF holds 1 to 65535 pixels " +
                             "per side, the pictures measure " + std::to_string(width) + " by " +
                             std::to_string(height));
  }
  return path;
}

}  // namespace

GifWriter::GifWriter(const std::filesystem::path& path, std::int32_t frameWidth,
                     std::int32_t frameHeight, std::int32_t maxWidth)
    : file_(checkedGif(path, std::min(frameWidth, maxWidth), frameHeight), ExistingTarget::Replace),
      out_(file_.stream()),
      width_(std::min(frameWidth, maxWidth)),
      height_(width_ == frameWidth ? frameHeight : scaledSide(frameHeight, width_, frameWidth)) {
  out_.write("GIF89a", 6);
  put16(out_, width_);
  put16(out_, height_);
  out_.put(static_cast<char>(0xF7));  // a global table of 256 colours
  out_.put(0);                        // background colour index
  out_.put(0);                        // no aspect ratio
  for (int i = 0; i < 256; ++i) {
    const int r = i / (kGreenLevels * kBlueLevels), g = i / kBlueLevels % kGreenLevels,
              b = i % kBlueLevels;
    const bool inCube = r < kRedLevels;
    out_.put(static_cast<char>(inCube ? r * 255 / (kRedLevels - 1) : 0));
    out_.put(static_cast<char>(inCube ? g * 255 / (kGreenLevels - 1) : 0));
    out_.put(static_cast<char>(inCube ? b * 255 / (kBlueLevels - 1) : 0));
  }
  // Loop forever.
  out_.write("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
}

std::vector<std::uint8_t> GifWriter::indexed(const Surface& frame) const {
  std::vector<std::uint8_t> indices;
  indices.reserve(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
  const Surface scaled = scaledDown(frame, width_, height_);
  for (std::int32_t y = 0; y < height_; ++y) {
    for (std::int32_t x = 0; x < width_; ++x) indices.push_back(paletteIndex(scaled.pixel(x, y)));
  }
  return indices;
}

void GifWriter::addFrame(const Surface& frame, double atMs) {
  if (pending_) {
    const auto delayCs =
        static_cast<std::int32_t>(std::lround(atMs / 10) - std::lround(pending_->atMs / 10));
    if (delayCs >= kShortestDelayCs) {
      writeFrame(pending_->indices, delayCs);
      pending_->atMs = atMs;
    }
    pending_->indices = indexed(frame);
  } else {
    pending_ = Pending{indexed(frame), atMs};
  }
}

void GifWriter::finish(double holdMs) {
  if (pending_) {
    writeFrame(pending_->indices, static_cast<std::int32_t>(std::lround(holdMs / 10)));
    pending_.reset();
  }
  out_.put(0x3B);
  file_.commit();
}

void GifWriter::writeFrame(const std::vector<std::uint8_t>& indices, std::int32_t delayCs) {
  out_.write("\x21\xF9\x04\x04", 4);  // graphic control: keep the frame in place
  put16(out_, std::min(delayCs, 0xFFFF));
  out_.put(0);
  out_.put(0);
  out_.put(0x2C);  // image descriptor: the whole screen, no local table
  put16(out_, 0);
  put16(out_, 0);
  put16(out_, width_);
  put16(out_, height_);
  out_.put(0);
  out_.put(kMinCodeSize);
  const std::vector<std::uint8_t> data = lzwCompress(indices);
  imageBytes_ += data.size();
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::size_t size = std::min<std::size_t>(255, data.size() - at);
    out_.put(static_cast<char>(size));
    out_.write(reinterpret_cast<const char*>(data.data() + at), static_cast<std::streamsize>(size));
  }
  out_.put(0);
}

}  // namespace kamishibai
