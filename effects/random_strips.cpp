// Kamishibai: the random strip reveals (codes 34, 35): 25 strips uncovered in a random order.
#include "effects/bands.h"
#include "effects/effects.h"

namespace kamishibai {
namespace {

constexpr std::int32_t kStrips = 25;

// A strip is one pixel wider (taller) than a twenty-fifth of the display, so the strips with
// the highest indices lie partly or wholly outside it; their copies change only what is inside.
void randomStrips(TransitionContext& context, std::int32_t frameMs, Axis axis) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const std::int32_t extent = roundEven(along(steps, axis) / kStrips + 1);
    std::vector<bool> used(kStrips);
    forSteps(steps, 0, kStrips - 1, [&](std::int32_t) {
      const auto strip = pickUnused(steps, used, [&] {
        return static_cast<std::size_t>(floorInt(double{steps.random().next()} * kStrips));
      });
      if (!strip) return false;
      const std::int32_t at = checkedMul(extent, static_cast<std::int32_t>(*strip));
      copyBand(steps, steps.next(), axis, at, at, extent);
      return true;
    });
  });
}

}  // namespace

void randomColumns(TransitionContext& context, std::int32_t frameMs) {
  randomStrips(context, frameMs, Axis::X);
}
void randomRows(TransitionContext& context, std::int32_t frameMs) {
  randomStrips(context, frameMs, Axis::Y);
}

}  // namespace kamishibai
