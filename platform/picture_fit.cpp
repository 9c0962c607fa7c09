// Kamishibai: the arithmetic of fitting a picture to the area, the same on every system.
#include <algorithm>
#include <cmath>

#include "platform/picture_convert.h"

namespace kamishibai {

FitGeometry fitGeometry(PictureFit fit, int width, int height, int areaWidth, int areaHeight) {
  FitGeometry g{width, height, 0, 0, width, height};
  if (fit == PictureFit::None || width <= 0 || height <= 0) return g;
  const double across = static_cast<double>(areaWidth) / width;
  const double down = static_cast<double>(areaHeight) / height;
  double scale = fit == PictureFit::Cover ? std::max(across, down) : std::min(across, down);
  if (fit == PictureFit::Shrink) scale = std::min(scale, 1.0);
  const auto scaled = [scale](int side, int limit) {
    return std::clamp(static_cast<int>(std::lround(side * scale)), 1, std::max(limit, 1));
  };
  // Rounding may leave a side one pixel off the area; the area bounds every side but Shrink's.
  const int widthLimit = fit == PictureFit::Cover ? 1 << 30 : areaWidth;
  const int heightLimit = fit == PictureFit::Cover ? 1 << 30 : areaHeight;
  g.scaledWidth = std::max(scaled(width, widthLimit), fit == PictureFit::Cover ? areaWidth : 1);
  g.scaledHeight = std::max(scaled(height, heightLimit), fit == PictureFit::Cover ? areaHeight : 1);
  g.width = std::min(g.scaledWidth, areaWidth);
  g.height = std::min(g.scaledHeight, areaHeight);
  g.cropX = (g.scaledWidth - g.width) / 2;
  g.cropY = (g.scaledHeight - g.height) / 2;
  return g;
}

}  // namespace kamishibai
