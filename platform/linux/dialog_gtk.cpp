// Kamishibai: the shared parts of the GTK dialogs.
#include "platform/linux/dialog_gtk.h"

namespace kamishibai {

void runModalDialog(GtkWidget* dialog, const std::function<bool(gint response)>& finished) {
  for (;;) {
    const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    if (!finished || finished(response)) break;
  }
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

GtkWidget* addPasswordRow(GtkGrid* grid, int row, const char* caption) {
  GtkWidget* label = gtk_label_new(caption);
  gtk_widget_set_halign(label, GTK_ALIGN_END);
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
  gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
  gtk_widget_set_hexpand(entry, TRUE);
  gtk_grid_attach(grid, label, 0, row, 1, 1);
  gtk_grid_attach(grid, entry, 1, row, 1, 1);
  return entry;
}

// What a title bar holds besides the title: its icon, its buttons and their margins.
constexpr int kTitleBarRoom = 112;

void fitTitleBar(GtkWidget* dialog) {
  // Title bars commonly set their title in bold.
  PangoLayout* layout =
      gtk_widget_create_pango_layout(dialog, gtk_window_get_title(GTK_WINDOW(dialog)));
  PangoAttrList* bold = pango_attr_list_new();
  pango_attr_list_insert(bold, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  pango_layout_set_attributes(layout, bold);
  pango_attr_list_unref(bold);
  int titleWidth = 0;
  pango_layout_get_pixel_size(layout, &titleWidth, nullptr);
  g_object_unref(layout);
  gtk_widget_set_size_request(dialog, titleWidth + kTitleBarRoom, -1);
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
}

}  // namespace kamishibai
