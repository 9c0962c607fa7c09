// Kamishibai: the show window on X11: an undecorated, full-screen, keep-above black window on the
// monitor under the pointer with Picture1's visible part as a window of its own, and black covers
// over every part of the other monitors that it leaves in view. They are plain GDK windows, whose
// black the X server paints itself: GTK, its theme and its modules start only for the password
// dialog.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/cover_areas.h"
#include "platform/display.h"
#include "platform/end_signals.h"
#include "platform/linux/dialog_gtk.h"
#include "platform/linux/display_gtk.h"
#include "platform/linux/event_loop_gtk.h"
#include "platform/linux/frame_presenter_x11.h"
#include "platform/linux/handle_owner_glib.h"
#include "platform/linux/password_sodium.h"
#include "platform/linux/password_store.h"
#include "platform/linux/surface_cairo.h"
#include "platform/message_box.h"
#include "platform/show_window.h"
#include "platform/translate.h"

namespace kamishibai {
namespace {

const char* const kWindowTitle = "Kamishibai";
const char* const kCoverTitle = "Kamishibai cover";
// How often a grab that another client keeps from the show is tried again.
constexpr guint kGrabRetryMilliseconds = 100;
constexpr auto kInputEvents = GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK | GDK_POINTER_MOTION_MASK;

using CursorPtr = GObjectPtr<GdkCursor>;

struct RegionDeleter {
  void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;

struct GdkWindowDestroyer {
  void operator()(GdkWindow* window) const { gdk_window_destroy(window); }
};
using GdkWindowPtr = std::unique_ptr<GdkWindow, GdkWindowDestroyer>;

// Destroys a top-level widget (and with it every child) when the owner goes.
struct WidgetDeleter {
  void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using WidgetPtr = std::unique_ptr<GtkWidget, WidgetDeleter>;

PixelRect rectOf(const GdkRectangle& area) {
  return {area.x, area.y, area.x + area.width, area.y + area.height};
}

GdkRectangle gdkRectangleOf(const PixelRect& rect) {
  return {rect.left, rect.top, rect.width(), rect.height()};
}

Point pointerPosition(GdkDisplay* display) {
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(display));
  gint x = 0;
  gint y = 0;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  return {x, y};
}

GdkMonitor* monitorUnderPointer(GdkDisplay* display) {
  const Point at = pointerPosition(display);
  return gdk_display_get_monitor_at_point(display, at.x, at.y);
}

int monitorNumber(GdkDisplay* display, GdkMonitor* monitor) {
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    if (gdk_display_get_monitor(display, i) == monitor) return i;
  }
  return 0;
}

// The X server's own list of monitors (RandR 1.5), which also holds monitors declared on a part
// of a screen that GDK leaves out; empty when the server has none.
std::vector<PixelRect> randrMonitorAreas(GdkDisplay* display) {
  std::vector<PixelRect> areas;
  if (!GDK_IS_X11_DISPLAY(display)) return areas;
  Display* x = GDK_DISPLAY_XDISPLAY(display);
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (!XRRQueryExtension(x, &eventBase, &errorBase) || !XRRQueryVersion(x, &major, &minor) ||
      (major == 1 && minor < 5)) {
    return areas;
  }
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(x, DefaultRootWindow(x), True, &count);
  for (int i = 0; i < count; ++i) {
    areas.push_back(rectOf({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height}));
  }
  if (monitors != nullptr) XRRFreeMonitors(monitors);
  return areas;
}

std::vector<PixelRect> monitorAreas(GdkDisplay* display) {
  std::vector<PixelRect> areas = randrMonitorAreas(display);
  if (!areas.empty()) return areas;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle area{};
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &area);
    areas.push_back(rectOf(area));
  }
  return areas;
}

