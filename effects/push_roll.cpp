// Kamishibai: the pushes and the roll (codes 26 to 29): whole pictures moved across the display
// with two unscaled copies per step.
#include "effects/bands.h"
#include "effects/effects.h"

namespace kamishibai {
namespace {

// The current picture slides out towards the far edge while the next one enters at the near
// edge. The incoming band is one pixel longer than v; its last column (row) is read from just
// beyond the next picture and so keeps the current picture's first column (row).
void pushTowardsFarEdge(TransitionContext& context, std::int32_t frameMs, Axis axis) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const double length = along(steps, axis);
    forSingleSteps(steps, 0, length, length / 20, [&](double v) {
      copyBand(steps, steps.current(), axis, 0, roundEven(v), roundEven(length - v));
      copyBand(steps, steps.next(), axis, roundEven(length - v), 0, roundEven(v + 1));
    });
  });
}

// The picture `leaving` moves towards the near edge while the next picture's first v columns
// (rows) follow it in from the far edge, which lies at the length minus farEdgeOffset. Push left
// moves the current picture out; the roll moves the next picture through one full turn, and its
// far edge at H - 1 leaves the last row to the final copy.
void pushTowardsNearEdge(TransitionContext& context, std::int32_t frameMs, Axis axis,
                         bool leavingIsNext, double farEdgeOffset) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const Surface& leaving = leavingIsNext ? steps.next() : steps.current();
    const double length = along(steps, axis);
    const double farEdge = length - farEdgeOffset;
    forSingleSteps(steps, 0, length - 1, (length - 1) / 20, [&](double v) {
      copyBand(steps, leaving, axis, roundEven(v), 0, roundEven(farEdge - v));
      copyBand(steps, steps.next(), axis, 0, roundEven(farEdge - v), roundEven(v));
    });
  });
}

}  // namespace

void pushRight(TransitionContext& context, std::int32_t frameMs) {
  pushTowardsFarEdge(context, frameMs, Axis::X);
}
void pushDown(TransitionContext& context, std::int32_t frameMs) {
  pushTowardsFarEdge(context, frameMs, Axis::Y);
}
void pushLeft(TransitionContext& context, std::int32_t frameMs) {
  pushTowardsNearEdge(context, frameMs, Axis::X, false, 0);
}
void rollUp(TransitionContext& context, std::int32_t frameMs) {
  pushTowardsNearEdge(context, frameMs, Axis::Y, true, 1);
}

}  // namespace kamishibai
