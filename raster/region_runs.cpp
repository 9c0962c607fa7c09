// Kamishibai: the clipping regions' rows. Outlines live on a grid of 1/256 pixel and crossings are
// computed exactly in integers; an ellipse is drawn as cubic arcs (at most a quarter turn each,
// within 0.1 pixel of the true ellipse) flattened by halving until each piece is within 0.1 pixel
// of a straight line.
#include "raster/region_runs.h"

#include <algorithm>
#include <cmath>

namespace kamishibai {
namespace {

using GridPoint = RegionRows::GridPoint;

// Products of two grid coordinates' differences need up to 128 bits.
__extension__ typedef __int128 Wide;

constexpr double kPi = 3.14159265358979323846;
constexpr double kTolerance = 0.1;

Wide floorDiv(Wide n, Wide d) {
  const Wide q = n / d;
  return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

std::int64_t toGrid(double v) {
  return static_cast<std::int64_t>(std::nearbyint(v * 256.0));
}

double fromGrid(std::int64_t v) {
  return static_cast<double>(v) / 256.0;
}

// The widest angle a cubic arc of a unit circle may span with its error below `tolerance`.
double maxArcAngle(double tolerance) {
  // Angles pi / n and the largest distance of their cubic arcs from the circle.
  static constexpr double kArcErrors[] = {
      0.0185185185185185036127,   0.000272567143730179811158, 2.38647043651461047433e-05,
      4.2455377443222443279e-06,  1.11281001494389081528e-06, 3.72662000942734705475e-07,
      1.47783685574284411325e-07, 6.63240432022601149057e-08, 3.2715520137536980553e-08,
      1.73863223499021216974e-08, 9.81410988043554039085e-09};
  int n = 1;
  for (const double error : kArcErrors) {
    if (error < tolerance) return kPi / n;
    ++n;
  }
  double angle = 0;
  for (;; ++n) {
    angle = kPi / n;
    const double error =
        2.0 / 27.0 * std::pow(std::sin(angle / 4), 6) / std::pow(std::cos(angle / 4), 2);
    if (error <= tolerance || n + 1 >= 1000) return angle;
  }
}

// Builds the outline of an ellipse: the unit circle scaled into the box, point by point.
class EllipseOutline {
 public:
  EllipseOutline(double left, double top, double right, double bottom)
      : centreX_((left + right) / 2),
        centreY_((top + bottom) / 2),
        radiusX_((right - left) / 2),
        radiusY_((bottom - top) / 2) {}

  std::vector<GridPoint> build() {
    points_ = {onGrid(std::cos(0.0), std::sin(0.0))};
    const double major =
        std::sqrt(0.5 * (radiusX_ * radiusX_ + radiusY_ * radiusY_) +
                  std::hypot(0.5 * (radiusX_ * radiusX_ - radiusY_ * radiusY_), 0.0));
    maxAngle_ = maxArcAngle(kTolerance / major);
    arc(0.0, 2 * kPi);
    return points_;
  }

 private:
  struct Knots {
    GridPoint a, b, c, d;
  };

  GridPoint onGrid(double x, double y) const {
    return {toGrid(radiusX_ * x + 0.0 * y + centreX_), toGrid(0.0 * x + radiusY_ * y + centreY_)};
  }

  void add(GridPoint p) {
    if (!(p == points_.back())) points_.push_back(p);
  }

  // Arcs wider than a half turn are drawn as two halves.
  void arc(double from, double to) {
    if (to - from > kPi) {
      const double middle = from + (to - from) / 2.0;
      arc(from, middle);
      arc(middle, to);
      return;
    }
    int pieces = static_cast<int>(std::ceil(std::fabs(to - from) / maxAngle_));
    const double step = (to - from) / pieces;
    add(onGrid(std::cos(from), std::sin(from)));
    for (--pieces; pieces > 0; --pieces, from += step) arcPiece(from, from + step);
    arcPiece(from, to);
  }

  // The cubic through the arc's ends with tangent handles 4/3 tan(angle / 4) long.
  void arcPiece(double a, double b) {
    const double sinA = std::sin(a), cosA = std::cos(a), sinB = std::sin(b), cosB = std::cos(b);
    const double h = 4.0 / 3.0 * std::tan((b - a) / 4.0);
    cubic({points_.back(), onGrid(cosA - h * sinA, sinA + h * cosA),
           onGrid(cosB + h * sinB, sinB - h * cosB), onGrid(cosB, sinB)});
  }

  void cubic(Knots k) {
    if (!(k.a == k.b && k.c == k.d)) flatten(k);
    add(k.d);
  }

  // The larger squared distance of the two handles from the chord a-d.
  static double flatness(const Knots& k) {
    const double dx = fromGrid(k.d.x - k.a.x), dy = fromGrid(k.d.y - k.a.y);
    const double length = dx * dx + dy * dy;
    const auto distanceSquared = [&](GridPoint handle) {
      double x = fromGrid(handle.x - k.a.x), y = fromGrid(handle.y - k.a.y);
      const double along = x * dx + y * dy;
      // The distance from the chord's nearest point (from a itself when a and d coincide).
      if (!(k.a == k.d) && along > 0) {
        const double t = along >= length ? 1.0 : along / length;
        x -= t * dx;
        y -= t * dy;
      }
      return x * x + y * y;
    };
    return std::max(distanceSquared(k.b), distanceSquared(k.c));
  }

  static GridPoint half(GridPoint p, GridPoint q) {
    return {p.x + ((q.x - p.x) >> 1), p.y + ((q.y - p.y) >> 1)};
  }

  void flatten(const Knots& k) {
    if (flatness(k) < kTolerance * kTolerance) {
      add(k.a);
      return;
    }
    const GridPoint ab = half(k.a, k.b), bc = half(k.b, k.c), cd = half(k.c, k.d);
    const GridPoint abbc = half(ab, bc), bccd = half(bc, cd), middle = half(abbc, bccd);
    flatten({k.a, ab, abbc, middle});
    flatten({middle, bccd, cd, k.d});
  }

  double centreX_, centreY_, radiusX_, radiusY_;
  double maxAngle_ = 0;
  std::vector<GridPoint> points_;
};

std::vector<GridPoint> outlineOf(const Region& region) {
  const auto& p = region.points();
  if (region.kind() == Region::Kind::Ellipse) {
    const PixelRect box = regionBounds(region);
    if (box.empty()) return {};
    return EllipseOutline(box.left, box.top, box.right, box.bottom).build();
  }
  std::vector<GridPoint> outline;
  if (p.size() < 3) return outline;
  for (const Point& q : p) outline.push_back({std::int64_t{q.x} * 256, std::int64_t{q.y} * 256});
  return outline;
}

std::int32_t clampColumn(Wide v, std::int32_t from, std::int32_t to) {
  return static_cast<std::int32_t>(std::clamp<Wide>(v, from, to));
}

}  // namespace

PixelRect regionBounds(const Region& region) {
  const auto& p = region.points();
  if (p.size() < 2 || (region.kind() == Region::Kind::Polygon && p.size() < 3)) return {};
  PixelRect box{p[0].x, p[0].y, p[0].x, p[0].y};
  for (const Point& q : p) {
    box = {std::min(box.left, q.x), std::min(box.top, q.y), std::max(box.right, q.x),
           std::max(box.bottom, q.y)};
  }
  return box.empty() ? PixelRect{} : box;
}

RegionRows::RegionRows(const Region& region) {
  const std::vector<GridPoint> outline = outlineOf(region);
  for (std::size_t i = 0; i < outline.size(); ++i) {
    GridPoint a = outline[i], b = outline[(i + 1) % outline.size()];
    if (a.y == b.y) continue;
    if (a.y > b.y) std::swap(a, b);
    edges_.push_back({a, b});
  }
}

void RegionRows::runs(std::int32_t y, std::int32_t from, std::int32_t to,
                      std::vector<PixelRun>& runs) const {
  runs.clear();
  if (from >= to) return;
  const std::int64_t line = std::int64_t{y} * 256 + 127;
  std::vector<std::int32_t> crossings;
  for (const Edge& e : edges_) {
    if (line < e.top.y || line >= e.bottom.y) continue;
    // Where the edge meets the sample line, rounded down to the grid; the first pixel whose
    // sample point lies right of it starts there.
    const Wide x =
        e.top.x + floorDiv(Wide(line - e.top.y) * (e.bottom.x - e.top.x), e.bottom.y - e.top.y);
    crossings.push_back(clampColumn(floorDiv(x + 127, 256), from, to));
  }
  std::sort(crossings.begin(), crossings.end());
  for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
    if (crossings[i] < crossings[i + 1]) runs.push_back({crossings[i], crossings[i + 1]});
  }
}

}  // namespace kamishibai
