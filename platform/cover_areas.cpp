// Kamishibai: the parts of the monitors that the show's window does not cover.
#include "platform/cover_areas.h"

#include <algorithm>
#include <cstdint>

namespace kamishibai {
namespace {

// Every edge of the rectangles along one axis, in order, each once.
template <class Edges>
std::vector<std::int32_t> edgesOf(std::span<const PixelRect> monitors, const PixelRect& shown,
                                  Edges edges) {
  std::vector<std::int32_t> all;
  for (const PixelRect& monitor : monitors) {
    if (monitor.empty()) continue;
    const auto [from, to] = edges(monitor);
    all.insert(all.end(), {from, to});
  }
  if (!shown.empty()) {
    const auto [from, to] = edges(shown);
    all.insert(all.end(), {from, to});
  }
  std::sort(all.begin(), all.end());
  all.erase(std::unique(all.begin(), all.end()), all.end());
  return all;
}

// Whether the cell of the grid is on some monitor and outside the show's window; the cells lie
// wholly inside or outside every rectangle, so their corner decides.
bool uncovered(std::span<const PixelRect> monitors, const PixelRect& shown, const PixelRect& cell) {
  const auto holds = [&cell](const PixelRect& r) {
    return cell.left >= r.left && cell.left < r.right && cell.top >= r.top && cell.top < r.bottom;
  };
  return !holds(shown) && std::any_of(monitors.begin(), monitors.end(), holds);
}

}  // namespace

std::vector<PixelRect> uncoveredParts(std::span<const PixelRect> monitors, const PixelRect& shown) {
  const std::vector<std::int32_t> columns =
      edgesOf(monitors, shown, [](const PixelRect& r) { return std::pair(r.left, r.right); });
  const std::vector<std::int32_t> rows =
      edgesOf(monitors, shown, [](const PixelRect& r) { return std::pair(r.top, r.bottom); });
  std::vector<PixelRect> parts;
  // The parts of the band above, which a band of the same runs extends downwards.
  std::vector<std::size_t> bandAbove;
  for (std::size_t y = 0; y + 1 < rows.size(); ++y) {
    std::vector<PixelRect> runs;
    for (std::size_t x = 0; x + 1 < columns.size(); ++x) {
      const PixelRect cell{columns[x], rows[y], columns[x + 1], rows[y + 1]};
      if (!uncovered(monitors, shown, cell)) continue;
      if (!runs.empty() && runs.back().right == cell.left) {
        runs.back().right = cell.right;
      } else {
        runs.push_back(cell);
      }
    }
    const bool sameRuns =
        runs.size() == bandAbove.size() &&
        std::equal(runs.begin(), runs.end(), bandAbove.begin(), [&](const PixelRect& run, auto k) {
          const PixelRect& above = parts[k];
          return above.left == run.left && above.right == run.right && above.bottom == run.top;
        });
    if (sameRuns) {
      for (std::size_t k = 0; k < runs.size(); ++k) parts[bandAbove[k]].bottom = runs[k].bottom;
      continue;
    }
    bandAbove.clear();
    for (const PixelRect& run : runs) {
      bandAbove.push_back(parts.size());
      parts.push_back(run);
    }
  }
  return parts;
}

}  // namespace kamishibai
