// Kamishibai: records every Refresh of a display surface as a frame, for rendering transitions
// to files and for tests.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "raster/raster.h"

namespace kamishibai {

// While alive, it is the display's Refresh hook: it hands the display's image to the sink at
// every Refresh, whatever part changed, with the frame's index from 0, and leaves the display
// without a hook when it ends. The display must outlive the recorder.
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

// The file name of frame `index`: frame-0000.png, frame-0001.png, ...
std::string frameFileName(int index);

}  // namespace kamishibai