// A window of the display's own visual that takes the show's input; a top-level one is black,
// painted by the X server, and Picture1's has no background, as the show paints all of it.
GdkWindowPtr newWindow(GdkWindow* parent, const GdkRectangle& area, const char* title) {
  GdkWindowAttr attributes{};
  attributes.title = const_cast<gchar*>(title);
  attributes.event_mask = kInputEvents | (parent ? GDK_EXPOSURE_MASK : 0);
  attributes.x = area.x;
  attributes.y = area.y;
  attributes.width = area.width;
  attributes.height = area.height;
  attributes.wclass = GDK_INPUT_OUTPUT;
  attributes.window_type = parent ? GDK_WINDOW_CHILD : GDK_WINDOW_TOPLEVEL;
  const gint mask = GDK_WA_X | GDK_WA_Y | (title ? GDK_WA_TITLE : 0);
  GdkWindowPtr window(gdk_window_new(parent, &attributes, mask));
  // A child of a native window is drawn by GDK itself unless it has an X window of its own;
  // Picture1's steps go straight onto one.
  gdk_window_ensure_native(window.get());
  if (!parent && GDK_IS_X11_WINDOW(window.get())) {
    Display* x = GDK_WINDOW_XDISPLAY(window.get());
    XSetWindowBackground(x, GDK_WINDOW_XID(window.get()), BlackPixel(x, DefaultScreen(x)));
  }
  return window;
}

// Undecorated, out of the task bar, at the area's place and size, full-screen there when a
// window manager does it (GDK's monitor of the area's centre, when it is that monitor).
void placeFullScreen(GdkWindow* window, GdkDisplay* display, const GdkRectangle& area) {
  gdk_window_set_decorations(window, static_cast<GdkWMDecoration>(0));
  gdk_window_set_skip_taskbar_hint(window, TRUE);
  GdkGeometry geometry{};
  gdk_window_set_geometry_hints(
      window, &geometry, static_cast<GdkWindowHints>(GDK_HINT_USER_POS | GDK_HINT_USER_SIZE));
  GdkMonitor* monitor =
      gdk_display_get_monitor_at_point(display, area.x + area.width / 2, area.y + area.height / 2);
  GdkRectangle monitorArea{};
  gdk_monitor_get_geometry(monitor, &monitorArea);
  if (gdk_rectangle_equal(&monitorArea, &area)) {
    gdk_window_fullscreen_on_monitor(window, monitorNumber(display, monitor));
  }
}

// Closes every dialog that runs (the password dialog, a message box) as if its close box was
// clicked, so an end request is not held up by one.
void closeOpenDialogs() {
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item != nullptr; item = item->next) {
    GtkWidget* widget = GTK_WIDGET(item->data);
    if (GTK_IS_DIALOG(widget) && gtk_widget_get_visible(widget)) {
      gtk_dialog_response(GTK_DIALOG(widget), GTK_RESPONSE_DELETE_EVENT);
    }
  }
  g_list_free(windows);
}

class GdkShowWindow : public ShowWindow, private WindowEventHandler {
 public:
  GdkShowWindow();
  ~GdkShowWindow() override;
  GdkShowWindow(const GdkShowWindow&) = delete;
  GdkShowWindow& operator=(const GdkShowWindow&) = delete;

  ScreenSize screenSize() override { return {monitorArea_.width, monitorArea_.height}; }
  void placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) override;
  void show() override;
  void makeTopmost() override;
  void setScreenSaverRunning(bool running) override;
  std::int32_t showCursor(bool show) override;
  Point cursorPos() override;
  void setInput(ShowInput* input) override;
  EventLoop& events() override { return events_; }
  void showErrorMessage(const std::string& prompt, const std::string& title) override;
  std::optional<std::int32_t> screenSaveUsePassword() override;
  bool verifyScreenSaverPassword() override;

 private:
  void handleEvent(const GdkEvent& event) override;
  GdkWindowPtr takeInput(GdkWindowPtr window);
  void addCovers();
  // Puts the parts of Picture1 (in its own coordinates) that lie in view on screen.
  void presentPicture1(std::span<const PixelRect> parts);
  void paintPicture1(std::span<const PixelRect> parts);
  XImagePresenter* presenter();
  void applyCursor();
  void makeOwned(GtkWidget* dialog) const;
  void tryToGrab();
  void retryGrabUntilHeld();
  void stopGrabRetries();
  static gboolean onGrabRetry(gpointer self);

  GdkDisplay* display_;
  GdkRectangle monitorArea_{};
  GdkWindowPtr window_;
  // The black windows over what the show's window leaves of the monitors in view.
  std::vector<GdkWindowPtr> covers_;
  CursorPtr blankCursor_;
  Surface* picture1_ = nullptr;
  // Picture1's part that lies on the monitor, in Picture1's coordinates, and the window that
  // shows it (none when no part does); the rest of a larger area can never be seen.
  PixelRect inView_;
  GdkWindowPtr picture_;
  // Puts each step's changed part straight onto Picture1's X window; null where the display or
  // its visual does not allow it, and cairo paints instead.
  std::unique_ptr<XImagePresenter> presenter_;
  bool presenterTried_ = false;
  ShowInput* input_ = nullptr;
  std::int32_t cursorCounter_ = 0;
  bool grabbed_ = false;
  bool grabWanted_ = false;
  // The timer that tries the grab again while the show runs without it; it stops once the grab
  // is held, so a show that holds it is not woken for nothing.
  guint grabRetry_ = 0;
  GtkEventLoop events_;
};

