// Kamishibai: the transitions of EffectModule, one function per effect code, grouped by the
// file that draws them.
#pragma once

#include "effects/transition.h"

namespace kamishibai {

// split_slide.cpp
void splitSideways(TransitionContext& context);    // 1
void splitUpDown(TransitionContext& context);      // 2
void slideFromLeft(TransitionContext& context);    // 5
void slideFromRight(TransitionContext& context);   // 6
void slideFromTop(TransitionContext& context);     // 7
void slideFromBottom(TransitionContext& context);  // 8

// tiles_blinds_box.cpp
void randomTiles(TransitionContext& context);  // 3
void blinds(TransitionContext& context);       // 4
void spiralTiles(TransitionContext& context);  // 9
void boxOut(TransitionContext& context);       // 10

// edge_wipes.cpp
void wipeFromLeft(TransitionContext& context);    // 19
void wipeFromTop(TransitionContext& context);     // 20
void wipeFromRight(TransitionContext& context);   // 21
void wipeFromBottom(TransitionContext& context);  // 22

// push_roll.cpp
void pushRight(TransitionContext& context);  // 26
void pushDown(TransitionContext& context);   // 27
void pushLeft(TransitionContext& context);   // 28
void rollUp(TransitionContext& context);     // 29

// shape_reveals.cpp
void openingEllipse(TransitionContext& context);  // 30
void openingDiamond(TransitionContext& context);  // 31
void clockSweep(TransitionContext& context);      // 32
void spiralSweep(TransitionContext& context);     // 33

// random_strips.cpp
void randomColumns(TransitionContext& context);  // 34
void randomRows(TransitionContext& context);     // 35

}  // namespace kamishibai
