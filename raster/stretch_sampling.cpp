// Kamishibai: nearest-neighbour stretch sampling in 16.16 fixed point. The scale and translation
// are rounded to 1/65536 of a pixel; to keep the rounding error small where it matters, the
// translation is split into a whole-pixel offset and a small remainder, and the remainder is
// corrected so that the fixed-point mapping agrees with the exact one at the middle of the drawn
// area.
#include "raster/stretch_sampling.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace kamishibai {
namespace {

constexpr std::int64_t kOne = 65536;

// Fixed-point values stay within 2^40 (16 million pixels), far beyond any surface, so that no
// product of two of them overflows 128 bits and absurd geometry stays safe.
constexpr double kFixedLimit = 1099511627776.0;

std::int64_t toFixed(double v) {
  return static_cast<std::int64_t>(
      std::clamp(std::nearbyint(v * 65536.0), -kFixedLimit, kFixedLimit));
}

double fromFixed(std::int64_t v) {
  return static_cast<double>(v) / 65536.0;
}

// Scale and translation of one axis: source = scale * destination + offset.
struct AxisMap {
  double scale;
  double offset;
};

// The fixed-point product scale * position + offset, rounded to 1/65536.
std::int64_t mapFixed(std::int64_t scale, std::int64_t offset, Wide position) {
  return narrow((scale * position + Wide(offset) * kOne + 0x8000) >> 16);
}

// The destination positions whose mapping reaches the source 0..size-1, rounded outwards.
AxisSpan reach(AxisMap m, std::int32_t size) {
  const double inverse = 1.0 / m.scale;
  const double start = -m.offset * inverse;
  const double a = start, b = inverse * size + start;
  return {static_cast<std::int64_t>(std::floor(std::min(a, b))),
          static_cast<std::int64_t>(std::ceil(std::max(a, b)))};
}

// The whole-pixel offsets (of the destination position) that leave the smallest translation.
void splitOffsets(AxisMap& cols, AxisMap& rows, std::int64_t& colShift, std::int64_t& rowShift) {
  double tx = cols.offset, ty = rows.offset;
  double norm = std::max(std::fabs(tx), std::fabs(ty));
  for (int i = -1; i < 2; i += 2) {
    for (int j = -1; j < 2; j += 2) {
      double den = (cols.scale + i) * (rows.scale + j);
      if (std::fabs(den) < DBL_EPSILON) continue;
      double x = -cols.offset * (rows.scale + j);
      double y = -rows.offset * (cols.scale + i);
      den = 1 / den;
      x *= den;
      y *= den;
      const double newNorm = std::max(std::fabs(x), std::fabs(y));
      if (norm > newNorm) {
        norm = newNorm;
        tx = x;
        ty = y;
      }
    }
  }
  tx = std::floor(tx);
  ty = std::floor(ty);
  colShift = static_cast<std::int64_t>(std::clamp(-tx, -kFixedLimit, kFixedLimit));
  rowShift = static_cast<std::int64_t>(std::clamp(-ty, -kFixedLimit, kFixedLimit));
  cols.offset = tx * cols.scale + cols.offset;
  rows.offset = ty * rows.scale + rows.offset;
}

struct FixedAxis {
  std::int64_t scale;
  std::int64_t offset;
};

// Rounds both axes to fixed point and corrects the offsets so that the middle of the drawn area
// maps where the exact mapping puts it.
void anchor(const AxisMap& cols, const AxisMap& rows, double middleX, double middleY, FixedAxis& fx,
            FixedAxis& fy) {
  fx = {toFixed(cols.scale), toFixed(cols.offset)};
  fy = {toFixed(rows.scale), toFixed(rows.offset)};
  const double determinant = cols.scale * rows.scale;
  if (std::fabs(determinant * determinant - 1.0) < 1.0 / 256) return;
  const double inverseX = 1.0 / cols.scale, inverseY = 1.0 / rows.scale;
  const double startX = -cols.offset * inverseX, startY = -rows.offset * inverseY;
  for (int iteration = 0; iteration < 5; ++iteration) {
    double x = fromFixed(mapFixed(fx.scale, fx.offset, toFixed(middleX)));
    double y = fromFixed(mapFixed(fy.scale, fy.offset, toFixed(middleY)));
    x = inverseX * x + startX - middleX;
    y = inverseY * y + startY - middleY;
    const std::int64_t dx = toFixed(cols.scale * x), dy = toFixed(rows.scale * y);
    fx.offset -= dx;
    fy.offset -= dy;
    if (dx == 0 && dy == 0) return;
  }
}

}  // namespace

std::int64_t narrow(Wide v) {
  constexpr Wide kLimit = Wide(1) << 62;
  return static_cast<std::int64_t>(std::clamp(v, -kLimit, kLimit));
}

std::int64_t AxisSampling::sourceAt(std::int64_t offset) const {
  return narrow((Wide(first) + Wide(offset) * step) >> 16);
}

StretchSampling stretchSampling(const StretchGeometry& g, const PixelRect& limit,
                                std::int32_t sourceWidth, std::int32_t sourceHeight) {
  AxisMap cols{static_cast<double>(g.ws) / g.w, 0};
  AxisMap rows{static_cast<double>(g.hs) / g.h, 0};
  cols.offset = g.xs - g.x * cols.scale;
  rows.offset = g.ys - g.y * rows.scale;
  const AxisSpan across = intersect(intersect(extentSpan(g.x, g.w), {limit.left, limit.right}),
                                    reach(cols, sourceWidth));
  const AxisSpan down = intersect(intersect(extentSpan(g.y, g.h), {limit.top, limit.bottom}),
                                  reach(rows, sourceHeight));
  StretchSampling s;
  if (across.from >= across.to || down.from >= down.to) return s;
  s.area = {static_cast<std::int32_t>(across.from), static_cast<std::int32_t>(down.from),
            static_cast<std::int32_t>(across.to), static_cast<std::int32_t>(down.to)};
  std::int64_t colShift = 0, rowShift = 0;
  splitOffsets(cols, rows, colShift, rowShift);
  FixedAxis fx{}, fy{};
  anchor(cols, rows, s.area.left + s.area.width() / 2.0, s.area.top + s.area.height() / 2.0, fx,
         fy);
  // The first drawn pixel's centre, shifted, then a hair less so that a sample exactly on a pixel
  // boundary takes the pixel before it.
  s.cols = {mapFixed(fx.scale, fx.offset, (Wide(s.area.left) + colShift) * kOne + kOne / 2) - 1,
            fx.scale};
  s.rows = {mapFixed(fy.scale, fy.offset, (Wide(s.area.top) + rowShift) * kOne + kOne / 2) - 1,
            fy.scale};
  return s;
}

}  // namespace kamishibai
