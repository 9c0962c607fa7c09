// Kamishibai: the clipped shape reveals (codes 30 to 33): the next picture is copied through a
// region that opens or sweeps from the centre of the display.
#include <cmath>

#include "effects/centred_box.h"
#include "effects/effects.h"
#include "effects/steps.h"

namespace kamishibai {
namespace {

constexpr double kPi = 3.14159265358979;

// Selects a region as the display's clipping for one step and removes it again, so that no
// region outlives the step and the final copy is never clipped.
class ClipSelection {
 public:
  ClipSelection(Surface& display, const Region& region) : display_(display) {
    display_.selectClip(&region);
  }
  ~ClipSelection() { display_.selectClip(nullptr); }
  ClipSelection(const ClipSelection&) = delete;
  ClipSelection& operator=(const ClipSelection&) = delete;

 private:
  Surface& display_;
};

Point displayCentre(const Steps& steps) {
  return {roundEven(steps.W() / 2), roundEven(steps.H() / 2)};
}

// Codes 30 and 31: a shape inscribed in a box that grows about the centre. The corner moves by
// the rounded difference with the single-precision growth, so rounding errors accumulate.
template <class MakeRegion>
void openFromCentre(TransitionContext& context, std::int32_t frameMs, double divisions,
                    std::int32_t lastStep, MakeRegion&& makeRegion) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    CentredBox box(steps, divisions, CentredBox::Start::Centre);
    forSteps(steps, 0, lastStep, [&](std::int32_t) {
      const Region region = makeRegion(box);
      ClipSelection clip(steps.display(), region);
      steps.display().copyFrom(steps.next(), box.left(), box.top(), box.left(), box.top(),
                               box.width(), box.height());
      box.grow();
    });
  });
}

// The rim point at `radius` from the centre in the direction of step k: (k + 1) * 10 - 90
// degrees, clockwise on screen from straight up.
Point rimPoint(Point c, std::int32_t radius, std::int32_t k) {
  const std::int32_t degrees = checkedSub(checkedMul(checkedAdd(k, 1), 10), 90);
  const double angle = kPi / 180 * degrees;
  return {roundEven(radius * std::cos(angle) + c.x), roundEven(radius * std::sin(angle) + c.y)};
}

double centreToCorner(Point c) {
  return std::sqrt(checkedAdd(checkedMul(c.x, c.x), checkedMul(c.y, c.y)));
}

// Codes 32 and 33: 10-degree wedges between the previous rim point, the centre and the new rim
// point, swept clockwise. The clock sweeps one turn at a fixed radius from twelve o'clock; the
// spiral starts at the centre and grows its radius after every wedge.
enum class Sweep { Clock, Spiral };

void sweep(TransitionContext& context, std::int32_t frameMs, Sweep kind) {
  const bool spiral = kind == Sweep::Spiral;
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const Point c = displayCentre(steps);
    std::int32_t radius = spiral ? 0 : roundEven(centreToCorner(c));
    Point previous{c.x, checkedSub(c.y, radius)};
    forSteps(steps, 0, spiral ? 200 : 35, [&](std::int32_t k) {
      const Point rim = rimPoint(c, radius, k);
      const Region region = Region::polygon({previous, c, rim});
      ClipSelection clip(steps.display(), region);
      steps.display().copyFrom(steps.next(), 0, 0, 0, 0, checkedMul(2, c.x), checkedMul(2, c.y));
      previous = rim;
      if (spiral) radius = roundEven(centreToCorner(c) / 500 + radius + 1);
    });
  });
}

}  // namespace

void openingEllipse(TransitionContext& context, std::int32_t frameMs) {
  openFromCentre(context, frameMs, 20, 24, [](const CentredBox& box) {
    return Region::ellipse(box.left(), box.top(), box.right(), box.bottom());
  });
}

void openingDiamond(TransitionContext& context, std::int32_t frameMs) {
  openFromCentre(context, frameMs, 15, 29, [](const CentredBox& box) {
    const std::int32_t cx = box.centreX(), cy = box.centreY();
    return Region::polygon(
        {{cx, box.top()}, {box.left(), cy}, {cx, box.bottom()}, {box.right(), cy}});
  });
}

void clockSweep(TransitionContext& context, std::int32_t frameMs) {
  sweep(context, frameMs, Sweep::Clock);
}
void spiralSweep(TransitionContext& context, std::int32_t frameMs) {
  sweep(context, frameMs, Sweep::Spiral);
}

}  // namespace kamishibai
