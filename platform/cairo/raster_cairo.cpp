// Kamishibai: the raster layer on cairo image surfaces, unscaled copies exact to the pixel and
// nearest-neighbour stretches, with clipping regions drawn without antialiasing.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/cairo/backend.h"

namespace kamishibai {
namespace {

CairoSurfacePtr makeImage(std::int32_t width, std::int32_t height) {
  CairoSurfacePtr image(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(width, 0), std::max(height, 0)));
  if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
    throw std::runtime_error("cannot create a surface of " + std::to_string(width) + " by " +
                             std::to_string(height) + " pixels");
  }
  return image;
}

// A half-open interval of pixel positions on one axis.
struct Span {
  std::int64_t from;
  std::int64_t to;
  bool empty() const { return from >= to; }
};

Span intersect(Span a, Span b) {
  return {std::max(a.from, b.from), std::min(a.to, b.to)};
}

void setColour(cairo_t* cr, Colour c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, (c >> 8 & 0xFF) / 255.0, (c >> 16 & 0xFF) / 255.0);
}

// Adds the region's outline to the current path; returns false for a shape without area.
bool addRegionPath(cairo_t* cr, const Region& region) {
  const auto& p = region.points();
  if (region.kind() == Region::Kind::Ellipse) {
    const double left = std::min(p[0].x, p[1].x), right = std::max(p[0].x, p[1].x);
    const double top = std::min(p[0].y, p[1].y), bottom = std::max(p[0].y, p[1].y);
    if (right <= left || bottom <= top) return false;
    cairo_save(cr);
    cairo_translate(cr, (left + right) / 2, (top + bottom) / 2);
    cairo_scale(cr, (right - left) / 2, (bottom - top) / 2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    return true;
  }
  if (p.size() < 3) return false;
  cairo_move_to(cr, p[0].x, p[0].y);
  for (std::size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
  cairo_close_path(cr);
  return true;
}

// A drawing context on the surface with its clipping region applied; null when the region
// has no area, so nothing may be drawn.
CairoContextPtr clippedContext(const Surface::Backend& b) {
  CairoContextPtr cr(cairo_create(b.image.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  if (b.clip) {
    if (!addRegionPath(cr.get(), *b.clip)) return nullptr;
    cairo_set_fill_rule(cr.get(), CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr.get());
  }
  return cr;
}

}  // namespace

Region Region::ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                       std::int32_t bottom) {
  return Region(Kind::Ellipse, {{left, top}, {right, bottom}});
}

Region Region::polygon(std::vector<Point> points) {
  return Region(Kind::Polygon, std::move(points));
}

Surface::Surface() : Surface(0, 0) {}

Surface::Surface(std::int32_t width, std::int32_t height, Colour backColour)
    : backend_(std::make_unique<Backend>()), backColour_(backColour) {
  resize(width, height);
}

Surface::~Surface() = default;
Surface::Surface(Surface&&) noexcept = default;
Surface& Surface::operator=(Surface&&) noexcept = default;

std::int32_t Surface::width() const {
  return backend_->width;
}
std::int32_t Surface::height() const {
  return backend_->height;
}

void Surface::resize(std::int32_t width, std::int32_t height) {
  backend_->image = makeImage(width, height);
  backend_->width = std::max(width, 0);
  backend_->height = std::max(height, 0);
  clear();
}

void Surface::clear() {
  CairoContextPtr cr(cairo_create(backend_->image.get()));
  setColour(cr.get(), backColour_);
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr.get());
}

void Surface::copyFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                       std::int32_t y, std::int32_t w, std::int32_t h) {
  if (w <= 0 || h <= 0) return;
  if (&source == this) {
    // Copy through a snapshot so overlapping rectangles read the old image.
    Surface snapshot(width(), height());
    snapshot.copyFrom(*this, 0, 0, 0, 0, width(), height());
    copyFrom(snapshot, xs, ys, x, y, w, h);
    return;
  }
  const std::int64_t dx = std::int64_t{x} - xs, dy = std::int64_t{y} - ys;
  const Span cols =
      intersect(intersect({x, std::int64_t{x} + w}, {0, width()}), {dx, dx + source.width()});
  const Span rows =
      intersect(intersect({y, std::int64_t{y} + h}, {0, height()}), {dy, dy + source.height()});
  if (cols.empty() || rows.empty()) return;
  CairoContextPtr cr = clippedContext(*backend_);
  if (!cr) return;
  cairo_surface_flush(source.backend_->image.get());
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr.get(), source.backend_->image.get(), static_cast<double>(dx),
                           static_cast<double>(dy));
  cairo_rectangle(cr.get(), static_cast<double>(cols.from), static_cast<double>(rows.from),
                  static_cast<double>(cols.to - cols.from),
                  static_cast<double>(rows.to - rows.from));
  cairo_fill(cr.get());
}

