// Kamishibai: the placement of the picture area in a host's window.
#include "platform/linux/hosted_placement.h"

#include <algorithm>

namespace kamishibai {

HostedPlacement placeInHostWindow(std::int32_t windowWidth, std::int32_t windowHeight,
                                  std::int32_t areaWidth, std::int32_t areaHeight) {
  if (areaWidth <= windowWidth && areaHeight <= windowHeight) {
    // Each half truncated separately, as the show centres the area on a screen.
    return {static_cast<double>(windowWidth / 2 - areaWidth / 2),
            static_cast<double>(windowHeight / 2 - areaHeight / 2), 1.0};
  }
  const double scale = std::min(static_cast<double>(windowWidth) / std::max(areaWidth, 1),
                                static_cast<double>(windowHeight) / std::max(areaHeight, 1));
  return {(windowWidth - areaWidth * scale) / 2, (windowHeight - areaHeight * scale) / 2, scale};
}

}  // namespace kamishibai
