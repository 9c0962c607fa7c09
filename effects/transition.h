// Kamishibai: the transition contract: what a transition receives, and the table of the 35
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

using TransitionFunction = void (*)(TransitionContext&);

struct EffectInfo {
  std::int32_t code;
  std::string_view name;   // short name used in manifests and by the packer's listings
  std::int32_t frameMs;    // frame time F at speed factor 1 (0 for the plain cut)
  TransitionFunction run;  // nullptr for the plain cut
};

// Codes 0 (the plain cut) to 35, in code order.
std::span<const EffectInfo> effectTable();
// The entry of a code from 0 to 35, or nullptr for any other value.
const EffectInfo* findEffect(std::int32_t code);
const EffectInfo* findEffect(std::string_view name);

}  // namespace kamishibai
