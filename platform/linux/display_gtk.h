// Kamishibai: what the Linux backend adds to the display connection: the show's windows are plain
// GDK windows with handlers of their own, and GTK starts only when a dialog needs it.
#pragma once

#include <gdk/gdk.h>

namespace kamishibai {

// Takes the GDK events of the windows it is attached to.
class WindowEventHandler {
 public:
  virtual ~WindowEventHandler() = default;
  virtual void handleEvent(const GdkEvent& event) = 0;
};

// From now on the window's events go to the handler (nullptr: back to GTK). The handler must
// outlive the attachment.
void attachEventHandler(GdkWindow* window, WindowEventHandler* handler);

// Starts GTK for a dialog: its settings, theme and modules load only now. False when no display
// can be opened.
bool startGtk();

}  // namespace kamishibai
