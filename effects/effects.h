// Kamishibai: the transitions of EffectModule, one function per effect code, grouped by the
// file that draws them.
#pragma once

#include "effects/transition.h"

namespace kamishibai {

// Squeezes (codes 11 to 14), squeeze-ins (codes 15 to 18) and centre zooms (codes 23 to 25).
void squeezeHorizontal(TransitionContext& context);
void squeezeVertical(TransitionContext& context);
void squeezeSpringHorizontal(TransitionContext& context);
void squeezeSpringVertical(TransitionContext& context);
void squeezeInFromLeft(TransitionContext& context);
void squeezeInFromTop(TransitionContext& context);
void squeezeInFromRight(TransitionContext& context);
void squeezeInFromBottom(TransitionContext& context);
void zoomIn(TransitionContext& context);
void zoomOut(TransitionContext& context);
void zoomThroughBlack(TransitionContext& context);

}  // namespace kamishibai
