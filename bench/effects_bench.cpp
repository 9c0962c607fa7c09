// Kamishibai: the drawing time of one transition step per effect code at 1920 by 1080 and
// 3840 by 2160 on headless surfaces, with a table against the budgets at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"
#include "platform/image_memory.h"
#include "raster/image_memory.h"

namespace kamishibai {
namespace {

using Clock = std::chrono::steady_clock;

using bench::Size;
constexpr Size kSizes[] = {{1920, 1080}, {3840, 2160}};

std::map<std::pair<std::int32_t, std::int32_t>, bench::StepSummary> results;  // (code, width)

// The drawing of a step is the time between two Refresh calls: the virtual clock makes the
// waits free. The first step also carries the initial copy and is left out.
std::vector<double> stepTimes(const EffectInfo& effect, Surface& display, const Surface& current,
                              const Surface& next) {
  std::vector<Clock::time_point> refreshes;
  display.setRefreshHook([&](const ChangedArea&) { refreshes.push_back(Clock::now()); });
  VirtualEventLoop events;
  const EndFlag endFlag = kFalse;
  RandomSequence random;
  TransitionContext context{display, current, next, events, endFlag, 1, random};
  runEffect(effect, context);
  display.setRefreshHook(nullptr);
  std::vector<double> times;
  for (std::size_t k = 1; k < refreshes.size(); ++k) {
    times.push_back(
        std::chrono::duration<double, std::milli>(refreshes[k] - refreshes[k - 1]).count());
  }
  return times;
}

// Each iteration runs the whole transition; the reported time is the mean step. The slowest
// step is the largest over the step positions of the median over iterations, so that a
// preemption of this shared machine does not pass for a slow step.
void stepBenchmark(benchmark::State& state, const EffectInfo* effect, Size size) {
  Surface display(size.width, size.height);
  const Surface current = bench::pattern(size, 40), next = bench::pattern(size, 200);
  std::vector<std::vector<double>> byStep;
  for (auto _ : state) {
    const std::vector<double> times = stepTimes(*effect, display, current, next);
    state.SetIterationTime(bench::addRun(byStep, times));
  }
  const bench::StepSummary summary = bench::summarise(byStep);
  results[{effect->code, size.width}] = summary;
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
          ->Iterations(9);
    }
  }
}

// At 3840 by 2160 a step must draw within its frame time at speed factor 1; at 1920 by 1080
// within 3 ms.
void printTable() {
  if (results.empty()) return;
  std::printf("\n%4s  %-26s %8s %8s %7s   %8s %8s %7s\n", "code", "name", "1080 avg", "slowest",
              "budget", "2160 avg", "slowest", "budget");
  bool allWithin = true;
  for (const EffectInfo& effect : effectTable()) {
    if (!effect.run || !results.contains({effect.code, 1920})) continue;
    const bench::StepSummary hd = results[{effect.code, 1920}], uhd = results[{effect.code, 3840}];
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
  // The benchmarks' surfaces take their images from the same memory as the show's.
  kamishibai::setImageMemory(kamishibai::systemImageMemory());
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kamishibai::registerBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kamishibai::printTable();
  return 0;
}
