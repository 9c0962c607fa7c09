// Kamishibai: peak resident memory from getrusage.
#include <sys/resource.h>

#include "platform/process_memory.h"

namespace kamishibai {

std::int64_t peakResidentBytes() {
  struct rusage usage {};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // ru_maxrss is in KiB
}

}  // namespace kamishibai
