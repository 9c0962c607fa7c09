// Kamishibai: the memory where the system reads and writes large images fastest.
#pragma once

#include <memory_resource>

namespace kamishibai {

// On Linux large images go in huge pages where the system offers them, so that whole-picture
// copies do not miss the address cache page after page; small ones come from the heap. The
// programs hand it to the raster (setImageMemory) before they make their surfaces.
std::pmr::memory_resource* systemImageMemory();

}  // namespace kamishibai
