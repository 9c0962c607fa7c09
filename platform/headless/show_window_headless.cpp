// Kamishibai: the headless show window.
#include "platform/headless/show_window_headless.h"

namespace kamishibai {

void HeadlessShowWindow::placePicture1(Surface& picture1, std::int32_t left, std::int32_t top) {
  picture1Position_ = {left, top};
  picture1.setRefreshHook([this](const ChangedArea&) {
    ++refreshCount_;
    if (refreshHook_) refreshHook_();
  });
}

void HeadlessShowWindow::showErrorMessage(const std::string& prompt, const std::string& title) {
  errorPrompt_ = prompt;
  errorTitle_ = title;
  shownAtError_ = shown_;
}

bool HeadlessShowWindow::verifyScreenSaverPassword() {
  ++passwordDialogs_;
  return passwordAnswer_ && passwordAnswer_();
}

void HeadlessShowWindow::pressKey() {
  if (input_) input_->keyDown();
}

void HeadlessShowWindow::pressButton() {
  if (input_) input_->buttonDown();
}

void HeadlessShowWindow::moveMouse(Point to) {
  cursor_ = to;
  if (input_) input_->mouseMove();
}

void HeadlessShowWindow::requestEnd() {
  if (input_) input_->endRequested();
}

void HeadlessShowWindow::endSession() {
  if (input_) input_->sessionEnding();
}

}  // namespace kamishibai
