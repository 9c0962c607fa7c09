// Kamishibai Studio: the menu bar built from its table.
#include "studio/gtk/menu_bar.h"

#include "platform/translate.h"
#include "studio/gtk/signals.h"

namespace kamishibai::studio {
namespace {

GtkWidget* makeItem(const MenuItem& item, GtkAccelGroup* shortcuts) {
  if (item.label == nullptr) return gtk_separator_menu_item_new();
  GtkWidget* widget = gtk_menu_item_new_with_mnemonic(tr(item.label));
  connectSignal(widget, "activate", item.activate);
  for (const char* shortcut : item.shortcuts) {
    guint key = 0;
    GdkModifierType modifiers{};
    gtk_accelerator_parse(shortcut, &key, &modifiers);
    // Only the first shortcut is shown beside the label; the others work all the same.
    const GtkAccelFlags flags =
        shortcut == item.shortcuts.front() ? GTK_ACCEL_VISIBLE : GtkAccelFlags{};
    gtk_widget_add_accelerator(widget, "activate", shortcuts, key, modifiers, flags);
  }
  return widget;
}

}  // namespace

GtkWidget* makeMenuBar(const std::vector<Menu>& menus, GtkAccelGroup* shortcuts) {
  GtkWidget* bar = gtk_menu_bar_new();
  for (const Menu& menu : menus) {
    GtkWidget* top = gtk_menu_item_new_with_mnemonic(tr(menu.label));
    GtkWidget* items = gtk_menu_new();
    gtk_menu_set_accel_group(GTK_MENU(items), shortcuts);
    for (const MenuItem& item : menu.items)
      gtk_menu_shell_append(GTK_MENU_SHELL(items), makeItem(item, shortcuts));
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), items);
    gtk_menu_shell_append(GTK_MENU_SHELL(bar), top);
  }
  return bar;
}

}  // namespace kamishibai::studio
