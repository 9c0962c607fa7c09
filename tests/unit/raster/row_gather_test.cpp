// Kamishibai: the gathered row of a stretch, both ways: the words a column map picks, written
// only inside the run, and the exact run of words that changed.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "raster/row_gather.h"

namespace kamishibai {
namespace {

using Gather = std::function<PixelRun(PixelWord*, const PixelWord*, std::int32_t,
                                      const std::int32_t*, std::int32_t, std::int32_t)>;

struct Way {
  std::string name;
  Gather gather;
};

// The portable way everywhere, and the vectorised one where this processor runs it.
std::vector<Way> ways() {
  std::vector<Way> all{
      {"portable", [](PixelWord* out, const PixelWord* row, std::int32_t,
                      const std::int32_t* columns, std::int32_t from, std::int32_t to) {
         return row_gather::portable(out, row, columns, from, to);
       }}};
  if (row_gather::vectorisedAvailable()) all.push_back({"vectorised", row_gather::vectorised});
  return all;
}

constexpr PixelWord kUntouched = 0xDEADBEEF;
constexpr std::int32_t kFrom = 3;  // the run starts inside the row, as a clipped one does

std::vector<PixelWord> sourceRow(std::int32_t width) {
  std::vector<PixelWord> row(static_cast<std::size_t>(width));
  for (std::int32_t x = 0; x < width; ++x) row[static_cast<std::size_t>(x)] = 0x10000u + x;
  return row;
}

// Nearest-neighbour columns of `count` destination words over `sourceWidth` source words,
// backwards when mirrored, as a stretch samples them.
std::vector<std::int32_t> scaledColumns(std::int32_t sourceWidth, std::int32_t count,
                                        bool mirrored = false) {
  std::vector<std::int32_t> columns;
  for (std::int32_t d = 0; d < count; ++d) {
    const auto s = static_cast<std::int32_t>(std::floor((d + 0.5) * sourceWidth / count));
    columns.push_back(mirrored ? sourceWidth - 1 - s : s);
  }
  return columns;
}

// A row of the gathered words at kFrom.., with kUntouched around them.
std::vector<PixelWord> expectedRow(const std::vector<PixelWord>& source,
                                   const std::vector<std::int32_t>& columns) {
  std::vector<PixelWord> row(columns.size() + 2 * kFrom, kUntouched);
  for (std::size_t k = 0; k < columns.size(); ++k)
    row[kFrom + k] = source[static_cast<std::size_t>(columns[k])];
  return row;
}

TEST(RowGather, EveryScaleAndLengthGathersTheMappedWordsAndNothingBeside) {
  struct Map {
    std::string name;
    std::int32_t sourceWidth;
    std::vector<std::int32_t> columns;
  };
  std::vector<std::int32_t> scattered;
  for (std::int32_t k = 0; k < 37; ++k) scattered.push_back(k * 17 % 40);
  const std::vector<Map> maps{
      {"enlarged three times", 40, scaledColumns(40, 120)},
      {"shrunk by a third", 300, scaledColumns(300, 200)},
      {"shrunk to half: groups of 8 span 15 words", 64, scaledColumns(64, 32)},
      {"shrunk to 0.45: groups span more than 16 words", 200, scaledColumns(200, 90)},
      {"shrunk 20 times", 1920, scaledColumns(1920, 96)},
      {"mirrored", 100, scaledColumns(100, 77, true)},
      {"reaching the last source word", 20, scaledColumns(20, 19)},
      {"a source narrower than two groups", 9, scaledColumns(9, 30)},
      {"out of order", 40, scattered},
  };
  for (const Way& way : ways()) {
    for (const Map& map : maps) {
      const std::vector<PixelWord> source = sourceRow(map.sourceWidth);
      for (const std::int32_t length : {0, 1, 7, 8, 9, 16, 17, 31}) {
        const auto count =
            std::min<std::size_t>(static_cast<std::size_t>(length), map.columns.size());
        const std::vector<std::int32_t> columns(
            map.columns.begin(), map.columns.begin() + static_cast<std::ptrdiff_t>(count));
        std::vector<PixelWord> out(count + 2 * kFrom, kUntouched);
        const auto to = static_cast<std::int32_t>(kFrom + count);
        const PixelRun changed =
            way.gather(out.data(), source.data(), map.sourceWidth, columns.data(), kFrom, to);
        SCOPED_TRACE(way.name + ", " + map.name + ", " + std::to_string(count) + " words");
        EXPECT_EQ(out, expectedRow(source, columns));
        EXPECT_EQ(changed.from, kFrom);
        EXPECT_EQ(changed.to, to);
      }
    }
  }
}

TEST(RowGather, TheRunHoldsExactlyTheWordsThatChanged) {
  const std::int32_t sourceWidth = 80;
  const std::vector<PixelWord> source = sourceRow(sourceWidth);
  const std::vector<std::int32_t> columns = scaledColumns(sourceWidth, 45);  // 5 groups and 5
  const std::vector<PixelWord> gathered = expectedRow(source, columns);
  const auto to = static_cast<std::int32_t>(kFrom + columns.size());
  struct Case {
    std::string name;
    std::vector<std::int32_t> stale;  // the words of the row that differ before the gather
    PixelRun run;
  };
  const std::vector<Case> cases{
      {"none", {}, {kFrom, kFrom}},
      {"the first word", {kFrom}, {kFrom, kFrom + 1}},
      {"the last word of a group", {kFrom + 7}, {kFrom + 7, kFrom + 8}},
      {"one word inside a group", {kFrom + 12}, {kFrom + 12, kFrom + 13}},
      {"two groups apart", {kFrom + 9, kFrom + 30}, {kFrom + 9, kFrom + 31}},
      {"in the group and in the rest after it", {kFrom + 38, kFrom + 42}, {kFrom + 38, kFrom + 43}},
      {"only the last word", {to - 1}, {to - 1, to}},
  };
  for (const Way& way : ways()) {
    for (const Case& c : cases) {
      std::vector<PixelWord> out = gathered;
      for (const std::int32_t x : c.stale) out[static_cast<std::size_t>(x)] ^= 0xFF;
      const PixelRun changed =
          way.gather(out.data(), source.data(), sourceWidth, columns.data(), kFrom, to);
      SCOPED_TRACE(way.name + ", " + c.name);
      EXPECT_EQ(out, gathered);
      EXPECT_EQ(changed.from, c.run.from);
      EXPECT_EQ(changed.to, c.run.to);
    }
  }
}

}  // namespace
}  // namespace kamishibai
