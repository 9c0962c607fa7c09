// Kamishibai: what the benchmarks share: test pictures and a robust summary of step times.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/raster.h"

namespace kamishibai::bench {

struct Size {
  std::int32_t width;
  std::int32_t height;
};

// Two pictures that differ everywhere, so no copy can be skipped as a no-op. Each has bands
// across and stripes down, so that a stretch along either axis changes what it draws, as it
// would with a photograph.
inline Surface pattern(Size size, std::uint8_t shade) {
  Surface s(size.width, size.height, makeColour(shade, 255 - shade, shade / 2));
  for (std::int32_t band = 0; band < size.height; band += 64) {
    s.fillBox(0, band, size.width - 1, band + 31, makeColour(255 - shade, shade, 90));
  }
  for (std::int32_t stripe = 0; stripe < size.width; stripe += 48) {
    s.fillBox(stripe, 0, stripe + 15, size.height - 1, makeColour(shade / 2, 90, 255 - shade));
  }
  return s;
}

inline double median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// Adds one run's step times (ms) to the samples of each step position; gives the run's mean
// step in seconds, the iteration time the benchmarks report.
inline double addRun(std::vector<std::vector<double>>& byStep, const std::vector<double>& times) {
  byStep.resize(std::max(byStep.size(), times.size()));
  double sum = 0;
  for (std::size_t k = 0; k < times.size(); ++k) {
    byStep[k].push_back(times[k]);
    sum += times[k];
  }
  return times.empty() ? 0 : sum / static_cast<double>(times.size()) / 1000;
}

// Per step position, the median over the runs; the slowest of those and their mean. The median
// keeps a preemption of this shared machine from passing for a slow step.
struct StepSummary {
  double meanMs = 0;
  double slowestMs = 0;
};

inline StepSummary summarise(const std::vector<std::vector<double>>& byStep) {
  StepSummary summary;
  double total = 0;
  for (const std::vector<double>& samples : byStep) {
    const double typical = median(samples);
    summary.slowestMs = std::max(summary.slowestMs, typical);
    total += typical;
  }
  summary.meanMs = byStep.empty() ? 0 : total / static_cast<double>(byStep.size());
  return summary;
}

}  // namespace kamishibai::bench
