// Kamishibai: the centre zooms (codes 23 to 25): a whole picture scaled about the centre of the
// display, growing out of it, shrinking into it, or both with black between.
#include <array>

#include "effects/effects.h"
#include "effects/stretch_phases.h"

namespace kamishibai {
namespace {

using namespace stretching;

// Where the zoomed picture starts: filling the display, or as an empty rectangle at the centre.
enum class Start { Whole, Centre };

// The rectangle centred on the display's centre whose top-left corner moves by half a twentieth
// of the display per step. The corner is rounded after every move, so the roundings add up; past
// the centre the extents are negative and the stretch mirrors the picture.
class CentredRect {
 public:
  CentredRect(const Steps& steps, Start start)
      : cx_(roundEven(steps.W() / 2)),
        cy_(roundEven(steps.H() / 2)),
        dx_(singleStep(steps.W() / 20 / 2)),
        dy_(singleStep(steps.H() / 20 / 2)),
        x_(start == Start::Centre ? cx_ : 0),
        y_(start == Start::Centre ? cy_ : 0) {}

  Rect rect() const {
    return {x_, y_, checkedMul(2, checkedSub(cx_, x_)), checkedMul(2, checkedSub(cy_, y_))};
  }
  void move(Direction direction) {
    const bool inward = direction == Direction::Inward;
    x_ = moved(x_, inward ? dx_ : -dx_);
    y_ = moved(y_, inward ? dy_ : -dy_);
  }

 private:
  std::int32_t cx_;
  std::int32_t cy_;
  float dx_;
  float dy_;
  std::int32_t x_;
  std::int32_t y_;
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
          Start start) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    CentredRect rect(steps, start);
    runPhases(steps, phases, rect);
  });
}

}  // namespace

void zoomIn(TransitionContext& context) {
  zoom(context, 40, kZoomIn, Start::Centre);
}

void zoomOut(TransitionContext& context) {
  zoom(context, 40, kZoomOut, Start::Whole);
}

void zoomThroughBlack(TransitionContext& context) {
  zoom(context, 20, kZoomThroughBlack, Start::Whole);
}

}  // namespace kamishibai
