// Kamishibai: what the stretching transitions share: a whole picture stretched onto a rectangle
// of the display, the black fill, offsets moved by a single-precision step with a rounding after
// every move, and runs of steps in phases that differ in background, picture and direction.
#pragma once

#include <cstdint>
#include <span>

#include "effects/bands.h"
#include "effects/steps.h"

namespace kamishibai::stretching {

// A destination rectangle as the stretch receives it; extents may be zero or negative.
struct Rect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;
};

// The rectangle that starts at `from` along the axis with the given extent, and covers the
// other axis whole.
Rect spanAlong(const Steps& steps, Axis axis, std::int32_t from, std::int32_t extent);

// Stretches the whole of source, (0, 0, round(W), round(H)), onto the rectangle of the display.
void stretchWhole(Steps& steps, const Surface& source, const Rect& to);
// The box of the display that stretchWhole draws every word of.
PixelRect stretchWholeCover(Steps& steps, const Surface& source, const Rect& to);

// Fills the display black from the point (-1, -1) to (W, H), both included: every pixel but
// those in `spared`.
void fillBlack(Steps& steps, const PixelRect& spared);

// The step an offset moves by, kept in single precision as it was computed.
inline float singleStep(double step) {
  return static_cast<float>(step);
}

// round(offset + by), formed in double precision from the integer and the single-precision step.
inline std::int32_t moved(std::int32_t offset, float by) {
  return roundEven(static_cast<double>(offset) + static_cast<double>(by));
}

// Inward is towards the centre (the picture narrows), outward away from it (it widens).
enum class Direction { Inward, Outward };
enum class MoveTime { AfterStretch, BeforeStretch };
enum class Background { Kept, Black, NextPicture };
enum class Picture { Current, Next };

// A run of steps that draw alike: the background laid first, the picture stretched onto the
// shape's rectangle, and one move of the shape before or after that stretch.
struct Phase {
  std::int32_t steps;
  Background background;
  Picture picture;
  Direction direction;
  MoveTime moveTime;
};

// The phase that step k (counted from 0 over all phases) belongs to.
const Phase& phaseOf(std::span<const Phase> phases, std::int32_t k);
// Lays the background on the display except inside `spared`, which the step draws over next.
void layBackground(Steps& steps, Background background, const PixelRect& spared);
const Surface& pictureOf(const Steps& steps, Picture picture);

// Runs the phases one after another as one counted loop, so that the end flag ends them all.
// Shape offers `Rect rect() const` and `void move(Direction)`.
template <class Shape>
void runPhases(Steps& steps, std::span<const Phase> phases, Shape& shape) {
  std::int32_t total = 0;
  for (const Phase& phase : phases) total = checkedAdd(total, phase.steps);
  forSteps(steps, 0, total - 1, [&](std::int32_t k) {
    const Phase& phase = phaseOf(phases, k);
    const Surface& picture = pictureOf(steps, phase.picture);
    // The background is laid only where the picture will not cover it. A shape that moves
    // between the two is not known yet; the background then goes everywhere.
    const PixelRect covered = phase.moveTime == MoveTime::AfterStretch
                                  ? stretchWholeCover(steps, picture, shape.rect())
                                  : PixelRect{};
    layBackground(steps, phase.background, covered);
    if (phase.moveTime == MoveTime::BeforeStretch) shape.move(phase.direction);
    stretchWhole(steps, picture, shape.rect());
    if (phase.moveTime == MoveTime::AfterStretch) shape.move(phase.direction);
  });
}

}  // namespace kamishibai::stretching
