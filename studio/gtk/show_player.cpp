// Kamishibai Studio: the hosted show in a window: the saver gets the X window of a drawing area
// with "-window-id", draws into it and is ended with SIGTERM when the window closes.
#include "studio/gtk/show_player.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <signal.h>

#include <string>
#include <system_error>

#include "platform/translate.h"

namespace kamishibai::studio {
namespace {

struct PlayingShow {
  std::filesystem::path saver;
  GPid pid = 0;
  bool running = false;
  bool windowOpen = true;
};

void forget(PlayingShow* show) {
  if (show->running || show->windowOpen) return;
  std::error_code ignored;
  std::filesystem::remove(show->saver, ignored);
  delete show;
}

void showEnded(GPid pid, gint, gpointer data) {
  auto* show = static_cast<PlayingShow*>(data);
  g_spawn_close_pid(pid);
  show->running = false;
  forget(show);
}

void startSaver(GtkWidget* area, PlayingShow* show) {
  const std::string saver = show->saver.string();
  const std::string id = std::to_string(GDK_WINDOW_XID(gtk_widget_get_window(area)));
  gchar* argv[] = {const_cast<gchar*>(saver.c_str()), const_cast<gchar*>("-window-id"),
                   const_cast<gchar*>(id.c_str()), nullptr};
  GError* error = nullptr;
  if (!g_spawn_async(nullptr, argv, nullptr, G_SPAWN_DO_NOT_REAP_CHILD, nullptr, nullptr,
                     &show->pid, &error)) {
    g_warning("%s", error->message);
    g_error_free(error);
    return;
  }
  show->running = true;
  g_child_watch_add(show->pid, showEnded, show);
}

void windowClosed(GtkWidget*, gpointer data) {
  auto* show = static_cast<PlayingShow*>(data);
  show->windowOpen = false;
  if (show->running) kill(show->pid, SIGTERM);
  forget(show);
}

}  // namespace

void playSaver(const std::filesystem::path& saver) {
  auto* show = new PlayingShow{saver};
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), tr("紙芝居スタジオ - 再生"));
  gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
  GtkWidget* area = gtk_drawing_area_new();
  // The saver draws into the area's own X window, which GTK then leaves alone.
  gtk_widget_set_app_paintable(area, TRUE);
  gtk_container_add(GTK_CONTAINER(window), area);
  g_signal_connect(window, "destroy", G_CALLBACK(windowClosed), show);
  gtk_widget_show_all(window);
  gdk_window_ensure_native(gtk_widget_get_window(area));
  gdk_display_sync(gtk_widget_get_display(area));
  startSaver(area, show);
}

}  // namespace kamishibai::studio
