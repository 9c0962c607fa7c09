// Kamishibai: a small animated-GIF writer with a fixed palette, so that a user can watch a
// rendered transition at its real pace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/output_file.h"
#include "raster/raster.h"

namespace kamishibai {

// Frames arrive with the time at which they appear; each is written once the next one shows
// how long it lasts. A frame shorter than the two centiseconds that viewers honour is replaced
// by the frame that follows it, so the animation keeps its overall pace.
class GifWriter {
 public:
  // Starts the file for frames of the given size, stored scaled down to at most maxWidth pixels
  // wide (each pixel the average of those it covers); throws std::runtime_error naming the file.
  // The file takes its name only when it is finished.
  GifWriter(const std::filesystem::path& path, std::int32_t frameWidth, std::int32_t frameHeight,
            std::int32_t maxWidth);

  void addFrame(const Surface& frame, double atMs);
  // Writes the last frame, shown for holdMs, and the trailer, and gives the file its name.
  void finish(double holdMs);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  // The compressed image data written so far, nearly all of the file.
  std::uint64_t imageBytes() const { return imageBytes_; }

 private:
  struct Pending {
    std::vector<std::uint8_t> indices;
    double atMs;
  };
  void writeFrame(const std::vector<std::uint8_t>& indices, std::int32_t delayCs);
  std::vector<std::uint8_t> indexed(const Surface& frame) const;

  OutputFile file_;
  std::ostream& out_;
  std::int32_t width_;
  std::int32_t height_;
  std::optional<Pending> pending_;
  std::uint64_t imageBytes_ = 0;
};

}  // namespace kamishibai
