// Kamishibai: the display on X11: GDK opened without GL, the events of the show's own windows
// routed to their handlers, GTK started when a dialog needs it, and the foreground window.
#include "platform/display.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <clocale>
#include <cstdlib>

#include "platform/linux/display_gtk.h"

namespace kamishibai {

namespace {

const char* const kHandlerKey = "kamishibai-event-handler";
bool gtkStarted = false;

bool isInput(GdkEventType type) {
  switch (type) {
    case GDK_KEY_PRESS:
    case GDK_KEY_RELEASE:
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
    case GDK_3BUTTON_PRESS:
    case GDK_BUTTON_RELEASE:
    case GDK_MOTION_NOTIFY:
    case GDK_SCROLL:
      return true;
    default:
      return false;
  }
}

// Events of a window with a handler go to it; every other event is GTK's, once GTK runs. While a
// GTK dialog runs modally, the input of those windows goes to the dialog, as GTK does with its
// own windows: the show's grab reports the keys typed into the dialog on the show's window.
void routeEvent(GdkEvent* event, gpointer) {
  auto* handler = event->any.window ? static_cast<WindowEventHandler*>(g_object_get_data(
                                          G_OBJECT(event->any.window), kHandlerKey))
                                    : nullptr;
  GtkWidget* modal =
      gtkStarted && handler && isInput(event->type) ? gtk_grab_get_current() : nullptr;
  if (modal) {
    gtk_propagate_event(modal, event);
  } else if (handler) {
    handler->handleEvent(*event);
  } else if (gtkStarted) {
    gtk_main_do_event(event);
  }
}

}  // namespace

bool openDisplay() {
  if (gdk_display_get_default() != nullptr) return true;
  // GDK probes GL when it opens a display, to choose its visuals, and so maps the GL driver and
  // its compiler (tens of megabytes) into a program that draws with its own raster. The switch
  // stays set for the whole process, as GDK reads it again when GTK starts.
  setenv("GDK_GL", "disable", 1);
  // The input the show and its dialogs take (keys, clicks, the pointer's moves) comes as core
  // events as well. Without XInput 2, GDK's start asks the server half as many questions, each a
  // wait for its answer, and the first picture comes that much sooner.
  setenv("GDK_CORE_DEVICE_EVENTS", "1", 1);
  // The locale GTK's start would set, so that the show runs under the same one.
  std::setlocale(LC_ALL, "");
  if (!gdk_init_check(nullptr, nullptr)) return false;
  gdk_event_handler_set(routeEvent, nullptr, nullptr);
  return true;
}

bool startGtk() {
  if (gtkStarted) return true;
  if (!openDisplay() || !gtk_init_check(nullptr, nullptr)) return false;
  gtkStarted = true;
  // GTK takes every event when it starts; the show's windows keep their own handlers.
  gdk_event_handler_set(routeEvent, nullptr, nullptr);
  return true;
}

void attachEventHandler(GdkWindow* window, WindowEventHandler* handler) {
  g_object_set_data(G_OBJECT(window), kHandlerKey, handler);
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
