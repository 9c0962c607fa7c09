// Kamishibai: image memory on Linux: large images in transparent huge pages.
#include "platform/image_memory.h"

#include <sys/mman.h>

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kamishibai {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Images of a huge page or more start in an aligned huge page, and the huge pages they fill are
// marked for huge pages.
// The mark is only a hint: where the system gives none, the memory is ordinary heap memory all
// the same. Each image starts at another offset into its first page, in turn: images of one size
// would otherwise keep every row in the same cache sets as the same row of the others, and a copy
// between two of them would evict what it reads.
class HugePageImageMemory : public std::pmr::memory_resource {
 private:
  static constexpr std::size_t kCacheLine = 64;
  static constexpr std::size_t kStagger = 8192 + 5 * kCacheLine;
  static constexpr std::size_t kStaggers = 8;

  // Large images whose alignment the offsets keep.
  static bool staggered(std::size_t bytes, std::size_t alignment) {
    return bytes >= kHugePage && alignment <= kCacheLine;
  }
  static std::size_t wholePages(std::size_t bytes) {
    return (bytes + (kHugePage - 1)) / kHugePage * kHugePage;
  }

  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    if (!staggered(bytes, alignment)) return heap()->allocate(bytes, alignment);
    const std::size_t offset = next_.fetch_add(1, std::memory_order_relaxed) % kStaggers * kStagger;
    auto* pages = static_cast<std::byte*>(heap()->allocate(wholePages(offset + bytes), kHugePage));
    // Only the huge pages that the image fills: the partly used last one stays in small pages,
    // of which only the used ones become resident.
    madvise(pages, (offset + bytes) / kHugePage * kHugePage, MADV_HUGEPAGE);
    return pages + offset;
  }
  void do_deallocate(void* words, std::size_t bytes, std::size_t alignment) override {
    if (!staggered(bytes, alignment)) return heap()->deallocate(words, bytes, alignment);
    const std::size_t offset = reinterpret_cast<std::uintptr_t>(words) % kHugePage;
    heap()->deallocate(static_cast<std::byte*>(words) - offset, wholePages(offset + bytes),
                       kHugePage);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
  static std::pmr::memory_resource* heap() { return std::pmr::new_delete_resource(); }

  std::atomic<std::size_t> next_{0};
};

}  // namespace

std::pmr::memory_resource* systemImageMemory() {
  static HugePageImageMemory memory;
  return &memory;
}

}  // namespace kamishibai
