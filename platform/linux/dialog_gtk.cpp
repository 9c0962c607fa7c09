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

}  // namespace kamishibai
