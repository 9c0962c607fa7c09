// Kamishibai: the millisecond tick count counted from the start of the program, so that its
// signed 32-bit value lasts 24.8 days of one run whatever the machine's uptime.
#pragma once

#include <cstdint>

namespace kamishibai {

class TickBase {
 public:
  // start: the reading of the system's millisecond clock at the start of the program.
  explicit TickBase(std::uint64_t start) : start_(start) {}

  // The ticks at that reading of the same clock: the milliseconds since the start, wrapped to a
  // signed 32-bit value (negative from 2^31 ms on, as a 32-bit tick count is).
  std::int32_t ticksAt(std::uint64_t now) const;

 private:
  std::uint64_t start_;
};

}  // namespace kamishibai
