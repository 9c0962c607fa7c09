// Kamishibai: records every Refresh of a display surface as a frame, for rendering transitions
// to files and for tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/raster.h"

namespace kamishibai {

// While alive, hands the display's image to the sink at every Refresh, with the frame's index
// from 0. The display must outlive the recorder.
class FrameRecorder {
 public:
  using Sink = std::function<void(const Surface& frame, int index)>;
  FrameRecorder(Surface& display, Sink sink);
  ~FrameRecorder();
  FrameRecorder(const FrameRecorder&) = delete;
  FrameRecorder& operator=(const FrameRecorder&) = delete;

  int frameCount() const { return count_; }

 private:
  Surface& display_;
  Sink sink_;
  int count_ = 0;
};

// Writes the surface's image as a PNG file; throws std::runtime_error naming the file.
void writePng(const Surface& surface, const std::filesystem::path& path);

// The file name of frame `index`: frame-0000.png, frame-0001.png, ...
std::string frameFileName(int index);

}  // namespace kamishibai
