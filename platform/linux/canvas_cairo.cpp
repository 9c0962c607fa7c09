// Kamishibai: the drawing canvas on a cairo image surface, saved through gdk-pixbuf.
#include <cairo.h>
#include <gdk/gdk.h>

#include <memory>

#include "platform/canvas.h"
#include "platform/linux/handle_owner_glib.h"
#include "platform/linux/surface_cairo.h"

namespace kamishibai {

struct Canvas::State {
  CairoSurfacePtr surface;
  CairoContextPtr cr;
  int width;
  int height;
};

namespace {

struct PatternDeleter {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};

}  // namespace

Canvas::Canvas(int width, int height) : state_(std::make_unique<State>()) {
  state_->surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  state_->cr.reset(cairo_create(state_->surface.get()));
  state_->width = width;
  state_->height = height;
}

Canvas::~Canvas() = default;

void Canvas::fillGradient(PointF a, Rgb from, PointF b, Rgb to) {
  const std::unique_ptr<cairo_pattern_t, PatternDeleter> pattern(
      cairo_pattern_create_linear(a.x, a.y, b.x, b.y));
  cairo_pattern_add_color_stop_rgb(pattern.get(), 0, from.r, from.g, from.b);
  cairo_pattern_add_color_stop_rgb(pattern.get(), 1, to.r, to.g, to.b);
  cairo_set_source(state_->cr.get(), pattern.get());
  cairo_paint(state_->cr.get());
}

void Canvas::fillCircle(PointF centre, double radius, Rgb colour, double alpha) {
  cairo_t* cr = state_->cr.get();
  cairo_new_path(cr);
  cairo_arc(cr, centre.x, centre.y, radius, 0, 2 * G_PI);
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
  cairo_fill(cr);
}

void Canvas::strokeCircle(PointF centre, double radius, double lineWidth, Rgb colour,
                          double alpha) {
  cairo_t* cr = state_->cr.get();
  cairo_new_path(cr);
  cairo_arc(cr, centre.x, centre.y, radius, 0, 2 * G_PI);
  cairo_set_line_width(cr, lineWidth);
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
  cairo_stroke(cr);
}

void Canvas::fillPolygon(std::span<const PointF> points, Rgb colour, double alpha) {
  if (points.empty()) return;
  cairo_t* cr = state_->cr.get();
  cairo_new_path(cr);
  for (const PointF& p : points) cairo_line_to(cr, p.x, p.y);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, alpha);
  cairo_fill(cr);
}

namespace {

// Saves the surface through gdk-pixbuf in the format given, with its options as key, value, ...
template <typename... Options>
std::string saveAs(cairo_surface_t* surface, int width, int height,
                   const std::filesystem::path& file, const char* format, Options... options) {
  cairo_surface_flush(surface);
  const GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_get_from_surface(surface, 0, 0, width, height));
  if (!pixbuf) return "the picture cannot be converted";
  GError* raw = nullptr;
  if (gdk_pixbuf_save(pixbuf.get(), file.c_str(), format, &raw, options..., nullptr)) return {};
  const GErrorPtr error(raw);
  return error ? error->message : "the picture cannot be saved";
}

}  // namespace

std::string Canvas::saveJpeg(const std::filesystem::path& file, int quality) const {
  return saveAs(state_->surface.get(), state_->width, state_->height, file, "jpeg", "quality",
                std::to_string(quality).c_str());
}

std::string Canvas::savePng(const std::filesystem::path& file) const {
  return saveAs(state_->surface.get(), state_->width, state_->height, file, "png", "compression",
                "9");
}

}  // namespace kamishibai
