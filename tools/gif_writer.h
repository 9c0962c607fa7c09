// Kamishibai: a small animated-GIF writer with a fixed palette, so that a user can watch a
// rendered transition at its real pace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "raster/raster.h"

namespace kamishibai {

// Frames arrive with the time at which they appear; each is written once the next one shows
// how long it lasts. A frame shorter than the two centiseconds that viewers honour is replaced
// by the frame that follows it, so the animation keeps its overall pace.
class GifWriter {
 public:
  // Opens the file for frames of the given size; throws std::runtime_error naming the file.
  GifWriter(const std::filesystem::path& path, std::int32_t width, std::int32_t height);

  void addFrame(const Surface& frame, double atMs);
  // Writes the last frame, shown for holdMs, and the trailer.
  void finish(double holdMs);

 private:
  struct Pending {
    std::vector<std::uint8_t> indices;
    double atMs;
  };
  void writeFrame(const std::vector<std::uint8_t>& indices, std::int32_t delayCs);
  std::vector<std::uint8_t> indexed(const Surface& frame) const;

  std::filesystem::path path_;
  std::ofstream file_;
  std::int32_t width_;
  std::int32_t height_;
  std::optional<Pending> pending_;
};

}  // namespace kamishibai
