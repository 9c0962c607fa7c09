// Kamishibai: opening the GTK display and finding the foreground window on X11.
#include "platform/display.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace kamishibai {

bool openDisplay() {
  return gtk_init_check(nullptr, nullptr);
}

std::optional<ScreenSize> primaryScreenSize() {
  if (!openDisplay()) return std::nullopt;
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
  if (monitor == nullptr) return std::nullopt;
  GdkRectangle geometry{};
  gdk_monitor_get_geometry(monitor, &geometry);
  const int scale = gdk_monitor_get_scale_factor(monitor);
  return ScreenSize{geometry.width * scale, geometry.height * scale};
}

std::int32_t foregroundWindow() {
  GdkScreen* screen = gdk_screen_get_default();
  if (screen == nullptr || !GDK_IS_X11_DISPLAY(gdk_screen_get_display(screen))) return 0;
  // The active window comes from the window manager's _NET_ACTIVE_WINDOW; GTK offers no
  // replacement for this call, only the deprecation.
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GdkWindow* active = gdk_screen_get_active_window(screen);
  G_GNUC_END_IGNORE_DEPRECATIONS
  if (active == nullptr) return 0;
  const auto handle = static_cast<std::int32_t>(gdk_x11_window_get_xid(active));
  g_object_unref(active);
  return handle;
}

}  // namespace kamishibai
