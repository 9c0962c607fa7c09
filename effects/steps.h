// Kamishibai: the skeleton every transition shares: the initial copy, paced steps that end at
// the first tick after their deadline or when the end flag is seen, and the final copy.
#pragma once

#include <cstdint>
#include <type_traits>

#include "base/arith.h"
#include "effects/transition.h"

namespace kamishibai {

class Steps {
 public:
  // Makes the initial copy of the current frame onto the display.
  Steps(TransitionContext& context, std::int32_t frameMs);

  // The display's scale size, W and H, as floating-point values.
  double W() const { return context_.display.scaleWidth(); }
  double H() const { return context_.display.scaleHeight(); }
  Surface& display() { return context_.display; }
  const Surface& current() const { return context_.current; }
  const Surface& next() const { return context_.next; }
  RandomSequence& random() { return context_.random; }
  bool endRaised() const { return context_.endFlag == kTrue; }

  // One step: the deadline round(F / S + t0), the drawing, Refresh, the wait. A drawing that
  // returns false ends the transition at once (a tile search that saw the end flag). Returns
  // false when the transition must go to its final copy.
  template <class Draw>
  bool step(Draw&& draw) {
    const std::int32_t deadline = stepDeadline();
    if constexpr (std::is_same_v<std::invoke_result_t<Draw>, bool>) {
      if (!draw()) return false;
    } else {
      draw();
    }
    context_.display.refresh();
    return waitForDeadline(context_.events, context_.endFlag, deadline) ==
           WaitResult::DeadlinePassed;
  }

  // Copies the whole next frame onto the display, then refreshes when asked to.
  void finalCopy(bool refresh);

 private:
  std::int32_t stepDeadline();

  TransitionContext& context_;
  std::int32_t frameMs_;
};

// Steps with an integer counter k from first to last, both included.
template <class Body>
void forSteps(Steps& steps, std::int32_t first, std::int32_t last, Body&& body) {
  for (std::int32_t k = first; k <= last; ++k) {
    if (!steps.step([&] { return body(k); })) return;
  }
}

// Steps with a single-precision counter v from `from` to `to` in steps of `by`.
template <class Body>
void forSingleSteps(Steps& steps, double from, double to, double by, Body&& body) {
  for (SingleLoop loop(from, to, by); loop.running(); loop.advance()) {
    if (!steps.step([&] { return body(loop.value()); })) return;
  }
}

enum class FinalRefresh { No, Yes };

// Runs a whole transition: initial copy, the body's steps, final copy.
template <class Body>
void runTransition(TransitionContext& context, std::int32_t frameMs, FinalRefresh refresh,
                   Body&& body) {
  Steps steps(context, frameMs);
  body(steps);
  steps.finalCopy(refresh == FinalRefresh::Yes);
}

}  // namespace kamishibai
