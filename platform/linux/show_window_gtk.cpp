// Kamishibai: the show window on GTK: an undecorated, full-screen, keep-above black window on the
// monitor under the pointer, with Picture1 as a drawing area that paints the display surface, and
// a black cover on every other monitor.
#include <X11/extensions/Xrandr.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "platform/end_signals.h"
#include "platform/linux/dialog_gtk.h"
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
// More than any window: intersected with Picture1's window, it is the whole of it.
constexpr PixelRect kWholeArea{0, 0, INT32_MAX, INT32_MAX};
const char* const kCoverTitle = "Kamishibai cover";
// How often a grab that another client keeps from the show is tried again.
constexpr guint kGrabRetryMilliseconds = 100;
const char* const kBlackBackground = "window, layout { background-color: #000000; }";

using CursorPtr = GObjectPtr<GdkCursor>;
using CssProviderPtr = GObjectPtr<GtkCssProvider>;

struct RegionDeleter {
  void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDeleter>;

// Destroys a top-level widget (and with it every child) when the owner goes.
struct WidgetDeleter {
  void operator()(GtkWidget* widget) const { gtk_widget_destroy(widget); }
};
using WidgetPtr = std::unique_ptr<GtkWidget, WidgetDeleter>;

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
std::vector<GdkRectangle> randrMonitorAreas(GdkDisplay* display) {
  std::vector<GdkRectangle> areas;
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
    areas.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
  }
  if (monitors != nullptr) XRRFreeMonitors(monitors);
  return areas;
}

std::vector<GdkRectangle> monitorAreas(GdkDisplay* display) {
  std::vector<GdkRectangle> areas = randrMonitorAreas(display);
  if (!areas.empty()) return areas;
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    GdkRectangle area{};
    gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &area);
    areas.push_back(area);
  }
  return areas;
}

// Undecorated, out of the task bar, at the area's place and size, full-screen there when a
// window manager does it (GDK's monitor of the area's centre, when it is that monitor).
void placeFullScreen(GtkWindow* window, GdkDisplay* display, const GdkRectangle& area) {
  gtk_window_set_decorated(window, FALSE);
  gtk_window_set_skip_taskbar_hint(window, TRUE);
  gtk_window_move(window, area.x, area.y);
  gtk_window_set_default_size(window, area.width, area.height);
  GdkMonitor* monitor =
      gdk_display_get_monitor_at_point(display, area.x + area.width / 2, area.y + area.height / 2);
  GdkRectangle monitorArea{};
  gdk_monitor_get_geometry(monitor, &monitorArea);
  if (gdk_rectangle_equal(&monitorArea, &area)) {
    gtk_window_fullscreen_on_monitor(window, gtk_window_get_screen(window),
                                     monitorNumber(display, monitor));
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

class GtkShowWindow : public ShowWindow {
 public:
  GtkShowWindow();
  ~GtkShowWindow() override;

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
  GtkWindow* window() const { return GTK_WINDOW(window_.get()); }
  void paintPicture1(cairo_t* cr) const;
  void refreshPicture1(std::span<const PixelRect> parts);
  XImagePresenter* presenterFor(GdkWindow* target);
  void applyCursor();
  void connectInput(GtkWidget* widget);
  void makeOwned(GtkWidget* dialog) const;
  void addCovers();
  void tryToGrab();
  void retryGrabUntilHeld();
  void stopGrabRetries();

  static gboolean onKey(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean onButton(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean onMotion(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean onGrabRetry(gpointer self);

  GdkDisplay* display_;
  GdkRectangle monitorArea_{};
  WidgetPtr window_;
  GtkWidget* layout_;
  GtkWidget* area_;
  // The black windows on the other monitors.
  std::vector<WidgetPtr> covers_;
  CssProviderPtr css_;
  CursorPtr blankCursor_;
  Surface* picture1_ = nullptr;
  // Puts each step's changed part straight onto Picture1's X window; null where the display or
  // its visual does not allow it, and GDK paints instead.
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

GtkShowWindow::GtkShowWindow()
    : display_(gdk_display_get_default()),
      window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)),
      layout_(gtk_layout_new(nullptr, nullptr)),
      area_(gtk_drawing_area_new()),
      css_(gtk_css_provider_new()),
      blankCursor_(gdk_cursor_new_for_display(display_, GDK_BLANK_CURSOR)) {
  GdkMonitor* monitor = monitorUnderPointer(display_);
  gdk_monitor_get_geometry(monitor, &monitorArea_);
  gtk_window_set_title(window(), kWindowTitle);
  placeFullScreen(window(), display_, monitorArea_);

  gtk_css_provider_load_from_data(css_.get(), kBlackBackground, -1, nullptr);
  for (GtkWidget* widget : {window_.get(), layout_}) {
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget),
                                   GTK_STYLE_PROVIDER(css_.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }
  gtk_container_add(GTK_CONTAINER(window_.get()), layout_);

  g_signal_connect(area_, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr, gpointer self) {
                     static_cast<GtkShowWindow*>(self)->paintPicture1(cr);
                     return TRUE;
                   }),
                   this);
  // The window is closed only by the end of the show.
  g_signal_connect(window_.get(), "delete-event", G_CALLBACK(gtk_true), nullptr);
  // A grab lost while the show runs (the window unmapped, a grab of another of our windows) is
  // taken again by the retry timer.
  g_signal_connect(window_.get(), "grab-broken-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) {
                     auto* window = static_cast<GtkShowWindow*>(self);
                     window->grabbed_ = false;
                     if (window->grabWanted_) window->retryGrabUntilHeld();
                     return FALSE;
                   }),
                   this);
  // Picture1 gets an X window of its own, so the steps can be put onto it directly.
  g_signal_connect_after(area_, "realize", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
                           gdk_window_ensure_native(gtk_widget_get_window(widget));
                         }),
                         nullptr);
  connectInput(window_.get());
  connectInput(area_);
  addCovers();
}

