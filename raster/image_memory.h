// Kamishibai: the memory that surfaces keep their images in.
#pragma once

#include <memory_resource>

namespace kamishibai {

// Where a surface's words come from unless it is told otherwise: the heap, until the program
// hands over memory that the system reads and writes faster (platform/image_memory.h).
std::pmr::memory_resource* imageMemory();

// Surfaces made from now on take their images from memory, which must outlive them.
void setImageMemory(std::pmr::memory_resource* memory);

}  // namespace kamishibai
