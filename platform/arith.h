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
// step: it goes on while (step >= 0 and v <= to) or (step < 0 and v >= to).
class SingleLoop {
 public:
  SingleLoop(double from, double to, double step)
      : value_(static_cast<float>(from)),
        to_(static_cast<float>(to)),
        step_(static_cast<float>(step)) {}
  bool running() const { return step_ >= 0 ? value_ <= to_ : value_ >= to_; }
  float value() const { return value_; }
  void advance() { value_ = value_ + step_; }

 private:
  float value_;
  float to_;
  float step_;
};

}  // namespace kamishibai
