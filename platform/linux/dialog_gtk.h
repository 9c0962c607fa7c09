// Kamishibai: what the GTK dialogs share: running one modally to its end, and the row that takes
// a password.
#pragma once

#include <gtk/gtk.h>

#include <functional>

namespace kamishibai {

// Runs the dialog modally until `finished` accepts a response (every response when none is
// given); `finished` still sees the dialog's controls. The dialog is then destroyed and the
// toolkit finishes its drawing, so that nothing of it stays on screen.
void runModalDialog(GtkWidget* dialog, const std::function<bool(gint response)>& finished = {});

// Attaches a caption and a hidden entry that activates the dialog's default response to the
// grid's row; returns the entry.
GtkWidget* addPasswordRow(GtkGrid* grid, int row, const char* caption);

// Makes the dialog wide enough for a window manager's title bar to show its whole title beside
// the bar's icon and buttons, and of a fixed size: a window manager then draws no resize handle,
// an empty strip, beneath it.
void fitTitleBar(GtkWidget* dialog);

}  // namespace kamishibai
