// Kamishibai: the one process-wide pseudo-random sequence of single-precision values in [0, 1).
#pragma once

#include <cstdint>

namespace kamishibai {

class RandomSequence {
 public:
  explicit RandomSequence(std::uint32_t seed = 0x2545F491u) : state_(seed ? seed : 1u) {}
  // The next value r, 0 <= r < 1, with 24 significant bits so that it is exact in a float.
  float next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<float>(state_ >> 8) / 16777216.0f;
  }
  // The sequence the show uses: started alike on every run and never reseeded.
  static RandomSequence& process() {
    static RandomSequence sequence;
    return sequence;
  }

 private:
  std::uint32_t state_;
};

}  // namespace kamishibai
