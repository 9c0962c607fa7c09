// Kamishibai: message boxes as modal GTK message dialogs.
#include "platform/message_box.h"

#include <gtk/gtk.h>

#include "platform/linux/dialog_gtk.h"
#include "platform/linux/display_gtk.h"

namespace kamishibai {

namespace {

// GTK 3 no longer draws the message type's icon; the box shows it beside the prompt, as the
// message boxes it stands in for do.
void addIcon(GtkWidget* box, const char* iconName) {
  GtkWidget* image = gtk_image_new_from_icon_name(iconName, GTK_ICON_SIZE_DIALOG);
  GtkWidget* row =
      gtk_widget_get_parent(gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(box)));
  gtk_box_pack_start(GTK_BOX(row), image, FALSE, FALSE, 0);
  gtk_box_reorder_child(GTK_BOX(row), image, 0);
  gtk_widget_set_valign(image, GTK_ALIGN_START);
  gtk_widget_show(image);
}

}  // namespace

void showMessageBox(const std::string& prompt, const std::string& title, MessageIcon icon) {
  if (!startGtk()) return;
  const bool information = icon == MessageIcon::Information;
  const char* iconName = information ? "dialog-information" : "dialog-warning";
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL,
                                          information ? GTK_MESSAGE_INFO : GTK_MESSAGE_WARNING,
                                          GTK_BUTTONS_OK, "%s", prompt.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  gtk_window_set_icon_name(GTK_WINDOW(box), iconName);
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  addIcon(box, iconName);
  runModalDialog(box);
}

}  // namespace kamishibai
