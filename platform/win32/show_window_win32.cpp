// Kamishibai: the show window on Win32: a borderless, topmost black popup over the primary
// monitor that shows Picture1, and plain black topmost popups over every part of the other
// monitors that it leaves in view, so that no desktop stays in view. Input on any of them goes to
// the show's handlers.
#include "platform/show_window.h"

#include <windows.h>

#include <span>
#include <stdexcept>
#include <vector>

#include "platform/cover_areas.h"
#include "platform/win32/event_loop_win32.h"
#include "platform/win32/frame_presenter_gdi.h"
#include "platform/win32/password_dialog_win32.h"
#include "platform/win32/wide_text_win32.h"

namespace kamishibai {
namespace {

const wchar_t* const kWindowClass = L"KamishibaiShow";
const wchar_t* const kWindowTitle = L"Kamishibai";

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

class Win32ShowWindow;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void registerWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kWindowClass;
  // A second show window in the same program finds the class registered already.
  RegisterClassExW(&windowClass);
}

std::vector<PixelRect> monitorAreas() {
  std::vector<PixelRect> areas;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(monitor, &info)) {
          const RECT& r = info.rcMonitor;
          reinterpret_cast<std::vector<PixelRect>*>(data)->push_back(
              {r.left, r.top, r.right, r.bottom});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&areas));
  return areas;
}

class Win32ShowWindow final : public ShowWindow {
 public:
  Win32ShowWindow();

  ScreenSize screenSize() override { return screen_; }
  void placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) override;
  void show() override;
  void makeTopmost() override;
  void setScreenSaverRunning(bool running) override;
  std::int32_t showCursor(bool show) override { return ShowCursor(show ? TRUE : FALSE); }
  Point cursorPos() override;
  void setInput(ShowInput* input) override { input_ = input; }
  EventLoop& events() override { return events_; }
  void showErrorMessage(const std::string& prompt, const std::string& title) override;
  std::optional<std::int32_t> screenSaveUsePassword() override {
    return readScreenSaveUsePassword();
  }
  bool verifyScreenSaverPassword() override {
    return kamishibai::verifyScreenSaverPassword(L"password.cpl", window_.get());
  }

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  UniqueWindow createPopup(const RECT& area);
  void paint(HWND window);
  void presentPicture1(std::span<const PixelRect> parts);

  ScreenSize screen_;
  UniqueWindow window_;
  std::vector<UniqueWindow> covers_;
  Surface* picture1_ = nullptr;
  Point picture1At_;
  ShowInput* input_ = nullptr;
  Win32EventLoop events_;
};

Win32ShowWindow::Win32ShowWindow()
    : screen_{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)} {
  registerWindowClass();
  window_ = createPopup({0, 0, screen_.width, screen_.height});
  if (!window_) throw std::runtime_error("cannot create the show window");
  // Every part of every monitor that the show's window leaves in view, clones of another size
  // included.
  for (const PixelRect& part :
       uncoveredParts(monitorAreas(), {0, 0, screen_.width, screen_.height})) {
    if (UniqueWindow cover = createPopup({part.left, part.top, part.right, part.bottom})) {
      covers_.push_back(std::move(cover));
    }
  }
}

UniqueWindow Win32ShowWindow::createPopup(const RECT& area) {
  return UniqueWindow(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kWindowClass, kWindowTitle,
                                      WS_POPUP, area.left, area.top, area.right - area.left,
                                      area.bottom - area.top, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), this));
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32ShowWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(window, message, wParam, lParam);
}

LRESULT Win32ShowWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (input_) input_->keyDown();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      if (input_) input_->buttonDown();
      return 0;
    case WM_MOUSEMOVE:
      if (input_) input_->mouseMove();
      return 0;
    case WM_PAINT:
      paint(window);
      return 0;
    case WM_CLOSE:
      // Any program may post a close: it ends the show as input does, through the password
      // when one is in use. The windows themselves close only at the show's end.
      if (input_) input_->keyDown();
      return 0;
    case WM_ENDSESSION:
      // The system may end the process as soon as this returns.
      if (wParam != FALSE && input_) input_->sessionEnding();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void Win32ShowWindow::paint(HWND window) {
  PAINTSTRUCT paint{};
  HDC target = BeginPaint(window, &paint);
  if (window == window_.get() && picture1_ != nullptr) {
    const RECT& dirty = paint.rcPaint;
    presentSurface(target, *picture1_, picture1At_.x, picture1At_.y,
                   {dirty.left - picture1At_.x, dirty.top - picture1At_.y,
                    dirty.right - picture1At_.x, dirty.bottom - picture1At_.y});
  }
  EndPaint(window, &paint);
}

void Win32ShowWindow::placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) {
  picture1_ = &picture1;
  picture1At_ = {left, top};
  picture1.setRefreshHook([this](const ChangedArea& changed) { presentPicture1(changed.parts); });
  InvalidateRect(window_.get(), nullptr, TRUE);
}

// Puts the changed parts on screen now, so the display shows each step of a transition as it is
// drawn.
void Win32ShowWindow::presentPicture1(std::span<const PixelRect> parts) {
  if (picture1_ == nullptr || !IsWindowVisible(window_.get())) return;
  HDC target = GetDC(window_.get());
  for (const PixelRect& part : parts) {
    presentSurface(target, *picture1_, picture1At_.x, picture1At_.y, part);
  }
  ReleaseDC(window_.get(), target);
  GdiFlush();
}

void Win32ShowWindow::show() {
  for (const UniqueWindow& cover : covers_) ::ShowWindow(cover.get(), SW_SHOWNOACTIVATE);
  ::ShowWindow(window_.get(), SW_SHOW);
  SetForegroundWindow(window_.get());
  UpdateWindow(window_.get());
  if (picture1_ == nullptr) return;
  const PixelRect whole{0, 0, picture1_->width(), picture1_->height()};
  presentPicture1({&whole, 1});
}

void Win32ShowWindow::makeTopmost() {
  constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  for (const UniqueWindow& cover : covers_)
    SetWindowPos(cover.get(), HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
  SetWindowPos(window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void Win32ShowWindow::setScreenSaverRunning(bool running) {
  BOOL previous = FALSE;
  SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

Point Win32ShowWindow::cursorPos() {
  POINT position{};
  GetCursorPos(&position);
  return {position.x, position.y};
}

void Win32ShowWindow::showErrorMessage(const std::string& prompt, const std::string& title) {
  MessageBoxW(window_.get(), toWide(prompt).c_str(), toWide(title).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

std::unique_ptr<ShowWindow> createShowWindow() {
  // Pixels, not scaled logical units: the pictures are shown at their own size.
  SetProcessDPIAware();
  return std::make_unique<Win32ShowWindow>();
}

}  // namespace kamishibai
