// Kamishibai: the show window as the show sees it: a black full-screen window holding the display
// surface Picture1, the cursor, the keyboard and pointer grab, its event loop and its dialogs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/event_loop.h"
#include "raster/raster.h"

namespace kamishibai {

// The input handlers of the window and of Picture1; the window calls them from its event
// processing, for events of either source alike.
class ShowInput {
 public:
  virtual ~ShowInput() = default;
  virtual void keyDown() = 0;
  virtual void buttonDown() = 0;
  virtual void mouseMove() = 0;
  // The system asks the show to end (a daemon's stop, a logout): it ends in order, without the
  // password.
  virtual void endRequested() = 0;
  // The session ends and the system may stop the process as soon as this returns: the show
  // finishes at once, work folder included, without the password.
  virtual void sessionEnding() = 0;
};

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

class ShowWindow {
 public:
  virtual ~ShowWindow() = default;

  // The size in pixels of the screen (the monitor under the pointer) that the window covers.
  virtual ScreenSize screenSize() = 0;
  // Shows picture1's image with its top-left corner at (left, top) of the window, at the
  // surface's size; the window takes over picture1's refresh, which then paints it at once.
  virtual void placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) = 0;
  // Shows the window (not modal) and paints it.
  virtual void show() = 0;
  virtual void makeTopmost() = 0;
  // On: keyboard and pointer are grabbed for the window (a screen saver runs); off: released.
  virtual void setScreenSaverRunning(bool running) = 0;
  // The cursor's display counter: +1 when show, -1 otherwise; the cursor is hidden while the
  // counter is negative. Returns the new counter.
  virtual std::int32_t showCursor(bool show) = 0;
  // The pointer's position on the screen.
  virtual Point cursorPos() = 0;
  // The handlers to call; the window also passes the system's end requests to them.
  virtual void setInput(ShowInput* input) = 0;
  virtual EventLoop& events() = 0;

  // The unexpected-error message box, with the exclamation icon, owned by the window.
  virtual void showErrorMessage(const std::string& prompt, const std::string& title) = 0;
  // The desktop switch ScreenSaveUsePassword; nullopt when it cannot be read.
  virtual std::optional<std::int32_t> screenSaveUsePassword() = 0;
  // The modal password dialog owned by the window; true when the right password was given.
  virtual bool verifyScreenSaverPassword() = 0;
};

// The window of the desktop the program runs on.
std::unique_ptr<ShowWindow> createShowWindow();

}  // namespace kamishibai
