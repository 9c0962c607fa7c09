// Kamishibai: 32-bit signed arithmetic with overflow reported as an error, and the two
// conversions of floating-point values to integers that the show and the transitions use.
#pragma once

#include <cstdint>
#include <stdexcept>

namespace kamishibai {

// Raised when a 32-bit signed computation leaves the range; the show's error handler reports it.
class OverflowError : public std::overflow_error {
 public:
  using std::overflow_error::overflow_error;
};

std::int32_t checkedAdd(std::int32_t a, std::int32_t b);
std::int32_t checkedSub(std::int32_t a, std::int32_t b);
std::int32_t checkedMul(std::int32_t a, std::int32_t b);

// Nearest integer, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); outside int32 (or NaN) is an
// OverflowError.
std::int32_t roundEven(double v);

// Largest integer not above v; outside int32 (or NaN) is an OverflowError.
std::int32_t floorInt(double v);

// A counted loop whose bound, step and counter are single-precision values fixed before the first
// step: it goes on while (step >= 0 and v <= to) or (step < 0 and v >= to). An advance that leaves
// the counter unchanged (a step of 0, as tiny displays give, or one below the counter's precision)
// would repeat the same step forever, so the loop ends there instead; loops whose counter moves
// run exactly as the condition says.
class SingleLoop {
 public:
  SingleLoop(double from, double to, double step)
      : value_(static_cast<float>(from)),
        to_(static_cast<float>(to)),
        step_(static_cast<float>(step)) {}
  bool running() const { return !stalled_ && (step_ >= 0 ? value_ <= to_ : value_ >= to_); }
  float value() const { return value_; }
  void advance() {
    const float moved = value_ + step_;
    stalled_ = moved == value_;
    value_ = moved;
  }

 private:
  float value_;
  float to_;
  float step_;
  bool stalled_ = false;
};

}  // namespace kamishibai
