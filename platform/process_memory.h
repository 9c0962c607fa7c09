// Kamishibai: how much memory the running process has used, for the benchmarks.
#pragma once

#include <cstdint>

namespace kamishibai {

// The largest resident set the process has had so far, in bytes.
std::int64_t peakResidentBytes();

}  // namespace kamishibai
