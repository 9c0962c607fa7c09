// Kamishibai: the transition skeleton.
#include "effects/steps.h"

#include <stdexcept>

namespace kamishibai {

Steps::Steps(TransitionContext& context, std::int32_t frameMs)
    : context_(context), frameMs_(frameMs) {
  context_.display.copyFrom(context_.current, 0, 0, 0, 0, roundEven(W()), roundEven(H()));
}

std::int32_t Steps::stepDeadline() {
  if (context_.speedFactor == 0) {
    throw std::domain_error("division by zero: the speed factor is 0 (a negative Speed)");
  }
  const std::int32_t t0 = context_.events.tickCount();
  return roundEven(static_cast<double>(frameMs_) / context_.speedFactor + t0);
}

void Steps::finalCopy(bool refresh) {
  context_.display.copyFrom(context_.next, 0, 0, 0, 0, roundEven(W()), roundEven(H()));
  if (refresh) context_.display.refresh();
}

}  // namespace kamishibai
