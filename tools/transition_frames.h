// Kamishibai: the frames of one transition from picture A to picture B, drawn by the player's own
// effect code on a virtual clock: what `kamishibai-pack render` writes and what previews show.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/random.h"
#include "effects/transition.h"
#include "platform/display.h"
#include "platform/picture_convert.h"
#include "raster/raster.h"

namespace kamishibai {

// A picture at (x, y) on a black surface of the given size, as the show composes a frame.
Surface onBlack(const Surface& picture, std::int32_t width, std::int32_t height, std::int32_t x = 0,
                std::int32_t y = 0);

// The picture file on an area as a saver shows it: fitted, upright and centred as a manifest's
// fit makes it when packed, or as it is at the area's corner with fit "none". Throws
// std::runtime_error naming a picture that cannot be read.
Surface pictureOnArea(const std::string& path, PictureFit fit, const ScreenSize& area);

// Receives every frame of a transition in order, with its index from 0.
using FrameSink = std::function<void(const Surface& frame, int index)>;

struct TransitionRun {
  int frames = 0;   // how many the sink received
  Surface display;  // the last picture the transition leaves: B, for every effect
};

// Runs the effect from start to end (two surfaces of one size) at the speed factor 2^speed on a
// virtual clock, and hands each Refresh of the display to the sink. The plain cut has no frames.
TransitionRun runTransition(const EffectInfo& effect, const Surface& start, const Surface& end,
                            std::int32_t speedFactor, RandomSequence& random,
                            const FrameSink& sink);

}  // namespace kamishibai
