// Kamishibai: image memory on Windows: the heap (large pages need a privilege a saver lacks).
#include "platform/image_memory.h"

namespace kamishibai {

std::pmr::memory_resource* systemImageMemory() {
  return std::pmr::new_delete_resource();
}

}  // namespace kamishibai
