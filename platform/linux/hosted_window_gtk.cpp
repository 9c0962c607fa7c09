// Kamishibai: the show inside a window that a screen-saver host made (or the root window): it
// puts Picture1 into that window, straight from its words where the window takes them unscaled,
// else through cairo, and leaves input, the cursor and locking to the host.
#include <cairo-xlib.h>
#include <gdk/gdkx.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <span>
#include <stdexcept>

#include "platform/display.h"
#include "platform/end_signals.h"
#include "platform/hosted_window.h"
#include "platform/linux/event_loop_gtk.h"
#include "platform/linux/frame_presenter_x11.h"
#include "platform/linux/hosted_placement.h"
#include "platform/linux/surface_cairo.h"
#include "platform/running_program.h"

namespace kamishibai {
namespace {

// The window the host names in $XSCREENSAVER_WINDOW, else the root window.
Window rootTarget(GdkDisplay* display) {
  if (const char* named = std::getenv("XSCREENSAVER_WINDOW")) {
    char* end = nullptr;
    const unsigned long long id = std::strtoull(named, &end, 0);
    if (end != named && *end == '\0' && id != 0) return static_cast<Window>(id);
  }
  return gdk_x11_window_get_xid(
      gdk_screen_get_root_window(gdk_display_get_default_screen(display)));
}

class HostedShowWindow : public ShowWindow {
 public:
  HostedShowWindow(GdkDisplay* display, GdkWindow* host);
  ~HostedShowWindow() override;
  HostedShowWindow(const HostedShowWindow&) = delete;
  HostedShowWindow& operator=(const HostedShowWindow&) = delete;

  ScreenSize screenSize() override { return size_; }
  // The position the show computed is not used: the window's own size decides, also after
  // the host resizes it.
  void placePicture1(Surface& picture1, std::int32_t, std::int32_t) override;
  void show() override;
  void makeTopmost() override {}
  void setScreenSaverRunning(bool) override {}
  std::int32_t showCursor(bool show) override { return cursorCounter_ += show ? 1 : -1; }
  Point cursorPos() override { return {}; }
  void setInput(ShowInput* input) override;
  EventLoop& events() override { return events_; }
  // No box over the host's window, which holds the keyboard and pointer: the host logs it.
  void showErrorMessage(const std::string& prompt, const std::string& title) override {
    std::cerr << programName() << ": " << title << ": " << prompt << '\n';
  }
  // The host asks for the password itself.
  std::optional<std::int32_t> screenSaveUsePassword() override { return std::nullopt; }
  bool verifyScreenSaverPassword() override { return true; }

 private:
  void paintWhole();
  void paintPicture1(std::span<const PixelRect> parts);
  static GdkFilterReturn onHostEvent(GdkXEvent* xevent, GdkEvent*, gpointer self);

