// Kamishibai: the image memory in use.
#include "raster/image_memory.h"

#include <atomic>

namespace kamishibai {
namespace {

std::atomic<std::pmr::memory_resource*> current{std::pmr::new_delete_resource()};

}  // namespace

std::pmr::memory_resource* imageMemory() {
  return current.load(std::memory_order_relaxed);
}

void setImageMemory(std::pmr::memory_resource* memory) {
  current.store(memory, std::memory_order_relaxed);
}

}  // namespace kamishibai
