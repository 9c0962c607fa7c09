// Kamishibai: the drawing shared by the stretching transitions.
#include "effects/stretch_phases.h"

namespace kamishibai::stretching {

Rect spanAlong(const Steps& steps, Axis axis, std::int32_t from, std::int32_t extent) {
  if (axis == Axis::X) return {from, 0, extent, roundEven(steps.H())};
  return {0, from, roundEven(steps.W()), extent};
}

void stretchWhole(Steps& steps, const Surface& source, const Rect& to) {
  steps.display().stretchFrom(source, 0, 0, roundEven(steps.W()), roundEven(steps.H()), to.x, to.y,
                              to.w, to.h);
}

PixelRect stretchWholeCover(Steps& steps, const Surface& source, const Rect& to) {
  return steps.display().stretchCover(source, 0, 0, roundEven(steps.W()), roundEven(steps.H()),
                                      to.x, to.y, to.w, to.h);
}

void fillBlack(Steps& steps, const PixelRect& spared) {
  steps.display().fillBox(-1, -1, roundEven(steps.W()), roundEven(steps.H()), 0, spared);
}

const Phase& phaseOf(std::span<const Phase> phases, std::int32_t k) {
  for (const Phase& phase : phases) {
    if (k < phase.steps) return phase;
    k -= phase.steps;
  }
  return phases.back();
}

void layBackground(Steps& steps, Background background, const PixelRect& spared) {
  switch (background) {
    case Background::Kept:
      return;
    case Background::Black:
      fillBlack(steps, spared);
      return;
    case Background::NextPicture:
      steps.display().copyFrom(steps.next(), 0, 0, 0, 0, roundEven(steps.W()), roundEven(steps.H()),
                               spared);
      return;
  }
}

const Surface& pictureOf(const Steps& steps, Picture picture) {
  return picture == Picture::Current ? steps.current() : steps.next();
}

}  // namespace kamishibai::stretching
