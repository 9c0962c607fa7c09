// Kamishibai: Windows has no end signals: the end of the session and a request to close reach
// the show window as messages (WM_ENDSESSION, WM_CLOSE), which it turns into an end request.
#include "platform/end_signals.h"

namespace kamishibai {

void watchEndSignals() {}

int endSignalReceived() {
  return 0;
}

void setEndSignalHook(std::function<void()>) {}

void endAsSignalled() {}

}  // namespace kamishibai
