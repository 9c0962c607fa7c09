// Kamishibai Studio: a menu bar from a table of menus and their items, each with its mnemonic and
// its shortcuts.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace kamishibai::studio {

struct MenuItem {
  const char* label;  // an original for tr(), with "_" before the mnemonic; nullptr: a separator
  std::vector<const char*> shortcuts;  // in gtk_accelerator_parse's form, "<Primary>o"
  std::function<void()> activate;
};

struct Menu {
  const char* label;
  std::vector<MenuItem> items;
};

// The menu bar; the shortcuts go into the accelerator group, which the window adds.
GtkWidget* makeMenuBar(const std::vector<Menu>& menus, GtkAccelGroup* shortcuts);

}  // namespace kamishibai::studio
