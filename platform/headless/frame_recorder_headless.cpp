// Kamishibai: the frame recorder.
#include "platform/headless/frame_recorder_headless.h"

#include <cstdio>
#include <stdexcept>

namespace kamishibai {

FrameRecorder::FrameRecorder(Surface& display, Sink sink)
    : display_(display), sink_(std::move(sink)) {
  display_.setRefreshHook([this](const ChangedArea&) { sink_(display_, count_++); });
}

FrameRecorder::~FrameRecorder() {
  display_.setRefreshHook(nullptr);
}

std::string frameFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%04d.png", index);
  return name;
}

}  // namespace kamishibai
