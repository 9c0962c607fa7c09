// Kamishibai: the raster layer: surfaces with persistent images, copies, stretches, filled boxes
// and clipping regions, measured in pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kamishibai {

// A colour value as the package stores it: 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour makeColour(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

// A clipping shape in the coordinates of the surface it is selected into. Pixels inside the
// shape belong to it; drawing is not antialiased.
class Region {
 public:
  // The ellipse inscribed in the rectangle from (left, top) to (right, bottom).
  static Region ellipse(std::int32_t left, std::int32_t top, std::int32_t right,
                        std::int32_t bottom);
  // The polygon through the points in order (convex shapes in practice).
  static Region polygon(std::vector<Point> points);

  enum class Kind { Ellipse, Polygon };
  Kind kind() const { return kind_; }
  const std::vector<Point>& points() const { return points_; }

 private:
  Region(Kind kind, std::vector<Point> points) : kind_(kind), points_(std::move(points)) {}
  Kind kind_;
  std::vector<Point> points_;  // ellipse: the two corners of its bounding rectangle
};

// A surface with a persistent image of its own size. Every drawing operation is clipped: the
// part of a destination outside this surface is dropped, and pixels whose source pixel would lie
// outside the source surface keep their value. Nothing outside a surface is read or written.
class Surface {
 public:
  Surface();
  Surface(std::int32_t width, std::int32_t height, Colour backColour = 0);
  ~Surface();
  Surface(Surface&&) noexcept;
  Surface& operator=(Surface&&) noexcept;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  std::int32_t width() const;
  std::int32_t height() const;
  // The size as the transitions read it: single-precision pixels.
  float scaleWidth() const { return static_cast<float>(width()); }
  float scaleHeight() const { return static_cast<float>(height()); }

  // Gives the surface a new size; its image is then filled with the back colour.
  void resize(std::int32_t width, std::int32_t height);
  Colour backColour() const { return backColour_; }
  void setBackColour(Colour colour) { backColour_ = colour; }

  // Fills the whole surface with its back colour (clipping is ignored).
  void clear();
  // BitBlt with SRCCOPY: the w by h rectangle of source at (xs, ys) onto (x, y).
  void copyFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                std::int32_t y, std::int32_t w, std::int32_t h);
  // StretchBlt with SRCCOPY, nearest neighbour: (xs, ys, ws, hs) of source onto (x, y, w, h).
  // A destination extent whose sign differs from the source extent's mirrors along that axis.
  void stretchFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t ws,
                   std::int32_t hs, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
  // A filled box from corner (x1, y1) to corner (x2, y2), both included.
  void fillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour);
  // Draws the whole of source with its top-left corner at (x, y), unscaled.
  void drawImage(const Surface& source, std::int32_t x, std::int32_t y);

  // Selects a clipping region for the later copies, stretches and fills; nullptr removes it.
  void selectClip(const Region* region);

  // Presents the image through the hook the platform supplies (a window repaint, a frame file).
  void refresh();
  void setRefreshHook(std::function<void()> hook) { refreshHook_ = std::move(hook); }

  Colour pixel(std::int32_t x, std::int32_t y) const;
  void setPixel(std::int32_t x, std::int32_t y, Colour colour);

  // The backend's own representation (a cairo image surface on Linux).
  struct Backend;
  Backend& backend() const { return *backend_; }

 private:
  std::unique_ptr<Backend> backend_;
  Colour backColour_ = 0;
  std::function<void()> refreshHook_;
};

}  // namespace kamishibai
