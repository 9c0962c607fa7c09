// Kamishibai: the clipping regions' rows, computed exactly in integers so that every system
// covers the same pixels.
#include "platform/region_runs.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kamishibai {
namespace {

// Products of two coordinates' differences need up to 128 bits.
__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 WideUnsigned;

Wide floorDiv(Wide n, Wide d) {
  const Wide q = n / d;
  return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

Wide ceilDiv(Wide n, Wide d) {
  return -floorDiv(-n, d);
}

std::int32_t clampColumn(Wide v, std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(std::clamp<Wide>(v, from, to));
}

struct Box {
  std::int64_t left, top, right, bottom;
};

Box ellipseBox(const Region& region) {
  const auto& p = region.points();
  return {std::min(p[0].x, p[1].x), std::min(p[0].y, p[1].y), std::max(p[0].x, p[1].x),
          std::max(p[0].y, p[1].y)};
}

// Pixel (x, y) belongs to the ellipse when its centre satisfies
// ((2x + 1 - (l + r)) / W)^2 + ((2y + 1 - (t + b)) / H)^2 <= 1, with W = r - l and H = b - t.
void ellipseRuns(const Region& region, std::int32_t y, std::int32_t from, std::int32_t to,
                 std::vector<PixelRun>& runs) {
  const Box box = ellipseBox(region);
  const std::int64_t w = box.right - box.left, h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return;
  const std::int64_t dy = 2 * std::int64_t{y} + 1 - (box.top + box.bottom);
  if (dy < -h || dy > h) return;
  // The largest m with m^2 h^2 <= w^2 (h^2 - dy^2): an estimate, then corrected exactly.
  const WideUnsigned limit = WideUnsigned(w) * WideUnsigned(w) *
                             (WideUnsigned(h) * WideUnsigned(h) - WideUnsigned(dy * dy));
  const WideUnsigned hh = WideUnsigned(h) * WideUnsigned(h);
  const double estimate =
      static_cast<double>(w) * std::sqrt(1.0 - (static_cast<double>(dy) / h) * (dy / double(h)));
  std::int64_t m = std::clamp<std::int64_t>(static_cast<std::int64_t>(estimate), 0, w);
  while (m > 0 && WideUnsigned(m) * WideUnsigned(m) * hh > limit) --m;
  while (m < w && WideUnsigned(m + 1) * WideUnsigned(m + 1) * hh <= limit) ++m;
  const Wide centre = Wide(box.left) + box.right - 1;
  const std::int32_t first = clampColumn(ceilDiv(centre - m, 2), from, to);
  const std::int32_t last = clampColumn(floorDiv(centre + m, 2) + 1, from, to);
  if (first < last) runs.push_back({first, last});
}

// The even-odd rule on a grid of 1/256 pixel: pixel x of row y is sampled at the point
// (x + 129/256, y + 127/256) and is inside when an odd number of edges cross the row's sample line
// strictly left of it. Integer vertices never put the sample line through a vertex, and two
// polygons sharing an edge never both cover a pixel.
void polygonRuns(const Region& region, std::int32_t y, std::int32_t from, std::int32_t to,
                 std::vector<PixelRun>& runs) {
  const auto& p = region.points();
  std::vector<std::int32_t> crossings;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const Point a = p[i], b = p[(i + 1) % p.size()];
    if ((a.y <= y) == (b.y <= y)) continue;
    // The edge meets the sample line at x = a.x + (y + 127/256 - a.y) (b.x - a.x) / (b.y - a.y);
    // the first pixel whose sample point lies right of it is floor(x + 127/256).
    Wide d = Wide(b.y) - a.y;
    Wide n =
        (256 * Wide(a.x) + 127) * d + (256 * Wide(y) + 127 - 256 * Wide(a.y)) * (Wide(b.x) - a.x);
    if (d < 0) {
      d = -d;
      n = -n;
    }
    crossings.push_back(clampColumn(floorDiv(n, 256 * d), from, to));
  }
  std::sort(crossings.begin(), crossings.end());
  for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
    if (crossings[i] < crossings[i + 1]) runs.push_back({crossings[i], crossings[i + 1]});
  }
}

}  // namespace

PixelRect regionBounds(const Region& region) {
  const auto& p = region.points();
  if (p.size() < 2 || (region.kind() == Region::Kind::Polygon && p.size() < 3)) return {};
  Box box{p[0].x, p[0].y, p[0].x, p[0].y};
  for (const Point& q : p) {
    box = {std::min<std::int64_t>(box.left, q.x), std::min<std::int64_t>(box.top, q.y),
           std::max<std::int64_t>(box.right, q.x), std::max<std::int64_t>(box.bottom, q.y)};
  }
  const PixelRect bounds{static_cast<std::int32_t>(box.left), static_cast<std::int32_t>(box.top),
                         static_cast<std::int32_t>(box.right),
                         static_cast<std::int32_t>(box.bottom)};
  return bounds.empty() ? PixelRect{} : bounds;
}

void regionRuns(const Region& region, std::int32_t y, std::int32_t from, std::int32_t to,
                std::vector<PixelRun>& runs) {
  runs.clear();
  if (from >= to) return;
  if (region.kind() == Region::Kind::Ellipse) {
    ellipseRuns(region, y, from, to, runs);
  } else if (region.points().size() >= 3) {
    polygonRuns(region, y, from, to, runs);
  }
}

}  // namespace kamishibai
