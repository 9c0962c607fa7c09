// Kamishibai: the number of steps of every transition at a given display size, run on a virtual
// clock, for the live-show measurement: "code frame-ms steps", one line per code.
//
//   kamishibai-step-count WIDTH HEIGHT
#include <cstdio>
#include <cstdlib>
#include <set>

#include "effects/transition.h"
#include "platform/headless/event_loop_headless.h"

namespace kamishibai {
namespace {

// Each step refreshes at its own tick; the show's Refresh after the transition comes at the tick
// after the last wait, together with a final Refresh of the transition's own.
int stepsOf(const EffectInfo& effect, std::int32_t width, std::int32_t height) {
  Surface display(width, height), current(width, height), next(width, height);
  VirtualEventLoop events;
  std::set<std::int32_t> refreshTicks;
  display.setRefreshHook([&](const ChangedArea&) { refreshTicks.insert(events.now()); });
  const EndFlag endFlag = kFalse;
  RandomSequence random;
  TransitionContext context{display, current, next, events, endFlag, 1, random};
  runEffect(effect, context);
  display.refresh();
  display.setRefreshHook(nullptr);
  return static_cast<int>(refreshTicks.size()) - 1;
}

}  // namespace
}  // namespace kamishibai

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s WIDTH HEIGHT\n", argv[0]);
    return 2;
  }
  const auto width = static_cast<std::int32_t>(std::atoi(argv[1]));
  const auto height = static_cast<std::int32_t>(std::atoi(argv[2]));
  for (const kamishibai::EffectInfo& effect : kamishibai::effectTable()) {
    if (!effect.run) continue;
    std::printf("%d %d %d\n", effect.code, effect.frameMs,
                kamishibai::stepsOf(effect, width, height));
  }
  return 0;
}
