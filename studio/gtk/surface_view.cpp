// Kamishibai Studio: the surface view, painted with cairo from the surface's words in place.
#include "studio/gtk/surface_view.h"

#include <algorithm>

#include "platform/linux/surface_cairo.h"

namespace kamishibai::studio {
namespace {

constexpr const char* kSurfaceKey = "kamishibai-surface";

gboolean drawSurface(GtkWidget* view, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 0.2, 0.2, 0.2);
  cairo_paint(cr);
  const auto* surface = static_cast<const Surface*>(g_object_get_data(G_OBJECT(view), kSurfaceKey));
  if (surface == nullptr || surface->width() == 0 || surface->height() == 0) return TRUE;
  const double width = gtk_widget_get_allocated_width(view);
  const double height = gtk_widget_get_allocated_height(view);
  const double scale = std::min(width / surface->width(), height / surface->height());
  cairo_translate(cr, (width - surface->width() * scale) / 2,
                  (height - surface->height() * scale) / 2);
  cairo_scale(cr, scale, scale);
  const CairoSurfacePtr image = cairoImageOf(*surface);
  cairo_set_source_surface(cr, image.get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  return TRUE;
}

}  // namespace

GtkWidget* makeSurfaceView() {
  GtkWidget* view = gtk_drawing_area_new();
  g_signal_connect(view, "draw", G_CALLBACK(drawSurface), nullptr);
  return view;
}

void showSurface(GtkWidget* view, const Surface* surface) {
  g_object_set_data(G_OBJECT(view), kSurfaceKey, const_cast<Surface*>(surface));
  gtk_widget_queue_draw(view);
}

}  // namespace kamishibai::studio
