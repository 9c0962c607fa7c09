// Kamishibai: the show inside a window that a screen-saver host made.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/show_window.h"

namespace kamishibai {

// A window made by someone else (a screen-saver host) that the show runs inside.
struct HostWindow {
  enum class Kind {
    Given,  // the window whose id is given
    Root,   // the window the host names in its environment, else the root window
  };
  Kind kind = Kind::Root;
  std::uint64_t id = 0;
};

// The show inside the host's window: the picture area centred in it, the whole area scaled
// down when the window is smaller; no grab, no cursor change and no input of its own, since the
// host handles input and locking. Throws when the window does not exist.
std::unique_ptr<ShowWindow> createHostedShowWindow(const HostWindow& host);

}  // namespace kamishibai
