// Kamishibai: the squeeze-ins (codes 15 to 18): the next picture enters from one edge scaled to
// the share it has reached, the current picture scaled into the rest, both always whole.
#include "effects/effects.h"
#include "effects/stretch_phases.h"

namespace kamishibai {
namespace {

using namespace stretching;

// The edge the next picture enters from: the start of the axis (left, top) or its end.
enum class Edge { Start, End };

void squeezeIn(TransitionContext& context, std::int32_t frameMs, Axis axis, Edge edge) {
  runTransition(context, frameMs, FinalRefresh::Yes, [&](Steps& steps) {
    const double length = along(steps, axis);
    const float step = singleStep(length / 20);
    std::int32_t share = 0;
    forSteps(steps, 0, 20, [&](std::int32_t) {
      const std::int32_t rest = roundEven(length - share);
      if (edge == Edge::Start) {
        stretchWhole(steps, steps.current(), spanAlong(steps, axis, share, rest));
        stretchWhole(steps, steps.next(), spanAlong(steps, axis, 0, share));
      } else {
        stretchWhole(steps, steps.current(), spanAlong(steps, axis, 0, rest));
        stretchWhole(steps, steps.next(), spanAlong(steps, axis, rest, share));
      }
      share = moved(share, step);
    });
  });
}

}  // namespace

void squeezeInFromLeft(TransitionContext& context, std::int32_t frameMs) {
  squeezeIn(context, frameMs, Axis::X, Edge::Start);
}

void squeezeInFromTop(TransitionContext& context, std::int32_t frameMs) {
  squeezeIn(context, frameMs, Axis::Y, Edge::Start);
}

void squeezeInFromRight(TransitionContext& context, std::int32_t frameMs) {
  squeezeIn(context, frameMs, Axis::X, Edge::End);
}

void squeezeInFromBottom(TransitionContext& context, std::int32_t frameMs) {
  squeezeIn(context, frameMs, Axis::Y, Edge::End);
}

}  // namespace kamishibai
