// Kamishibai: where the picture area goes inside a screen-saver host's window.
#pragma once

#include <cstdint>

namespace kamishibai {

struct HostedPlacement {
  double left = 0;
  double top = 0;
  double scale = 1;
};

// The area centred in the window as on a screen of the window's size; when the window is
// narrower or lower than the area (a host's small preview), the whole area scaled down with its
// proportions kept, so that it just fits, and centred.
HostedPlacement placeInHostWindow(std::int32_t windowWidth, std::int32_t windowHeight,
                                  std::int32_t areaWidth, std::int32_t areaHeight);

}  // namespace kamishibai
