// Kamishibai: message boxes as modal GTK message dialogs.
#include "platform/message_box.h"

#include <gtk/gtk.h>

namespace kamishibai {

void showMessageBox(const std::string& prompt, const std::string& title, MessageIcon icon) {
  const GtkMessageType type =
      icon == MessageIcon::Information ? GTK_MESSAGE_INFO : GTK_MESSAGE_WARNING;
  GtkWidget* box =
      gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK, "%s", prompt.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace kamishibai
