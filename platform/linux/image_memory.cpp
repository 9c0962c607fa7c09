// Kamishibai: image memory on Linux: large images in transparent huge pages.
#include "platform/image_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>

namespace kamishibai {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Images of a huge page or more take whole huge pages, aligned, and are marked for huge pages.
// The mark is only a hint: where the system gives none, the memory is ordinary heap memory all
// the same.
class HugePageImageMemory : public std::pmr::memory_resource {
 private:
  static bool large(std::size_t bytes) { return bytes >= kHugePage; }
  static std::size_t wholePages(std::size_t bytes) {
    return (bytes + (kHugePage - 1)) / kHugePage * kHugePage;
  }

  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    if (!large(bytes)) return heap()->allocate(bytes, alignment);
    void* words = heap()->allocate(wholePages(bytes), std::max(alignment, kHugePage));
    madvise(words, wholePages(bytes), MADV_HUGEPAGE);
    return words;
  }
  void do_deallocate(void* words, std::size_t bytes, std::size_t alignment) override {
    if (!large(bytes)) return heap()->deallocate(words, bytes, alignment);
    heap()->deallocate(words, wholePages(bytes), std::max(alignment, kHugePage));
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
  static std::pmr::memory_resource* heap() { return std::pmr::new_delete_resource(); }
};

}  // namespace

std::pmr::memory_resource* imageMemory() {
  static HugePageImageMemory memory;
  return &memory;
}

}  // namespace kamishibai
