// Kamishibai: image memory hands out blocks that hold their whole size, small and large, however
// many are alive at once, and takes each back (the sanitizer build checks sizes and overlaps).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/image_memory.h"

namespace kamishibai {
namespace {

TEST(ImageMemory, BlocksOfEverySizeHoldTheirBytesWhileOthersAreAlive) {
  std::pmr::memory_resource* memory = systemImageMemory();
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const std::vector<std::size_t> sizes{64,      2 * kMiB - 4, 2 * kMiB, 2 * kMiB + 4, 8294400,
                                       8294400, 8294400,      8294400,  8294400,      8294400,
                                       8294400, 8294400,      8294400,  12 * kMiB + 4};
  std::vector<unsigned char*> blocks;
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    auto* block = static_cast<unsigned char*>(memory->allocate(sizes[k], alignof(std::uint32_t)));
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::uint32_t), 0u);
    std::memset(block, static_cast<int>(k), sizes[k]);
    blocks.push_back(block);
  }
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    EXPECT_EQ(blocks[k][0], k);
    EXPECT_EQ(blocks[k][sizes[k] - 1], k);
    memory->deallocate(blocks[k], sizes[k], alignof(std::uint32_t));
  }
}

}  // namespace
}  // namespace kamishibai
