// Kamishibai: a surface whose words were placed in other memory keeps its image there through a
// resize and a move, gives the words back, and makes its copies on the heap.
#include <gtest/gtest.h>

#include <memory_resource>
#include <utility>

#include "raster/raster.h"

namespace kamishibai {
namespace {

// Heap memory that counts what it hands out.
class CountingMemory : public std::pmr::memory_resource {
 public:
  int allocations = 0;
  std::size_t liveBytes = 0;

 private:
  void* do_allocate(std::size_t bytes, std::size_t alignment) override {
    ++allocations;
    liveBytes += bytes;
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* words, std::size_t bytes, std::size_t alignment) override {
    liveBytes -= bytes;
    std::pmr::new_delete_resource()->deallocate(words, bytes, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
    return this == &other;
  }
};

TEST(SurfacePlacedWords, StayInTheirMemoryThroughResizeAndMoveWhileCopiesUseTheHeap) {
  const Colour back = makeColour(1, 2, 3);
  const Colour dot = makeColour(200, 100, 50);
  CountingMemory memory;
  {
    Surface surface(4, 3, back);
    surface.setPixel(2, 1, dot);
    surface.placeWords(&memory);
    EXPECT_EQ(memory.allocations, 1);
    EXPECT_EQ(memory.liveBytes, 4u * 3u * sizeof(PixelWord));
    EXPECT_EQ(surface.pixel(2, 1), dot);
    EXPECT_EQ(surface.pixel(0, 0), back);

    surface.resize(8, 8);
    EXPECT_EQ(memory.liveBytes, 8u * 8u * sizeof(PixelWord));
    Surface moved = std::move(surface);
    moved.setPixel(7, 7, dot);

    const Surface copy = moved;
    Surface assigned(2, 2);
    assigned = moved;
    EXPECT_EQ(memory.allocations, 2) << "copies are made on the heap";
    EXPECT_EQ(copy.pixel(7, 7), dot);
    EXPECT_EQ(assigned.pixel(7, 7), dot);

    // A surface moved into another leaves with its memory.
    Surface other(1, 1);
    other = std::move(moved);
    EXPECT_EQ(other.pixel(7, 7), dot);
    EXPECT_EQ(memory.liveBytes, 8u * 8u * sizeof(PixelWord));
  }
  EXPECT_EQ(memory.liveBytes, 0u);
}

}  // namespace
}  // namespace kamishibai