GtkShowWindow::~GtkShowWindow() {
  stopGrabRetries();
}

// A black window on every monitor that does not overlap the show's, with the show's input.
void GtkShowWindow::addCovers() {
  for (const GdkRectangle& area : monitorAreas(display_)) {
    if (gdk_rectangle_intersect(&area, &monitorArea_, nullptr)) continue;
    WidgetPtr cover(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_set_title(GTK_WINDOW(cover.get()), kCoverTitle);
    placeFullScreen(GTK_WINDOW(cover.get()), display_, area);
    gtk_style_context_add_provider(gtk_widget_get_style_context(cover.get()),
                                   GTK_STYLE_PROVIDER(css_.get()),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_signal_connect(cover.get(), "delete-event", G_CALLBACK(gtk_true), nullptr);
    connectInput(cover.get());
    covers_.push_back(std::move(cover));
  }
}

void GtkShowWindow::setInput(ShowInput* input) {
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

void GtkShowWindow::connectInput(GtkWidget* widget) {
  gtk_widget_add_events(widget,
                        GDK_KEY_PRESS_MASK | GDK_BUTTON_PRESS_MASK | GDK_POINTER_MOTION_MASK);
  g_signal_connect(widget, "key-press-event", G_CALLBACK(onKey), this);
  g_signal_connect(widget, "button-press-event", G_CALLBACK(onButton), this);
  g_signal_connect(widget, "motion-notify-event", G_CALLBACK(onMotion), this);
}

gboolean GtkShowWindow::onKey(GtkWidget*, GdkEvent*, gpointer self) {
  auto* window = static_cast<GtkShowWindow*>(self);
  if (window->input_) window->input_->keyDown();
  return TRUE;
}

gboolean GtkShowWindow::onButton(GtkWidget*, GdkEvent*, gpointer self) {
  auto* window = static_cast<GtkShowWindow*>(self);
  if (window->input_) window->input_->buttonDown();
  return TRUE;
}

gboolean GtkShowWindow::onMotion(GtkWidget*, GdkEvent*, gpointer self) {
  auto* window = static_cast<GtkShowWindow*>(self);
  if (window->input_) window->input_->mouseMove();
  return TRUE;
}

void GtkShowWindow::placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) {
  picture1_ = &picture1;
  gtk_widget_set_size_request(area_, picture1.width(), picture1.height());
  gtk_layout_put(GTK_LAYOUT(layout_), area_, left, top);
  // Picture1's words in memory the X server reads in place, so a step goes on screen uncopied.
  if (SharedWordMemory* memory = SharedWordMemory::of(display_)) picture1.placeWords(memory);
  picture1.setRefreshHook([this](const ChangedArea& changed) { refreshPicture1(changed.parts); });
}

// Paints straight from the surface's pixel words.
void GtkShowWindow::paintPicture1(cairo_t* cr) const {
  if (!picture1_ || picture1_->width() == 0 || picture1_->height() == 0) return;
  const CairoSurfacePtr image = cairoImageOf(*picture1_);
  cairo_set_source_surface(cr, image.get(), 0, 0);
  cairo_paint(cr);
}

// Puts the changed parts of Picture1 on screen now rather than at the next frame of the window's
// clock, so the display shows each step of a transition as it is drawn, and puts no more on
// screen than the step changed. Straight onto the X window where possible: GDK's double-buffered
// frame would copy the pixels twice more.
void GtkShowWindow::refreshPicture1(std::span<const PixelRect> parts) {
  GdkWindow* target = gtk_widget_get_window(area_);
  if (!target || !gtk_widget_get_mapped(area_)) return;
  const PixelRect window{0, 0, gdk_window_get_width(target), gdk_window_get_height(target)};
  std::vector<PixelRect> visible;
  for (const PixelRect& part : parts) {
    if (const PixelRect area = part.intersected(window); !area.empty()) visible.push_back(area);
  }
  if (visible.empty()) return;
  if (XImagePresenter* presenter = presenterFor(target)) {
    presenter->put(*picture1_, visible);
    return;
  }
  RegionPtr region(cairo_region_create());
  for (const PixelRect& area : visible) {
    const cairo_rectangle_int_t rect{area.left, area.top, area.width(), area.height()};
    cairo_region_union_rectangle(region.get(), &rect);
  }
  GdkDrawingContext* drawing = gdk_window_begin_draw_frame(target, region.get());
  paintPicture1(gdk_drawing_context_get_cairo_context(drawing));
  gdk_window_end_draw_frame(target, drawing);
  gdk_display_flush(display_);
}

XImagePresenter* GtkShowWindow::presenterFor(GdkWindow* target) {
  if (!presenterTried_) {
    presenterTried_ = true;
    if (GDK_IS_X11_WINDOW(target) && gdk_window_has_native(target)) {
      presenter_ = XImagePresenter::create(display_, GDK_WINDOW_XID(target));
    }
  }
  return presenter_.get();
}

void GtkShowWindow::show() {
  for (const WidgetPtr& cover : covers_) gtk_widget_show_all(cover.get());
  gtk_widget_show_all(window_.get());
  applyCursor();
  refreshPicture1({&kWholeArea, 1});
}

void GtkShowWindow::makeTopmost() {
  for (const WidgetPtr& cover : covers_) gtk_window_set_keep_above(GTK_WINDOW(cover.get()), TRUE);
  gtk_window_set_keep_above(window(), TRUE);
}

// The keyboard and the pointer are held while the show runs. When another client holds either
// (an open menu, a drag) or the window is not yet mapped, the grab is tried again every 100 ms
// until both are held, and again whenever it is lost, for as long as the show runs.
void GtkShowWindow::setScreenSaverRunning(bool running) {
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

void GtkShowWindow::tryToGrab() {
  if (grabbed_) return;
  GdkWindow* target = gtk_widget_get_window(window_.get());
  // Owner events: the show's own dialogs and covers keep receiving their input during the grab.
  grabbed_ = target && gdk_window_is_viewable(target) &&
             gdk_seat_grab(gdk_display_get_default_seat(display_), target, GDK_SEAT_CAPABILITY_ALL,
                           TRUE, nullptr, nullptr, nullptr, nullptr) == GDK_GRAB_SUCCESS;
}

void GtkShowWindow::retryGrabUntilHeld() {
  if (grabRetry_ == 0) grabRetry_ = g_timeout_add(kGrabRetryMilliseconds, onGrabRetry, this);
}

gboolean GtkShowWindow::onGrabRetry(gpointer self) {
  auto* window = static_cast<GtkShowWindow*>(self);
  window->tryToGrab();
  if (!window->grabbed_) return G_SOURCE_CONTINUE;
  window->grabRetry_ = 0;
  return G_SOURCE_REMOVE;
}

void GtkShowWindow::stopGrabRetries() {
  if (grabRetry_ != 0) g_source_remove(grabRetry_);
  grabRetry_ = 0;
}

std::int32_t GtkShowWindow::showCursor(bool show) {
  cursorCounter_ += show ? 1 : -1;
  applyCursor();
  return cursorCounter_;
}

void GtkShowWindow::applyCursor() {
  GdkWindow* target = gtk_widget_get_window(window_.get());
  if (!target) return;
  GdkCursor* cursor = cursorCounter_ < 0 ? blankCursor_.get() : nullptr;
  gdk_window_set_cursor(target, cursor);
  if (GdkWindow* picture = gtk_widget_get_window(area_)) gdk_window_set_cursor(picture, cursor);
  for (const WidgetPtr& cover : covers_) {
    if (GdkWindow* coverWindow = gtk_widget_get_window(cover.get())) {
      gdk_window_set_cursor(coverWindow, cursor);
    }
  }
}

Point GtkShowWindow::cursorPos() {
  return pointerPosition(display_);
}

// Dialogs of the show belong to its window and stay above it.
void GtkShowWindow::makeOwned(GtkWidget* dialog) const {
  gtk_window_set_transient_for(GTK_WINDOW(dialog), window());
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER_ON_PARENT);
}

// The message box of the desktop: above every window, so above the show too, and answering
// input during the show's grab.
void GtkShowWindow::showErrorMessage(const std::string& prompt, const std::string& title) {
  showMessageBox(prompt, title, MessageIcon::Exclamation);
}

std::optional<std::int32_t> GtkShowWindow::screenSaveUsePassword() {
  const auto files = DesktopFiles::forCurrentUser();
  return files ? readScreenSaveUsePassword(*files) : std::nullopt;
}

bool GtkShowWindow::verifyScreenSaverPassword() {
  // A password file that cannot be used fails the check before anything is asked. The check
  // comes only after the switch was read from the user's files, so their folder is known.
  const std::string hash = readStoredHash(DesktopFiles::forCurrentUser().value().passwordFile);
  WidgetPtr dialog(gtk_dialog_new_with_buttons(tr("スクリーン セーバーのパスワード"), window(),
                                               GTK_DIALOG_MODAL, "OK", GTK_RESPONSE_OK,
                                               tr("キャンセル"), GTK_RESPONSE_CANCEL, nullptr));
  makeOwned(dialog.get());
  gtk_dialog_set_default_response(GTK_DIALOG(dialog.get()), GTK_RESPONSE_OK);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_column_spacing(GTK_GRID(grid), 8);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 12);
  GtkWidget* entry = addPasswordRow(GTK_GRID(grid), 0, tr("パスワード:"));
  gtk_container_add(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog.get()))), grid);
  fitTitleBar(dialog.get());
  gtk_widget_show_all(dialog.get());
  gtk_widget_grab_focus(entry);
  if (gtk_dialog_run(GTK_DIALOG(dialog.get())) != GTK_RESPONSE_OK) return false;
  return passwordMatches(hash, gtk_entry_get_text(GTK_ENTRY(entry)));
}

}  // namespace

std::unique_ptr<ShowWindow> createShowWindow() {
  if (!gtk_init_check(nullptr, nullptr)) {
    throw std::runtime_error("cannot open the display for the show window");
  }
  return std::make_unique<GtkShowWindow>();
}

}  // namespace kamishibai