GdkShowWindow::GdkShowWindow()
    : display_(gdk_display_get_default()),
      blankCursor_(gdk_cursor_new_for_display(display_, GDK_BLANK_CURSOR)) {
  gdk_monitor_get_geometry(monitorUnderPointer(display_), &monitorArea_);
  window_ = takeInput(newWindow(nullptr, monitorArea_, kWindowTitle));
  placeFullScreen(window_.get(), display_, monitorArea_);
  addCovers();
}

GdkShowWindow::~GdkShowWindow() {
  stopGrabRetries();
  // The windows go before the handler they name.
  picture_.reset();
  covers_.clear();
  window_.reset();
}

GdkWindowPtr GdkShowWindow::takeInput(GdkWindowPtr window) {
  attachEventHandler(window.get(), this);
  return window;
}

// A black window over each part of the monitors that the show's window leaves in view.
void GdkShowWindow::addCovers() {
  const std::vector<PixelRect> monitors = monitorAreas(display_);
  for (const PixelRect& part : uncoveredParts(monitors, rectOf(monitorArea_))) {
    const GdkRectangle area = gdkRectangleOf(part);
    covers_.push_back(takeInput(newWindow(nullptr, area, kCoverTitle)));
    placeFullScreen(covers_.back().get(), display_, area);
  }
}

void GdkShowWindow::setInput(ShowInput* input) {
  input_ = input;
  if (input == nullptr) {
    setEndSignalHook(nullptr);
    return;
  }
  setEndSignalHook([this] {
    if (input_) input_->endRequested();
    closeOpenDialogs();
  });
}

void GdkShowWindow::handleEvent(const GdkEvent& event) {
  switch (event.type) {
    case GDK_KEY_PRESS:
      if (input_) input_->keyDown();
      break;
    case GDK_BUTTON_PRESS:
      if (input_) input_->buttonDown();
      break;
    case GDK_MOTION_NOTIFY:
      if (input_) input_->mouseMove();
      break;
    case GDK_EXPOSE:
      if (event.expose.window == picture_.get()) {
        std::vector<PixelRect> parts;
        for (int i = 0; i < cairo_region_num_rectangles(event.expose.region); ++i) {
          cairo_rectangle_int_t area{};
          cairo_region_get_rectangle(event.expose.region, i, &area);
          parts.push_back({inView_.left + area.x, inView_.top + area.y,
                           inView_.left + area.x + area.width, inView_.top + area.y + area.height});
        }
        presentPicture1(parts);
      }
      break;
    case GDK_GRAB_BROKEN:
      // A grab lost while the show runs (the window unmapped, a grab of another of our windows)
      // is taken again by the retry timer.
      grabbed_ = false;
      if (grabWanted_) retryGrabUntilHeld();
      break;
    default:
      // The windows close only with the end of the show.
      break;
  }
}

