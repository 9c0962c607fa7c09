// Kamishibai: helpers the transition groups share: band copies along either axis and the
// rejection pick of random tiles and strips.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "effects/steps.h"

namespace kamishibai {

// The axis along which a band moves or grows: X for columns, Y for rows.
enum class Axis { X, Y };

// The display's extent along the axis (W or H) and across it.
inline double along(const Steps& steps, Axis axis) {
  return axis == Axis::X ? steps.W() : steps.H();
}
inline double across(const Steps& steps, Axis axis) {
  return axis == Axis::X ? steps.H() : steps.W();
}

// Copies a band that spans the whole display across the axis: `extent` columns (rows) of
// `source` starting at `sourceAt` onto the display starting at `at`. The extent across is
// round(H) for columns and round(W) for rows.
inline void copyBand(Steps& steps, const Surface& source, Axis axis, std::int32_t sourceAt,
                     std::int32_t at, std::int32_t extent) {
  const std::int32_t full = roundEven(across(steps, axis));
  if (axis == Axis::X) {
    steps.display().copyFrom(source, sourceAt, 0, at, 0, extent, full);
  } else {
    steps.display().copyFrom(source, 0, sourceAt, 0, at, full, extent);
  }
}

// Draws indices with `draw` until one is not yet used and marks it used. A drawn index that is
// already used is tested against the end flag: when it is raised the pick gives up (nullopt)
// without processing events.
template <class Draw>
std::optional<std::size_t> pickUnused(const Steps& steps, std::vector<bool>& used, Draw&& draw) {
  for (;;) {
    const std::size_t index = draw();
    if (!used[index]) {
      used[index] = true;
      return index;
    }
    if (steps.endRaised()) return std::nullopt;
  }
}

}  // namespace kamishibai
