// Kamishibai: test support for transitions: pictures whose pixels encode their own coordinates
// and picture, a headless run on the virtual clock, and every Refresh recorded as a frame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/headless/frame_recorder_headless.h"
#include "tests/unit/surfaces.h"

namespace kamishibai::testing {

// Which picture a display pixel shows, and from where in it.
enum class Picture : std::uint32_t { Current = 1, Next = 2 };

// The colour of pixel (x, y) of a picture: 11 bits of x, 11 bits of y, 2 bits of picture.
constexpr Colour encode(Picture picture, std::int32_t x, std::int32_t y) {
  return static_cast<Colour>(picture) << 22 | static_cast<Colour>(y) << 11 | static_cast<Colour>(x);
}
constexpr Colour now(std::int32_t x, std::int32_t y) {
  return encode(Picture::Current, x, y);
}
constexpr Colour next(std::int32_t x, std::int32_t y) {
  return encode(Picture::Next, x, y);
}

inline Surface codedPicture(Picture picture, std::int32_t w, std::int32_t h) {
  return codedSurface(w, h,
                      [picture](std::int32_t x, std::int32_t y) { return encode(picture, x, y); });
}

// A copy of the display's image at one Refresh, without the display's Refresh hook.
using Frame = Surface;
inline Frame snapshot(const Surface& s) {
  Frame f = s;
  f.setRefreshHook(nullptr);
  return f;
}

struct RunawayTransition : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The show window's three surfaces of one size with coded pictures, the display showing the
// current picture, and a virtual clock.
struct TransitionRun {
  TransitionRun(std::int32_t w, std::int32_t h)
      : display(codedPicture(Picture::Current, w, h)),
        current(codedPicture(Picture::Current, w, h)),
        next(codedPicture(Picture::Next, w, h)) {}

  // Runs the transition of a code, recording a frame at every Refresh of the display. A
  // transition that refreshes more than refreshLimit times is taken to run forever: the
  // Refresh after the limit throws RunawayTransition, so the test fails instead of hanging.
  void run(std::int32_t code) {
    const EffectInfo* effect = findEffect(code);
    ASSERT_TRUE(effect && effect->run) << "no transition for code " << code;
    FrameRecorder recorder(display, [this](const Surface& s, int index) {
      if (index >= refreshLimit) throw RunawayTransition("more than the refresh limit");
      frames.push_back(snapshot(s));
      refreshTicks.push_back(events.now());
    });
    TransitionContext context{display, current, next, events, endFlag, speedFactor, random};
    runEffect(*effect, context);
  }

  // Raises the end flag at a tick, as an input handler would.
  void raiseEndAt(std::int32_t tick) {
    events.at(tick, [this] { endFlag = kTrue; });
  }

  Surface display;
  Surface current;
  Surface next;
  VirtualEventLoop events{1000};
  EndFlag endFlag = kFalse;
  std::int32_t speedFactor = 1;
  // The longest transition at any size, the blinds with bands of 21 rows, runs 421 steps.
  int refreshLimit = 500;
  RandomSequence random;
  std::vector<Frame> frames;
  std::vector<std::int32_t> refreshTicks;
};

// "now(x,y)", "next(x,y)" or the raw value of a colour.
inline std::string describe(Colour c) {
  std::ostringstream text;
  const Colour picture = c >> 22;
  if (picture == 1 || picture == 2) {
    text << (picture == 1 ? "now(" : "next(") << (c & 0x7FF) << "," << (c >> 11 & 0x7FF) << ")";
  } else {
    text << c;
  }
  return text.str();
}

// Every pixel of a frame against the expected colour, with coded colours named in a failure.
template <class Expected>
::testing::AssertionResult frameMatches(const Frame& frame, Expected&& expected) {
  return pixelsAre(frame, std::forward<Expected>(expected), describe);
}

}  // namespace kamishibai::testing
