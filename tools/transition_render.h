// Kamishibai: one transition drawn on a virtual clock, frame by frame, from two pictures placed
// on the area as a saver shows them: the work of `kamishibai-pack render`, shared with the
// Studio's preview so that both give the same frames.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "effects/transition.h"
#include "platform/display.h"
#include "platform/picture_convert.h"
#include "raster/raster.h"

namespace kamishibai {

// The picture on an area of the background colour as a saver shows it: fitted, upright and
// centred as a manifest's fit makes it when packed, or as it is at (x, y) with fit None. Throws
// std::runtime_error naming the picture when it cannot be read.
Surface pictureOnArea(const std::string& path, PictureFit fit, const ScreenSize& area,
                      Colour background, std::int32_t x = 0, std::int32_t y = 0);

// Called at every Refresh of the display with the frame, its index from 0 and the virtual time
// in milliseconds from the transition's start at which it is put on screen.
using TransitionFrameSink = std::function<void(const Surface& frame, int index, std::int32_t atMs)>;

struct TransitionRun {
  int frames = 0;          // 0 for the plain cut
  std::int32_t endMs = 0;  // when the last step's wait ends
};

// Runs the effect at 2^speed times its pace from current to next (both of one size), drawing on
// display, which starts as current and ends as next. Raising endFlag (from the sink) ends the
// transition at its next step. The random transitions draw from `random`: the show's own
// sequence, or a fresh one for frames that repeat those of a fresh render.
TransitionRun renderTransition(const EffectInfo& effect, std::int32_t speed, const Surface& current,
                               const Surface& next, Surface& display,
                               const TransitionFrameSink& sink, const EndFlag& endFlag,
                               RandomSequence& random = RandomSequence::process());

}  // namespace kamishibai
