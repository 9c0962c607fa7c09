// Kamishibai: the centre zooms (codes 23 to 25): a whole picture scaled about the centre of the
// display, growing out of it, shrinking into it, or both with black between.
#include <array>

#include "effects/centred_box.h"
#include "effects/effects.h"
#include "effects/stretch_phases.h"

namespace kamishibai {
namespace {

using namespace stretching;

// The zoomed picture's rectangle: a centred box whose corner moves by half a twentieth of the
// display per step; past the centre its extents are negative and the stretch mirrors the picture.
class ZoomRect {
 public:
  ZoomRect(const Steps& steps, CentredBox::Start start) : box_(steps, 20, start) {}
  Rect rect() const { return {box_.left(), box_.top(), box_.width(), box_.height()}; }
  void move(Direction direction) {
    if (direction == Direction::Inward) {
      box_.shrink();
    } else {
      box_.grow();
    }
  }

 private:
  CentredBox box_;
};

// The next picture grows out of the centre over the current one.
constexpr std::array kZoomIn{
    Phase{21, Background::Kept, Picture::Next, Direction::Outward, MoveTime::AfterStretch},
};

// The current picture shrinks into the centre over the whole next picture.
constexpr std::array kZoomOut{
    Phase{21, Background::NextPicture, Picture::Current, Direction::Inward, MoveTime::AfterStretch},
};

// The current picture shrinks into the centre on black, one step past it; the next picture then
// steps back first and grows on the black that is left.
constexpr std::array kZoomThroughBlack{
    Phase{21, Background::Black, Picture::Current, Direction::Inward, MoveTime::AfterStretch},
    Phase{20, Background::Kept, Picture::Next, Direction::Outward, MoveTime::BeforeStretch},
};

// The show refreshes after these, so they do not.
void zoom(TransitionContext& context, std::int32_t frameMs, std::span<const Phase> phases,
          CentredBox::Start start) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    ZoomRect rect(steps, start);
    runPhases(steps, phases, rect);
  });
}

}  // namespace

void zoomIn(TransitionContext& context, std::int32_t frameMs) {
  zoom(context, frameMs, kZoomIn, CentredBox::Start::Centre);
}

void zoomOut(TransitionContext& context, std::int32_t frameMs) {
  zoom(context, frameMs, kZoomOut, CentredBox::Start::Whole);
}

void zoomThroughBlack(TransitionContext& context, std::int32_t frameMs) {
  zoom(context, frameMs, kZoomThroughBlack, CentredBox::Start::Whole);
}

}  // namespace kamishibai
