// Kamishibai: the transitions of EffectModule, one function per effect code, grouped by the
// file that draws them. Each paces its steps by the frame time it is given, the effect table's.
#pragma once

#include "effects/transition.h"

namespace kamishibai {

// split_slide.cpp
void splitSideways(TransitionContext& context, std::int32_t frameMs);    // 1
void splitUpDown(TransitionContext& context, std::int32_t frameMs);      // 2
void slideFromLeft(TransitionContext& context, std::int32_t frameMs);    // 5
void slideFromRight(TransitionContext& context, std::int32_t frameMs);   // 6
void slideFromTop(TransitionContext& context, std::int32_t frameMs);     // 7
void slideFromBottom(TransitionContext& context, std::int32_t frameMs);  // 8

// tiles_blinds_box.cpp
void randomTiles(TransitionContext& context, std::int32_t frameMs);  // 3
void blinds(TransitionContext& context, std::int32_t frameMs);       // 4
void spiralTiles(TransitionContext& context, std::int32_t frameMs);  // 9
void boxOut(TransitionContext& context, std::int32_t frameMs);       // 10

// edge_wipes.cpp
void wipeFromLeft(TransitionContext& context, std::int32_t frameMs);    // 19
void wipeFromTop(TransitionContext& context, std::int32_t frameMs);     // 20
void wipeFromRight(TransitionContext& context, std::int32_t frameMs);   // 21
void wipeFromBottom(TransitionContext& context, std::int32_t frameMs);  // 22

// push_roll.cpp
void pushRight(TransitionContext& context, std::int32_t frameMs);  // 26
void pushDown(TransitionContext& context, std::int32_t frameMs);   // 27
void pushLeft(TransitionContext& context, std::int32_t frameMs);   // 28
void rollUp(TransitionContext& context, std::int32_t frameMs);     // 29

// shape_reveals.cpp
void openingEllipse(TransitionContext& context, std::int32_t frameMs);  // 30
void openingDiamond(TransitionContext& context, std::int32_t frameMs);  // 31
void clockSweep(TransitionContext& context, std::int32_t frameMs);      // 32
void spiralSweep(TransitionContext& context, std::int32_t frameMs);     // 33

// random_strips.cpp
void randomColumns(TransitionContext& context, std::int32_t frameMs);  // 34
void randomRows(TransitionContext& context, std::int32_t frameMs);     // 35

// squeeze.cpp
void squeezeHorizontal(TransitionContext& context, std::int32_t frameMs);        // 11
void squeezeVertical(TransitionContext& context, std::int32_t frameMs);          // 12
void squeezeSpringHorizontal(TransitionContext& context, std::int32_t frameMs);  // 13
void squeezeSpringVertical(TransitionContext& context, std::int32_t frameMs);    // 14

// squeeze_in.cpp
void squeezeInFromLeft(TransitionContext& context, std::int32_t frameMs);    // 15
void squeezeInFromTop(TransitionContext& context, std::int32_t frameMs);     // 16
void squeezeInFromRight(TransitionContext& context, std::int32_t frameMs);   // 17
void squeezeInFromBottom(TransitionContext& context, std::int32_t frameMs);  // 18

// centre_zoom.cpp
void zoomIn(TransitionContext& context, std::int32_t frameMs);            // 23
void zoomOut(TransitionContext& context, std::int32_t frameMs);           // 24
void zoomThroughBlack(TransitionContext& context, std::int32_t frameMs);  // 25

}  // namespace kamishibai
