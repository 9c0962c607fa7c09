// Kamishibai: puts parts of a surface's image straight onto an X window: read in place from
// shared memory the server has attached where the surface's words are kept there, else sent
// through the connection.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <gdk/gdk.h>

#include <map>
#include <memory>
#include <memory_resource>
#include <span>

#include "raster/raster.h"

namespace kamishibai {

// Memory for pixel words in shared memory segments that the X server has attached, one per
// allocation; where the server refuses a segment, the heap. It lives as long as the process, so
// that a surface placed in it may outlive every window.
class SharedWordMemory : public std::pmr::memory_resource {
 public:
  // The memory of the display, or null when its server cannot attach this process's segments
  // (not on this machine, or without the extension).
  static SharedWordMemory* of(GdkDisplay* display);
  // The segment that begins at `words`, or null when they are not at the start of one.
  const XShmSegmentInfo* segmentAt(const void* words) const;

 private:
  explicit SharedWordMemory(GdkDisplay* display) : display_(display) {}
  void* do_allocate(std::size_t bytes, std::size_t alignment) override;
  void do_deallocate(void* words, std::size_t bytes, std::size_t alignment) override;
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
  // A new segment of `bytes`, attached by the server; null when any part fails.
  void* attachedSegment(std::size_t bytes);

  GdkDisplay* display_;
  std::map<const void*, XShmSegmentInfo> segments_;
  // Cleared by the first refused segment: the heap from then on.
  bool serverAttaches_ = true;
};

class XImagePresenter {
 public:
  enum class Transport { SharedMemory, Connection };

  // A presenter for `window`, or null when the window's visual does not take a surface's pixel
  // words as they are (24-bit true colour in 32-bit words, red in bits 16 to 23).
  static std::unique_ptr<XImagePresenter> create(GdkDisplay* display, Window window);
  ~XImagePresenter();
  XImagePresenter(const XImagePresenter&) = delete;
  XImagePresenter& operator=(const XImagePresenter&) = delete;

  // Puts the `parts` of `picture` into the window with the picture's top-left corner at `at`,
  // and returns once the server has drawn them, so the pixels are on screen and the picture may
  // be drawn on again. What lies outside the picture is left alone.
  void put(const Surface& picture, std::span<const PixelRect> parts, Point at = {});
  // How the last put reached the server.
  Transport transport() const { return transport_; }

 private:
  XImagePresenter(GdkDisplay* display, Window window, Visual* visual);

  GdkDisplay* gdkDisplay_;
  Display* display_;
  Window window_;
  Visual* visual_;
  GC gc_;
  SharedWordMemory* memory_;
  Transport transport_ = Transport::Connection;
};

}  // namespace kamishibai
