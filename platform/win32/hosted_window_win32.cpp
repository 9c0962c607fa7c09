// Kamishibai: no show inside another program's window on Windows.
#include "platform/hosted_window.h"

#include <stdexcept>

namespace kamishibai {

// The Windows command line has no host-window options (a Windows host previews with "/P", which
// shows nothing), so no show is ever asked to run in another program's window here.
std::unique_ptr<ShowWindow> createHostedShowWindow(const HostWindow&) {
  throw std::runtime_error("a host's window is not supported on Windows");
}

}  // namespace kamishibai
