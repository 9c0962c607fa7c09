// Kamishibai: a show window without a screen, on the virtual clock: tests move its pointer,
// press its keys, answer its password dialog and read what the show did with it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/headless/event_loop_headless.h"
#include "platform/show_window.h"

namespace kamishibai {

class HeadlessShowWindow : public ShowWindow {
 public:
  explicit HeadlessShowWindow(VirtualEventLoop& events, ScreenSize screen = {1024, 768})
      : events_(events), screen_(screen) {}

  ScreenSize screenSize() override { return screen_; }
  void placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) override;
  void show() override { shown_ = true; }
  void makeTopmost() override { topmost_ = true; }
  void setScreenSaverRunning(bool running) override { running_ = running; }
  std::int32_t showCursor(bool show) override { return cursorCounter_ += show ? 1 : -1; }
  Point cursorPos() override { return cursor_; }
  void setInput(ShowInput* input) override { input_ = input; }
  EventLoop& events() override { return events_; }
  void showErrorMessage(const std::string& prompt, const std::string& title) override;
  std::optional<std::int32_t> screenSaveUsePassword() override { return usePassword_; }
  bool verifyScreenSaverPassword() override;

  // Input as the user makes it; each runs the window's handler at once.
  void pressKey();
  void pressButton();
  // Puts the pointer at the position and reports a move there.
  void moveMouse(Point to);
  // The system's request to end (an end signal).
  void requestEnd();
  // The end of the session (a logout).
  void endSession();

  // Called at every Refresh of Picture1, after the frame is counted.
  void onRefresh(std::function<void()> hook) { refreshHook_ = std::move(hook); }
  void setScreenSize(ScreenSize screen) { screen_ = screen; }
  void setUsePassword(std::optional<std::int32_t> value) { usePassword_ = value; }
  // Answers the password dialog; without it every dialog is cancelled.
  void onPasswordDialog(std::function<bool()> answer) { passwordAnswer_ = std::move(answer); }

  bool shown() const { return shown_; }
  bool topmost() const { return topmost_; }
  bool screenSaverRunning() const { return running_; }
  std::int32_t cursorCounter() const { return cursorCounter_; }
  Point picture1Position() const { return picture1Position_; }
  int refreshCount() const { return refreshCount_; }
  int passwordDialogs() const { return passwordDialogs_; }
  // The last error message box: its prompt and title; empty when none was shown.
  const std::string& errorPrompt() const { return errorPrompt_; }
  const std::string& errorTitle() const { return errorTitle_; }
  // Whether the window was shown when the error box appeared.
  bool shownAtError() const { return shownAtError_; }

 private:
  VirtualEventLoop& events_;
  ScreenSize screen_;
  ShowInput* input_ = nullptr;
  Point cursor_;
  Point picture1Position_;
  bool shown_ = false;
  bool topmost_ = false;
  bool running_ = false;
  std::int32_t cursorCounter_ = 0;
  int refreshCount_ = 0;
  std::function<void()> refreshHook_;
  std::optional<std::int32_t> usePassword_;
  std::function<bool()> passwordAnswer_;
  int passwordDialogs_ = 0;
  std::string errorPrompt_;
  std::string errorTitle_;
  bool shownAtError_ = false;
};

}  // namespace kamishibai
