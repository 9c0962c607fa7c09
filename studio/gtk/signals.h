// Kamishibai Studio: a GTK signal that takes no arguments of its own, connected to a function
// object, which lives as long as the connection.
#pragma once

#include <gtk/gtk.h>

#include <functional>

namespace kamishibai::studio {

inline void connectSignal(gpointer instance, const char* signal, std::function<void()> action) {
  g_signal_connect_data(
      instance, signal,
      G_CALLBACK(+[](gpointer, gpointer data) { (*static_cast<std::function<void()>*>(data))(); }),
      new std::function<void()>(std::move(action)),
      [](gpointer data, GClosure*) { delete static_cast<std::function<void()>*>(data); },
      GConnectFlags{});
}

}  // namespace kamishibai::studio