void GdkShowWindow::placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) {
  picture1_ = &picture1;
  const PixelRect area{left, top, left + picture1.width(), top + picture1.height()};
  const PixelRect onMonitor = area.intersected({0, 0, monitorArea_.width, monitorArea_.height});
  inView_ = {onMonitor.left - left, onMonitor.top - top, onMonitor.right - left,
             onMonitor.bottom - top};
  if (!onMonitor.empty()) {
    picture_ = takeInput(newWindow(window_.get(), gdkRectangleOf(onMonitor), nullptr));
  }
  // Picture1's words in memory the X server reads in place, so a step goes on screen uncopied.
  if (SharedWordMemory* memory = SharedWordMemory::of(display_)) picture1.placeWords(memory);
  picture1.setRefreshHook([this](const ChangedArea& changed) { presentPicture1(changed.parts); });
}

// Puts the changed parts of Picture1 that can be seen on screen now, so that the display shows
// each step of a transition as it is drawn: straight onto the X window where possible, else
// through cairo.
void GdkShowWindow::presentPicture1(std::span<const PixelRect> parts) {
  if (!picture_ || !gdk_window_is_visible(picture_.get())) return;
  std::vector<PixelRect> visible;
  for (const PixelRect& part : parts) {
    if (const PixelRect area = part.intersected(inView_); !area.empty()) visible.push_back(area);
  }
  if (visible.empty()) return;
  if (XImagePresenter* put = presenter()) {
    put->put(*picture1_, visible, {-inView_.left, -inView_.top});
    return;
  }
  paintPicture1(visible);
}

void GdkShowWindow::paintPicture1(std::span<const PixelRect> parts) {
  RegionPtr region(cairo_region_create());
  for (const PixelRect& part : parts) {
    const cairo_rectangle_int_t rect{part.left - inView_.left, part.top - inView_.top, part.width(),
                                     part.height()};
    cairo_region_union_rectangle(region.get(), &rect);
  }
  GdkDrawingContext* drawing = gdk_window_begin_draw_frame(picture_.get(), region.get());
  cairo_t* cr = gdk_drawing_context_get_cairo_context(drawing);
  const CairoSurfacePtr image = cairoImageOf(*picture1_);
  cairo_set_source_surface(cr, image.get(), -inView_.left, -inView_.top);
  cairo_paint(cr);
  gdk_window_end_draw_frame(picture_.get(), drawing);
  gdk_display_flush(display_);
}

XImagePresenter* GdkShowWindow::presenter() {
  if (!presenterTried_) {
    presenterTried_ = true;
    if (GDK_IS_X11_WINDOW(picture_.get())) {
      presenter_ = XImagePresenter::create(display_, GDK_WINDOW_XID(picture_.get()));
    }
  }
  return presenter_.get();
}

void GdkShowWindow::show() {
  for (const GdkWindowPtr& cover : covers_) gdk_window_show(cover.get());
  if (picture_) gdk_window_show(picture_.get());
  gdk_window_show(window_.get());
  applyCursor();
  presentPicture1({&inView_, 1});
}

void GdkShowWindow::makeTopmost() {
  for (const GdkWindowPtr& cover : covers_) gdk_window_set_keep_above(cover.get(), TRUE);
  gdk_window_set_keep_above(window_.get(), TRUE);
}

// The keyboard and the pointer are held while the show runs. When another client holds either
// (an open menu, a drag) or the window is not yet mapped, the grab is tried again every 100 ms
// until both are held, and again whenever it is lost, for as long as the show runs.
void GdkShowWindow::setScreenSaverRunning(bool running) {
  grabWanted_ = running;
  if (running) {
    tryToGrab();
    if (!grabbed_) retryGrabUntilHeld();
    return;
  }
  stopGrabRetries();
  if (grabbed_) {
    gdk_seat_ungrab(gdk_display_get_default_seat(display_));
    grabbed_ = false;
  }
}

void GdkShowWindow::tryToGrab() {
  if (grabbed_) return;
  // Owner events: the show's own dialogs and covers keep receiving their input during the grab.
  grabbed_ =
      gdk_window_is_viewable(window_.get()) &&
      gdk_seat_grab(gdk_display_get_default_seat(display_), window_.get(), GDK_SEAT_CAPABILITY_ALL,
                    TRUE, nullptr, nullptr, nullptr, nullptr) == GDK_GRAB_SUCCESS;
}

