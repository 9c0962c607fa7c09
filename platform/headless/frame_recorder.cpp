// Kamishibai: the frame recorder and the PNG writer on cairo.
#include "platform/headless/frame_recorder.h"

#include <cstdio>
#include <stdexcept>

#include "platform/cairo/backend.h"

namespace kamishibai {

FrameRecorder::FrameRecorder(Surface& display, Sink sink)
    : display_(display), sink_(std::move(sink)) {
  display_.setRefreshHook([this] { sink_(display_, count_++); });
}

FrameRecorder::~FrameRecorder() {
  display_.setRefreshHook(nullptr);
}

void writePng(const Surface& surface, const std::filesystem::path& path) {
  cairo_surface_t* image = surface.backend().image.get();
  cairo_surface_flush(image);
  if (cairo_surface_write_to_png(image, path.c_str()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot write the picture " + path.string());
  }
}

std::string frameFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "frame-%04d.png", index);
  return name;
}

}  // namespace kamishibai
