// Kamishibai: the transition contract: what a transition receives, and the table of the
// transitions by effect code.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "base/random.h"
#include "platform/event_loop.h"
#include "raster/raster.h"

namespace kamishibai {

// What every transition works with: it draws on the display only, reads the current and the next
// frame, and paces its steps by the tick count shortened by the speed factor.
struct TransitionContext {
  Surface& display;        // Picture1
  const Surface& current;  // NowPicture
  const Surface& next;     // NextPicture
  EventLoop& events;
  const EndFlag& endFlag;
  std::int32_t speedFactor;
  RandomSequence& random;
};

// Draws a transition whose steps are frameMs apart at speed factor 1.
using TransitionFunction = void (*)(TransitionContext& context, std::int32_t frameMs);

struct EffectInfo {
  std::int32_t code;
  std::string_view name;   // short name used in manifests and by the packer's listings
  std::int32_t frameMs;    // frame time F at speed factor 1 (0 for the plain cut)
  TransitionFunction run;  // nullptr for the plain cut
};

// The highest effect code; codes run from 0, the plain cut, to it.
inline constexpr std::int32_t kLastEffectCode = 35;

// Codes 0 to kLastEffectCode, in code order.
std::span<const EffectInfo> effectTable();
// The entry of a code from 0 to 35, or nullptr for any other value.
const EffectInfo* findEffect(std::int32_t code);
const EffectInfo* findEffect(std::string_view name);

// Runs the effect's transition at its frame time; the plain cut draws nothing.
void runEffect(const EffectInfo& effect, TransitionContext& context);

}  // namespace kamishibai