void Surface::stretchFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t ws,
                          std::int32_t hs, std::int32_t x, std::int32_t y, std::int32_t w,
                          std::int32_t h) {
  if (w == 0 || h == 0 || ws == 0 || hs == 0) return;
  if (&source == this) {
    Surface snapshot(width(), height());
    snapshot.copyFrom(*this, 0, 0, 0, 0, width(), height());
    stretchFrom(snapshot, xs, ys, ws, hs, x, y, w, h);
    return;
  }
  const Span cols = intersect({std::min<std::int64_t>(x, std::int64_t{x} + w),
                               std::max<std::int64_t>(x, std::int64_t{x} + w)},
                              {0, width()});
  const Span rows = intersect({std::min<std::int64_t>(y, std::int64_t{y} + h),
                               std::max<std::int64_t>(y, std::int64_t{y} + h)},
                              {0, height()});
  if (cols.empty() || rows.empty()) return;
  CairoContextPtr cr = clippedContext(*backend_);
  if (!cr) return;
  cairo_surface_flush(source.backend_->image.get());
  // Pattern space (source pixels) from user space (display pixels): u = xs + (X - x) * ws / w.
  // A destination extent of the other sign gives a negative scale, which mirrors.
  const double sx = static_cast<double>(ws) / w, sy = static_cast<double>(hs) / h;
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(source.backend_->image.get());
  cairo_matrix_t matrix;
  cairo_matrix_init(&matrix, sx, 0, 0, sy, xs - x * sx, ys - y * sy);
  cairo_pattern_set_matrix(pattern, &matrix);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
  // The source image is opaque, so OVER copies it exactly and keeps the display's pixels
  // wherever the stretched rectangle samples outside the source surface.
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
  cairo_set_source(cr.get(), pattern);
  cairo_pattern_destroy(pattern);
  cairo_rectangle(cr.get(), static_cast<double>(cols.from), static_cast<double>(rows.from),
                  static_cast<double>(cols.to - cols.from),
                  static_cast<double>(rows.to - rows.from));
  cairo_fill(cr.get());
}

void Surface::fillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      Colour colour) {
  const Span cols = intersect({std::min(x1, x2), std::int64_t{std::max(x1, x2)} + 1}, {0, width()});
  const Span rows =
      intersect({std::min(y1, y2), std::int64_t{std::max(y1, y2)} + 1}, {0, height()});
  if (cols.empty() || rows.empty()) return;
  CairoContextPtr cr = clippedContext(*backend_);
  if (!cr) return;
  setColour(cr.get(), colour);
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr.get(), static_cast<double>(cols.from), static_cast<double>(rows.from),
                  static_cast<double>(cols.to - cols.from),
                  static_cast<double>(rows.to - rows.from));
  cairo_fill(cr.get());
}

void Surface::drawImage(const Surface& source, std::int32_t x, std::int32_t y) {
  copyFrom(source, 0, 0, x, y, source.width(), source.height());
}

void Surface::selectClip(const Region* region) {
  if (region) {
    backend_->clip = *region;
  } else {
    backend_->clip.reset();
  }
}

void Surface::refresh() {
  cairo_surface_flush(backend_->image.get());
  if (refreshHook_) refreshHook_();
}

Colour Surface::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width() || y >= height()) {
    throw std::out_of_range("pixel outside the surface");
  }
  cairo_surface_flush(backend_->image.get());
  const unsigned char* data = cairo_image_surface_get_data(backend_->image.get());
  const int stride = cairo_image_surface_get_stride(backend_->image.get());
  const auto* row =
      reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
  return fromCairoPixel(row[x] & 0xFFFFFFu);
}

void Surface::setPixel(std::int32_t x, std::int32_t y, Colour colour) {
  if (x < 0 || y < 0 || x >= width() || y >= height()) {
    throw std::out_of_range("pixel outside the surface");
  }
  cairo_surface_flush(backend_->image.get());
  unsigned char* data = cairo_image_surface_get_data(backend_->image.get());
  const int stride = cairo_image_surface_get_stride(backend_->image.get());
  auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
  row[x] = toCairoPixel(colour);
  cairo_surface_mark_dirty(backend_->image.get());
}

}  // namespace kamishibai
