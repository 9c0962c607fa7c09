// Kamishibai: the split and slide transitions (codes 1, 2, 5 to 8): whole bands of picture
// moved without scaling.
#include "effects/bands.h"
#include "effects/effects.h"

namespace kamishibai {
namespace {

// The current picture is cut at the middle h and its halves slide apart by i each, uncovering
// the unmoved next picture between them.
void splitApart(TransitionContext& context, std::int32_t frameMs, Axis axis) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const std::int32_t h = roundEven(along(steps, axis) / 2);
    forSingleSteps(steps, 0, h, h / 20.0, [&](double i) {
      copyBand(steps, steps.current(), axis, roundEven(i), 0, roundEven(h - i));
      copyBand(steps, steps.current(), axis, h, roundEven(h + i), roundEven(h - i));
      copyBand(steps, steps.next(), axis, roundEven(h - i), roundEven(h - i), roundEven(i + i));
    });
  });
}

// The next picture enters from the near edge with its far edge leading. The band is one pixel
// longer than i, so its source reaches past the next picture's far edge, where the display keeps
// its pixels.
void slideFromNearEdge(TransitionContext& context, std::int32_t frameMs, Axis axis) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const double length = along(steps, axis);
    forSingleSteps(steps, 0, length, length / 20, [&](double i) {
      copyBand(steps, steps.next(), axis, roundEven(length - i), 0, roundEven(i + 1));
    });
  });
}

// The next picture enters from the far edge with its near edge leading. The band ends at the
// length plus farEdgeOffset: W for columns, but H - 1 for rows, so the bottom row keeps the
// current picture until the final copy.
void slideFromFarEdge(TransitionContext& context, std::int32_t frameMs, Axis axis,
                      double farEdgeOffset) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const double length = along(steps, axis);
    const double farEdge = length + farEdgeOffset;
    forSingleSteps(steps, 0, length - 1, (length - 1) / 20, [&](double i) {
      copyBand(steps, steps.next(), axis, 0, roundEven(farEdge - i), roundEven(i));
    });
  });
}

}  // namespace

void splitSideways(TransitionContext& context, std::int32_t frameMs) {
  splitApart(context, frameMs, Axis::X);
}
void splitUpDown(TransitionContext& context, std::int32_t frameMs) {
  splitApart(context, frameMs, Axis::Y);
}
void slideFromLeft(TransitionContext& context, std::int32_t frameMs) {
  slideFromNearEdge(context, frameMs, Axis::X);
}
void slideFromRight(TransitionContext& context, std::int32_t frameMs) {
  slideFromFarEdge(context, frameMs, Axis::X, 0);
}
void slideFromTop(TransitionContext& context, std::int32_t frameMs) {
  slideFromNearEdge(context, frameMs, Axis::Y);
}
void slideFromBottom(TransitionContext& context, std::int32_t frameMs) {
  slideFromFarEdge(context, frameMs, Axis::Y, -1);
}

}  // namespace kamishibai
