// Kamishibai: the squeezes (codes 11 to 14): whole pictures scaled towards the centre line of the
// display and out again, across the width or across the height.
#include <array>

#include "effects/effects.h"
#include "effects/stretch_phases.h"

namespace kamishibai {
namespace {

using namespace stretching;

// The band a squeeze fills: an offset from both ends of the axis, the other axis whole. Past the
// centre its extent is negative and the stretch mirrors the picture.
class SqueezeBand {
 public:
  SqueezeBand(const Steps& steps, Axis axis)
      : steps_(steps), axis_(axis), step_(singleStep(along(steps, axis) / 20)) {}

  Rect rect() const {
    const double extent = along(steps_, axis_) - checkedMul(2, offset_);
    return spanAlong(steps_, axis_, offset_, roundEven(extent));
  }
  void move(Direction direction) {
    offset_ = moved(offset_, direction == Direction::Inward ? step_ : -step_);
  }

 private:
  const Steps& steps_;
  Axis axis_;
  float step_;
  std::int32_t offset_ = 0;
};

// The current picture squeezes onto black to (almost) nothing in eleven steps; the next picture
// grows out of the centre line in nine.
constexpr std::array kOverBlack{
    Phase{11, Background::Black, Picture::Current, Direction::Inward, MoveTime::AfterStretch},
    Phase{9, Background::Kept, Picture::Next, Direction::Outward, MoveTime::BeforeStretch},
};

// Both pictures in turn squeeze to the centre line, flip through it and spring back out, drawn
// over what the wider frames before them left.
constexpr std::array kSpring{
    Phase{11, Background::Kept, Picture::Current, Direction::Inward, MoveTime::AfterStretch},
    Phase{10, Background::Kept, Picture::Current, Direction::Outward, MoveTime::AfterStretch},
    Phase{10, Background::Kept, Picture::Next, Direction::Inward, MoveTime::BeforeStretch},
    Phase{9, Background::Kept, Picture::Next, Direction::Outward, MoveTime::BeforeStretch},
};

void squeeze(TransitionContext& context, std::int32_t frameMs, std::span<const Phase> phases,
             Axis axis) {
  runTransition(context, frameMs, FinalRefresh::Yes, [&](Steps& steps) {
    SqueezeBand band(steps, axis);
    runPhases(steps, phases, band);
  });
}

}  // namespace

void squeezeHorizontal(TransitionContext& context, std::int32_t frameMs) {
  squeeze(context, frameMs, kOverBlack, Axis::X);
}

void squeezeVertical(TransitionContext& context, std::int32_t frameMs) {
  squeeze(context, frameMs, kOverBlack, Axis::Y);
}

void squeezeSpringHorizontal(TransitionContext& context, std::int32_t frameMs) {
  squeeze(context, frameMs, kSpring, Axis::X);
}

void squeezeSpringVertical(TransitionContext& context, std::int32_t frameMs) {
  squeeze(context, frameMs, kSpring, Axis::Y);
}

}  // namespace kamishibai
