// Kamishibai: the transitions of EffectModule, one function per effect code, grouped by the
// file that draws them.
#pragma once

#include "effects/transition.h"

namespace kamishibai {
}  // namespace kamishibai
