// Kamishibai: the edge wipes (codes 19 to 22): the next picture is uncovered in place behind an
// edge that moves across the display.
#include "effects/bands.h"
#include "effects/effects.h"

namespace kamishibai {
namespace {

// The horizontal wipes run v up to W, the vertical ones only up to H - 1, so the vertical wipes
// never reach the last row before the final copy.
double wipeEnd(const Steps& steps, Axis axis) {
  return axis == Axis::X ? steps.W() : steps.H() - 1;
}

// Uncovers the band from the near edge; the wipe from the left makes it one column longer than v.
void wipeFromNearEdge(TransitionContext& context, std::int32_t frameMs, Axis axis, double extra) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const double end = wipeEnd(steps, axis);
    forSingleSteps(steps, 0, end, end / 20, [&](double v) {
      copyBand(steps, steps.next(), axis, 0, 0, roundEven(v + extra));
    });
  });
}

// Uncovers the band of v columns (rows) that ends at the wipe's end, W or H - 1.
void wipeFromFarEdge(TransitionContext& context, std::int32_t frameMs, Axis axis) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const double end = wipeEnd(steps, axis);
    forSingleSteps(steps, 0, end, end / 20, [&](double v) {
      const std::int32_t start = roundEven(end - v);
      copyBand(steps, steps.next(), axis, start, start, roundEven(v));
    });
  });
}

}  // namespace

void wipeFromLeft(TransitionContext& context, std::int32_t frameMs) {
  wipeFromNearEdge(context, frameMs, Axis::X, 1);
}
void wipeFromTop(TransitionContext& context, std::int32_t frameMs) {
  wipeFromNearEdge(context, frameMs, Axis::Y, 0);
}
void wipeFromRight(TransitionContext& context, std::int32_t frameMs) {
  wipeFromFarEdge(context, frameMs, Axis::X);
}
void wipeFromBottom(TransitionContext& context, std::int32_t frameMs) {
  wipeFromFarEdge(context, frameMs, Axis::Y);
}

}  // namespace kamishibai
