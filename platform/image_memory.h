// Kamishibai: the memory that surfaces keep their images in.
#pragma once

#include <memory_resource>

namespace kamishibai {

// Where a surface's words come from unless it is told otherwise. Large images go where the
// system reads and writes them fastest (on Linux, in huge pages where the system offers them, so
// that whole-picture copies do not miss the address cache page after page); small ones come from
// the heap.
std::pmr::memory_resource* imageMemory();

}  // namespace kamishibai
