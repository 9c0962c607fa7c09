// Kamishibai: the contact sheet: the middle frame of every transition from picture A to picture
// B in one picture, each labelled with its code and name, so that a user can choose by eye.
#pragma once

#include <cstdint>

#include "effects/transition.h"
#include "raster/raster.h"

namespace kamishibai {

// The sheet's layout: codes 1 to 35 in rows of kSheetColumns cells, kSheetGap pixels apart and
// from the edges. A cell holds the middle frame, scaled down to fit kSheetPictureWidth by
// kSheetPictureHeight and centred across the cell, over its label.
inline constexpr std::int32_t kSheetColumns = 7;
inline constexpr std::int32_t kSheetGap = 16;
inline constexpr std::int32_t kSheetPictureWidth = 320;
inline constexpr std::int32_t kSheetPictureHeight = 240;

// The frame in the middle of the effect's transition from start to end at 2^speed times its
// pace: frame n / 2 (rounded down) of its n frames, numbered from 0 as `render` numbers them,
// from a run whose random choices start as a fresh render's do. The plain cut has no frames and
// gives end.
Surface middleFrame(const EffectInfo& effect, std::int32_t speed, const Surface& start,
                    const Surface& end);

// The sheet of codes 1 to 35 from start to end (two surfaces of one size).
Surface contactSheet(std::int32_t speed, const Surface& start, const Surface& end);

}  // namespace kamishibai
