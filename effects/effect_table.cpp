// Kamishibai: the effect codes with their names and frame times, and the transition of each.
#include <algorithm>
#include <array>

#include "effects/effects.h"

namespace kamishibai {
namespace {

constexpr std::array<EffectInfo, kLastEffectCode + 1> kEffects{{
    {0, "cut", 0, nullptr},
    {1, "split-sideways", 50, splitSideways},
    {2, "split-up-down", 50, splitUpDown},
    {3, "random-tiles", 40, randomTiles},
    {4, "blinds", 40, blinds},
    {5, "slide-from-left", 50, slideFromLeft},
    {6, "slide-from-right", 50, slideFromRight},
    {7, "slide-from-top", 50, slideFromTop},
    {8, "slide-from-bottom", 50, slideFromBottom},
    {9, "spiral-tiles", 40, spiralTiles},
    {10, "box-out", 40, boxOut},
    {11, "squeeze-horizontal", 20, squeezeHorizontal},
    {12, "squeeze-vertical", 20, squeezeVertical},
    {13, "squeeze-spring-horizontal", 10, squeezeSpringHorizontal},
    {14, "squeeze-spring-vertical", 10, squeezeSpringVertical},
    {15, "squeeze-in-left", 25, squeezeInFromLeft},
    {16, "squeeze-in-top", 25, squeezeInFromTop},
    {17, "squeeze-in-right", 25, squeezeInFromRight},
    {18, "squeeze-in-bottom", 25, squeezeInFromBottom},
    {19, "wipe-from-left", 50, wipeFromLeft},
    {20, "wipe-from-top", 50, wipeFromTop},
    {21, "wipe-from-right", 50, wipeFromRight},
    {22, "wipe-from-bottom", 50, wipeFromBottom},
    {23, "zoom-in", 40, zoomIn},
    {24, "zoom-out", 40, zoomOut},
    {25, "zoom-through-black", 20, zoomThroughBlack},
    {26, "push-right", 40, pushRight},
    {27, "push-down", 40, pushDown},
    {28, "push-left", 40, pushLeft},
    {29, "roll-up", 40, rollUp},
    {30, "ellipse", 40, openingEllipse},
    {31, "diamond", 40, openingDiamond},
    {32, "clock", 40, clockSweep},
    {33, "spiral", 8, spiralSweep},
    {34, "random-columns", 40, randomColumns},
    {35, "random-rows", 40, randomRows},
}};

}  // namespace

// Every code sits at its own index.
static_assert([] {
  for (std::size_t i = 0; i < kEffects.size(); ++i) {
    if (kEffects[i].code != static_cast<std::int32_t>(i)) return false;
  }
  return true;
}());

std::span<const EffectInfo> effectTable() {
  return kEffects;
}

const EffectInfo* findEffect(std::int32_t code) {
  if (code < 0 || code >= static_cast<std::int32_t>(kEffects.size())) return nullptr;
  return &kEffects[static_cast<std::size_t>(code)];
}

const EffectInfo* findEffect(std::string_view name) {
  const auto it = std::find_if(kEffects.begin(), kEffects.end(),
                               [&](const EffectInfo& e) { return e.name == name; });
  return it == kEffects.end() ? nullptr : &*it;
}

void runEffect(const EffectInfo& effect, TransitionContext& context) {
  if (effect.run != nullptr) effect.run(context, effect.frameMs);
}

}  // namespace kamishibai
