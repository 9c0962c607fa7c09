// Kamishibai: the drawing time of one transition step per effect code at 1920 by 1080 and
// 3840 by 2160 on headless surfaces, with a table against the budgets at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "effects/transition.h"
#include "platform/headless/virtual_event_loop.h"

namespace kamishibai {
namespace {

using Clock = std::chrono::steady_clock;

struct Size {
  std::int32_t width;
  std::int32_t height;
};
constexpr Size kSizes[] = {{1920, 1080}, {3840, 2160}};

// Two pictures that differ everywhere, so no copy can be skipped as a no-op.
Surface pattern(Size size, std::uint8_t shade) {
  Surface s(size.width, size.height, makeColour(shade, 255 - shade, shade / 2));
  for (std::int32_t band = 0; band < size.height; band += 64) {
    s.fillBox(0, band, size.width - 1, band + 31, makeColour(255 - shade, shade, 90));
  }
  return s;
}

struct StepTimes {
  double meanMs = 0;
  double slowestMs = 0;
};
std::map<std::pair<std::int32_t, std::int32_t>, StepTimes> results;  // (code, width)

// The drawing of a step is the time between two Refresh calls: the virtual clock makes the
// waits free. The first step also carries the initial copy and is left out.
std::vector<double> stepTimes(const EffectInfo& effect, Surface& display, const Surface& current,
                              const Surface& next) {
  std::vector<Clock::time_point> refreshes;
  display.setRefreshHook([&] { refreshes.push_back(Clock::now()); });
  VirtualEventLoop events;
  const EndFlag endFlag = kFalse;
  RandomSequence random;
  TransitionContext context{display, current, next, events, endFlag, 1, random};
  effect.run(context);
  display.setRefreshHook(nullptr);
  std::vector<double> times;
  for (std::size_t k = 1; k < refreshes.size(); ++k) {
    times.push_back(
        std::chrono::duration<double, std::milli>(refreshes[k] - refreshes[k - 1]).count());
  }
  return times;
}

double median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// Each iteration runs the whole transition; the reported time is the mean step. The slowest
// step is the largest over the step positions of the median over iterations, so that a
// preemption of this shared machine does not pass for a slow step.
void stepBenchmark(benchmark::State& state, const EffectInfo* effect, Size size) {
  Surface display(size.width, size.height);
  const Surface current = pattern(size, 40), next = pattern(size, 200);
  std::vector<std::vector<double>> byStep;
  for (auto _ : state) {
    const std::vector<double> times = stepTimes(*effect, display, current, next);
    byStep.resize(times.size());
    double sum = 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
      byStep[k].push_back(times[k]);
      sum += times[k];
    }
    state.SetIterationTime(times.empty() ? 0 : sum / static_cast<double>(times.size()) / 1000);
  }
  StepTimes& summary = results[{effect->code, size.width}];
  double total = 0;
  for (const std::vector<double>& samples : byStep) {
    const double typical = median(samples);
    summary.slowestMs = std::max(summary.slowestMs, typical);
    total += typical;
  }
  summary.meanMs = byStep.empty() ? 0 : total / static_cast<double>(byStep.size());
  state.counters["slowest_step_ms"] = summary.slowestMs;
}

void registerBenchmarks() {
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run) continue;
    for (const Size size : kSizes) {
      const std::string name = "step/" + std::to_string(effect.code) + "-" +
                               std::string(effect.name) + "/" + std::to_string(size.width) + "x" +
                               std::to_string(size.height);
      benchmark::RegisterBenchmark(name.c_str(), stepBenchmark, &effect, size)
          ->UseManualTime()
          ->Unit(benchmark::kMillisecond)
          ->Iterations(5);
    }
  }
}

// At 3840 by 2160 a step must draw within its frame time at speed factor 1; at 1920 by 1080
// within 3 ms.
void printTable() {
  std::printf("\n%4s  %-26s %8s %8s %7s   %8s %8s %7s\n", "code", "name", "1080 avg", "slowest",
              "budget", "2160 avg", "slowest", "budget");
  bool allWithin = true;
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run || !results.contains({effect.code, 1920})) continue;
    const StepTimes hd = results[{effect.code, 1920}], uhd = results[{effect.code, 3840}];
    const bool within = hd.slowestMs < 3 && uhd.slowestMs < effect.frameMs;
    allWithin = allWithin && within;
    std::printf("%4d  %-26s %8.3f %8.3f %7d   %8.3f %8.3f %7d %s\n", effect.code,
                std::string(effect.name).c_str(), hd.meanMs, hd.slowestMs, 3, uhd.meanMs,
                uhd.slowestMs, effect.frameMs, within ? "" : " OVER BUDGET");
  }
  std::printf("times in ms per step (mean, and the slowest step position); %s\n",
              allWithin ? "every step within its budget" : "some steps over budget");
}

}  // namespace
}  // namespace kamishibai

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kamishibai::registerBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kamishibai::printTable();
  return 0;
}
