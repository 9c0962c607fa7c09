// Kamishibai: the tick count's arithmetic, the same on every system.
#include "platform/tick_base.h"

namespace kamishibai {

std::int32_t TickBase::ticksAt(std::uint64_t now) const {
  // Unsigned arithmetic wraps with the clock; the conversion to int32 is modular from C++20 on.
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(now - start_));
}

}  // namespace kamishibai
