// Kamishibai: test support for the stretching transitions: pictures whose every pixel names its
// position and its picture, a run that records the display at every Refresh, and a check of a
// recorded frame against the bands that should have been stretched onto it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <sstream>
#include <vector>

#include "effects/transition.h"
#include "platform/headless/virtual_event_loop.h"

namespace kamishibai::stretch_frames {

enum class Pic : std::uint32_t { Black = 0, Current = 1, Next = 2 };

// x in the low 12 bits, y in the next 10, the picture in the top 2: black is never a picture.
inline Colour encode(std::int32_t x, std::int32_t y, Pic pic) {
  return static_cast<Colour>(x) | static_cast<Colour>(y) << 12 | static_cast<Colour>(pic) << 22;
}

struct Decoded {
  std::int32_t x;
  std::int32_t y;
  Pic pic;
};

inline Decoded decode(Colour c) {
  return {static_cast<std::int32_t>(c & 0xFFF), static_cast<std::int32_t>(c >> 12 & 0x3FF),
          static_cast<Pic>(c >> 22 & 3)};
}

inline Surface codedPicture(std::int32_t w, std::int32_t h, Pic pic) {
  Surface s(w, h);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x) s.setPixel(x, y, encode(x, y, pic));
  return s;
}

inline Surface copyOf(const Surface& source) {
  Surface s(source.width(), source.height());
  s.copyFrom(source, 0, 0, 0, 0, source.width(), source.height());
  return s;
}

// A destination rectangle of a stretch, extents possibly zero or negative.
struct Band {
  std::int32_t x, y, w, h;
  Pic pic;
};

// One transition on a display that shows the current picture, with a frame kept per Refresh.
struct Recording {
  Recording(std::int32_t w, std::int32_t h)
      : display(codedPicture(w, h, Pic::Current)),
        current(codedPicture(w, h, Pic::Current)),
        next(codedPicture(w, h, Pic::Next)) {
    display.setRefreshHook([this] {
      frames.push_back(copyOf(display));
      ticks.push_back(events.now());
    });
  }

  void run(std::int32_t code) {
    TransitionContext context{display, current, next, events, endFlag, 1, random};
    findEffect(code)->run(context);
  }

  Surface display, current, next;
  VirtualEventLoop events;
  EndFlag endFlag = kFalse;
  RandomSequence random;
  std::vector<Surface> frames;
  std::vector<std::int32_t> ticks;
};

// Whether the source coordinate s may be what nearest-neighbour sampling picks for destination
// pixel d of a stretch of `extent` source pixels onto [from, from + length) (mirrored when length
// is negative): s must lie under the destination pixel's footprint.
inline bool underFootprint(std::int32_t s, std::int32_t d, std::int32_t from, std::int32_t length,
                           std::int32_t extent) {
  const double a = static_cast<double>(d - from) * extent / length;
  const double b = static_cast<double>(d + 1 - from) * extent / length;
  const double lo = std::max(std::floor(std::min(a, b)), 0.0);
  const double hi = std::min(std::ceil(std::max(a, b)) - 1, extent - 1.0);
  return s >= lo && s <= hi;
}

inline bool inside(std::int32_t v, std::int32_t from, std::int32_t length) {
  return length >= 0 ? v >= from && v < from + length : v >= from + length && v < from;
}

// Checks every pixel of the frame: inside the last band that covers it, the band's picture
// stretched whole onto it; elsewhere, the pixel of `underneath`.
inline ::testing::AssertionResult framePixels(const Surface& frame, const std::vector<Band>& bands,
                                              const Surface& underneath) {
  const std::int32_t W = frame.width(), H = frame.height();
  for (std::int32_t y = 0; y < H; ++y) {
    for (std::int32_t x = 0; x < W; ++x) {
      const Colour got = frame.pixel(x, y);
      std::optional<Band> top;
      for (const Band& b : bands)
        if (inside(x, b.x, b.w) && inside(y, b.y, b.h)) top = b;
      bool ok = got == underneath.pixel(x, y);
      if (top) {
        const Decoded d = decode(got);
        ok = d.pic == top->pic && underFootprint(d.x, x, top->x, top->w, W) &&
             underFootprint(d.y, y, top->y, top->h, H);
      }
      if (!ok) {
        const Decoded d = decode(got);
        std::ostringstream out;
        out << "pixel (" << x << ", " << y << ") holds picture " << static_cast<int>(d.pic)
            << " at (" << d.x << ", " << d.y << ")";
        if (top) {
          out << ", expected picture " << static_cast<int>(top->pic) << " stretched onto ("
              << top->x << ", " << top->y << ", " << top->w << ", " << top->h << ")";
        } else {
          out << ", expected the pixel underneath";
        }
        return ::testing::AssertionFailure() << out.str();
      }
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult samePixels(const Surface& a, const Surface& b) {
  return framePixels(a, {}, b);
}

}  // namespace kamishibai::stretch_frames
