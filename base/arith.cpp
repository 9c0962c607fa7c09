// Kamishibai: checked 32-bit arithmetic and rounding helpers.
#include "base/arith.h"

#include <cmath>
#include <limits>
#include <string>

namespace kamishibai {
namespace {

std::int32_t narrow(std::int64_t wide, const char* what) {
  if (wide < std::numeric_limits<std::int32_t>::min() ||
      wide > std::numeric_limits<std::int32_t>::max()) {
    throw OverflowError(std::string("overflow: ") + what + " gives " + std::to_string(wide) +
                        ", outside the 32-bit range");
  }
  return static_cast<std::int32_t>(wide);
}

std::int32_t toInt32(double v, const char* what) {
  // Compare in double: every int32 is exact there, and NaN fails both tests.
  if (!(v >= -2147483648.0 && v <= 2147483647.0)) {
    throw OverflowError(std::string("overflow: ") + what + " of " + std::to_string(v) +
                        " does not fit in 32 bits");
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::int32_t checkedAdd(std::int32_t a, std::int32_t b) {
  return narrow(static_cast<std::int64_t>(a) + b, "addition");
}

std::int32_t checkedSub(std::int32_t a, std::int32_t b) {
  return narrow(static_cast<std::int64_t>(a) - b, "subtraction");
}

std::int32_t checkedMul(std::int32_t a, std::int32_t b) {
  return narrow(static_cast<std::int64_t>(a) * b, "multiplication");
}

std::int32_t roundEven(double v) {
  // Written out rather than left to the floating-point rounding mode, which a library could change.
  double below = std::floor(v);
  double fraction = v - below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) below += 1.0;
  return toInt32(below, "rounding");
}

std::int32_t floorInt(double v) {
  return toInt32(std::floor(v), "floor");
}

}  // namespace kamishibai