  GdkDisplay* display_;
  GdkWindow* host_;
  ScreenSize size_;
  CairoSurfacePtr target_;
  // Null where the window's visual does not take pixel words as they are.
  std::unique_ptr<XImagePresenter> presenter_;
  Surface* picture1_ = nullptr;
  bool shown_ = false;
  std::int32_t cursorCounter_ = 0;
  GtkEventLoop events_;
};

HostedShowWindow::HostedShowWindow(GdkDisplay* display, GdkWindow* host)
    : display_(display),
      host_(host),
      size_{gdk_window_get_width(host), gdk_window_get_height(host)},
      target_(cairo_xlib_surface_create(
          gdk_x11_display_get_xdisplay(display), gdk_x11_window_get_xid(host),
          gdk_x11_visual_get_xvisual(gdk_window_get_visual(host)), size_.width, size_.height)),
      presenter_(XImagePresenter::create(display, gdk_x11_window_get_xid(host))) {
  // Exposures and size changes only: input stays with the host.
  gdk_window_set_events(host_, static_cast<GdkEventMask>(GDK_EXPOSURE_MASK | GDK_STRUCTURE_MASK));
  gdk_window_add_filter(host_, onHostEvent, this);
}

// However the show ends, the window gets its own background back and its owner an exposure, so
// that the root window or the host's window does not keep the last slide. The window may be gone.
HostedShowWindow::~HostedShowWindow() {
  gdk_window_remove_filter(host_, onHostEvent, this);
  gdk_x11_display_error_trap_push(display_);
  XClearArea(gdk_x11_display_get_xdisplay(display_), gdk_x11_window_get_xid(host_), 0, 0, 0, 0,
             True);
  gdk_display_sync(display_);
  gdk_x11_display_error_trap_pop_ignored(display_);
  g_object_unref(host_);
}

GdkFilterReturn HostedShowWindow::onHostEvent(GdkXEvent* xevent, GdkEvent*, gpointer self) {
  auto* window = static_cast<HostedShowWindow*>(self);
  const auto* event = static_cast<const XEvent*>(xevent);
  if (event->type == Expose && event->xexpose.count == 0) {
    window->paintWhole();
  } else if (event->type == ConfigureNotify) {
    window->size_ = {event->xconfigure.width, event->xconfigure.height};
    cairo_xlib_surface_set_size(window->target_.get(), window->size_.width, window->size_.height);
    window->paintWhole();
  }
  return GDK_FILTER_CONTINUE;
}

// The host's stop (SIGTERM) is the only way a show in its window ends.
void HostedShowWindow::setInput(ShowInput* input) {
  if (input == nullptr) {
    setEndSignalHook(nullptr);
    return;
  }
  setEndSignalHook([input] { input->endRequested(); });
}

void HostedShowWindow::placePicture1(Surface& picture1, std::int32_t, std::int32_t) {
  picture1_ = &picture1;
  // Picture1's words in memory the X server reads in place, so a step goes on screen uncopied.
  SharedWordMemory* memory = SharedWordMemory::of(display_);
  if (presenter_ && memory) picture1.placeWords(memory);
  picture1.setRefreshHook([this](const ChangedArea& changed) { paintPicture1(changed.parts); });
}

void HostedShowWindow::show() {
  shown_ = true;
  paintWhole();
}

// The black background with Picture1 on it, after an exposure or a change of size.
void HostedShowWindow::paintWhole() {
  if (!shown_) return;
  gdk_x11_display_error_trap_push(display_);
  CairoContextPtr cr(cairo_create(target_.get()));
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  cairo_paint(cr.get());
  cr.reset();
  // The black is sent before Picture1, which may go past cairo straight to the server.
  cairo_surface_flush(target_.get());
  gdk_x11_display_error_trap_pop_ignored(display_);
  const PixelRect everything{0, 0, INT32_MAX, INT32_MAX};
  paintPicture1({&everything, 1});
}

// Paints the changed parts of Picture1, or all of it when it is scaled down (the edges of a
// scaled part would blend with what was painted before).
void HostedShowWindow::paintPicture1(std::span<const PixelRect> parts) {
  if (!shown_ || picture1_ == nullptr || picture1_->width() == 0 || picture1_->height() == 0) {
    return;
  }
  const HostedPlacement place =
      placeInHostWindow(size_.width, size_.height, picture1_->width(), picture1_->height());
  const PixelRect whole{0, 0, picture1_->width(), picture1_->height()};
  if (place.scale < 1) parts = {&whole, 1};
  if (presenter_ && place.scale == 1) {
    presenter_->put(*picture1_, parts,
                    {static_cast<std::int32_t>(place.left), static_cast<std::int32_t>(place.top)});
    return;
  }
  const CairoSurfacePtr image = cairoImageOf(*picture1_);
  // The host may destroy its window at any moment before it stops the show; painting into a
  // window that is gone is no error of the show.
  gdk_x11_display_error_trap_push(display_);
  CairoContextPtr cr(cairo_create(target_.get()));
  cairo_translate(cr.get(), place.left, place.top);
  cairo_scale(cr.get(), place.scale, place.scale);
  cairo_set_source_surface(cr.get(), image.get(), 0, 0);
  if (place.scale < 1) cairo_pattern_set_filter(cairo_get_source(cr.get()), CAIRO_FILTER_GOOD);
  for (const PixelRect& part : parts) {
    const PixelRect area = part.intersected(whole);
    if (!area.empty()) cairo_rectangle(cr.get(), area.left, area.top, area.width(), area.height());
  }
  cairo_fill(cr.get());
  cr.reset();
  cairo_surface_flush(target_.get());
  gdk_x11_display_error_trap_pop_ignored(display_);
  gdk_display_flush(display_);
}

}  // namespace

std::unique_ptr<ShowWindow> createHostedShowWindow(const HostWindow& host) {
  if (!openDisplay()) throw std::runtime_error("cannot open the display for the show");
  GdkDisplay* display = gdk_display_get_default();
  if (!GDK_IS_X11_DISPLAY(display)) {
    throw std::runtime_error("showing inside another window needs an X11 display");
  }
  const Window id =
      host.kind == HostWindow::Kind::Given ? static_cast<Window>(host.id) : rootTarget(display);
  GdkWindow* window = gdk_x11_window_foreign_new_for_display(display, id);
  if (window == nullptr) {
    throw std::runtime_error("there is no window " + std::to_string(id));
  }
  return std::make_unique<HostedShowWindow>(display, window);
}

}  // namespace kamishibai
