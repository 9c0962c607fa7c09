// Kamishibai: a small antialiased drawing surface for making pictures (the demo show's slides),
// saved as JPEG or PNG.
#pragma once

#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace kamishibai {

struct Rgb {
  double r = 0, g = 0, b = 0;  // 0 to 1
};

struct PointF {
  double x = 0, y = 0;
};

class Canvas {
 public:
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Fills the whole canvas with a linear gradient from `from` at a to `to` at b.
  void fillGradient(PointF a, Rgb from, PointF b, Rgb to);
  void fillCircle(PointF centre, double radius, Rgb colour, double alpha);
  void strokeCircle(PointF centre, double radius, double lineWidth, Rgb colour, double alpha);
  void fillPolygon(std::span<const PointF> points, Rgb colour, double alpha);

  // Empty on success, otherwise the reason.
  std::string saveJpeg(const std::filesystem::path& file, int quality) const;
  // Lossless, so that every decoder reads back the very same pixels.
  std::string savePng(const std::filesystem::path& file) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kamishibai