void GdkShowWindow::retryGrabUntilHeld() {
  if (grabRetry_ == 0) grabRetry_ = g_timeout_add(kGrabRetryMilliseconds, onGrabRetry, this);
}

gboolean GdkShowWindow::onGrabRetry(gpointer self) {
  auto* window = static_cast<GdkShowWindow*>(self);
  window->tryToGrab();
  if (!window->grabbed_) return G_SOURCE_CONTINUE;
  window->grabRetry_ = 0;
  return G_SOURCE_REMOVE;
}

void GdkShowWindow::stopGrabRetries() {
  if (grabRetry_ != 0) g_source_remove(grabRetry_);
  grabRetry_ = 0;
}

std::int32_t GdkShowWindow::showCursor(bool show) {
  cursorCounter_ += show ? 1 : -1;
  applyCursor();
  return cursorCounter_;
}

void GdkShowWindow::applyCursor() {
  GdkCursor* cursor = cursorCounter_ < 0 ? blankCursor_.get() : nullptr;
  gdk_window_set_cursor(window_.get(), cursor);
  if (picture_) gdk_window_set_cursor(picture_.get(), cursor);
  for (const GdkWindowPtr& cover : covers_) gdk_window_set_cursor(cover.get(), cursor);
}

Point GdkShowWindow::cursorPos() {
  return pointerPosition(display_);
}

// Dialogs of the show belong to its window and stay above it, centred on its monitor.
void GdkShowWindow::makeOwned(GtkWidget* dialog) const {
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  GtkRequisition size{};
  gtk_widget_get_preferred_size(dialog, nullptr, &size);
  gtk_window_move(GTK_WINDOW(dialog), monitorArea_.x + (monitorArea_.width - size.width) / 2,
                  monitorArea_.y + (monitorArea_.height - size.height) / 2);
  gtk_widget_realize(dialog);
  gdk_window_set_transient_for(gtk_widget_get_window(dialog), window_.get());
}

// The message box of the desktop: above every window, so above the show too, and answering
// input during the show's grab.
void GdkShowWindow::showErrorMessage(const std::string& prompt, const std::string& title) {
  showMessageBox(prompt, title, MessageIcon::Exclamation);
}

std::optional<std::int32_t> GdkShowWindow::screenSaveUsePassword() {
  const auto files = DesktopFiles::forCurrentUser();
  return files ? readScreenSaveUsePassword(*files) : std::nullopt;
}

bool GdkShowWindow::verifyScreenSaverPassword() {
  // A password file that cannot be used fails the check before anything is asked. The check
  // comes only after the switch was read from the user's files, so their folder is known.
  const std::string hash = readStoredHash(DesktopFiles::forCurrentUser().value().passwordFile);
  if (!startGtk()) return false;
  WidgetPtr dialog(gtk_dialog_new_with_buttons(tr("スクリーン セーバーのパスワード"), nullptr,
                                               GTK_DIALOG_MODAL, "OK", GTK_RESPONSE_OK,
                                               tr("キャンセル"), GTK_RESPONSE_CANCEL, nullptr));
  gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), GTK_RESPONSE_OK);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
  GtkWidget* entry = addPasswordRow(GTK_GRID(grid), 0, tr("パスワード:"));
  gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog.get()))), grid);
  gtk_widget_show_all(grid);
  fitTitleBar(dialog.get());
  makeOwned(dialog.get());
  gtk_widget_show_all(dialog.get());
  gtk_widget_grab_focus(entry);
  if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_OK) return false;
  return passwordMatches(hash, gtk_entry_get_text(GTK_ENTRY(entry)));
}

}  // namespace

std::unique_ptr<ShowWindow> createShowWindow() {
  if (!openDisplay()) throw std::runtime_error("cannot open the display for the show window");
  return std::make_unique<GdkShowWindow>();
}

}  // namespace kamishibai
