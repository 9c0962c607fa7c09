// Kamishibai: the raster layer: surfaces with persistent images, copies, stretches, filled boxes
// and clipping regions, measured in pixels.
#pragma once

#include <cstdint>
#include <functional>
#include <memory_resource>
#include <optional>
#include <span>
#include <type_traits>
#include <vector>

#include "raster/changed_tiles.h"
#include "raster/image_memory.h"

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

struct PixelRun;

// A half-open rectangle of pixels: columns left..right-1, rows top..bottom-1.
struct PixelRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool empty() const { return left >= right || top >= bottom; }
  std::int32_t width() const { return empty() ? 0 : right - left; }
  std::int32_t height() const { return empty() ? 0 : bottom - top; }
  // The smallest rectangle holding both; an empty one adds nothing.
  PixelRect united(const PixelRect& other) const;
  PixelRect intersected(const PixelRect& other) const;
  // Whether every pixel of other lies inside this rectangle (an empty one always does).
  bool contains(const PixelRect& other) const;
  bool operator==(const PixelRect&) const = default;
};

// A half-open interval of columns or rows, in 64 bits so that no sum of two 32-bit coordinates
// overflows.
struct AxisSpan {
  std::int64_t from;
  std::int64_t to;
};

inline AxisSpan intersect(AxisSpan a, AxisSpan b) {
  return {a.from > b.from ? a.from : b.from, a.to < b.to ? a.to : b.to};
}

// The positions covered by an extent from `origin`, which runs backwards when negative.
inline AxisSpan extentSpan(std::int32_t origin, std::int32_t extent) {
  const std::int64_t end = std::int64_t{origin} + extent;
  return {origin < end ? origin : end, origin < end ? end : origin};
}

// A pixel word of a surface's image: 0x00RRGGBB, the layout of a 24-bit RGB image in 32-bit
// words that both systems' screen services take as it is.
using PixelWord = std::uint32_t;

constexpr PixelWord toPixelWord(Colour c) {
  return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}
constexpr Colour fromPixelWord(PixelWord p) {
  return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16;
}

// The allocator of a surface's pixel words: from the system's image memory, or from memory that a
// platform's screen service reads in place. The memory goes with the words when a surface is
// moved; a copy of a surface is in image memory.
template <class T>
class PixelAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;

  PixelAllocator() = default;
  explicit PixelAllocator(std::pmr::memory_resource* memory) : memory_(memory) {}
  template <class U>
  PixelAllocator(const PixelAllocator<U>& other) : memory_(other.memory()) {}

  T* allocate(std::size_t count) {
    return static_cast<T*>(memory_->allocate(count * sizeof(T), alignof(T)));
  }
  void deallocate(T* words, std::size_t count) {
    memory_->deallocate(words, count * sizeof(T), alignof(T));
  }
  PixelAllocator select_on_container_copy_construction() const { return {}; }
  std::pmr::memory_resource* memory() const { return memory_; }
  template <class U>
  bool operator==(const PixelAllocator<U>& other) const {
    return memory_ == other.memory();
  }

 private:
  std::pmr::memory_resource* memory_ = imageMemory();
};

// What a Refresh hands to the platform: the bounding box of the words changed since the last
// one (possibly empty), and rectangles inside it, apart from each other, that hold every one of
// those words, for a platform that puts no more on screen than changed.
struct ChangedArea {
  PixelRect bounds;
  std::span<const PixelRect> parts;
};

// A surface with a persistent image of its own size. Every drawing operation is clipped: the
// part of a destination outside this surface is dropped, and pixels whose source pixel would lie
// outside the source surface keep their value. Nothing outside a surface is read or written.
// Each operation adds the pixels it changed (the bounding box of them) to the surface's changed
// area, which the next Refresh hands to the platform and then forgets; drawing a pixel with the
// value it already has changes nothing.
class Surface {
 public:
  // Called at every Refresh with the area changed since the previous one.
  using RefreshHook = std::function<void(const ChangedArea& changed)>;

  Surface() = default;
  Surface(std::int32_t width, std::int32_t height, Colour backColour = 0);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  // The size as the transitions read it: single-precision pixels.
  float scaleWidth() const { return static_cast<float>(width()); }
  float scaleHeight() const { return static_cast<float>(height()); }

  // Gives the surface a new size; its image is then filled with the back colour.
  void resize(std::int32_t width, std::int32_t height);
  // Gives the surface a new size and leaves its words as they come, for a caller that writes
  // every one of them next (a picture loader): filling them first would only cost a pass.
  void resizeForOverwrite(std::int32_t width, std::int32_t height);
  Colour backColour() const { return backColour_; }
  void setBackColour(Colour colour) { backColour_ = colour; }

  // Keeps the image in words from `memory` from now on, also after a resize. The memory must
  // outlive the surface's words.
  void placeWords(std::pmr::memory_resource* memory);

  // Fills the whole surface with its back colour (clipping is ignored).
  void clear();
  // clear(), except the words inside `spared`, for a caller that writes every one of them next.
  void clearAround(const PixelRect& spared);
  // BitBlt with SRCCOPY: the w by h rectangle of source at (xs, ys) onto (x, y).
  // The copy and the fill below leave the words inside `spared` as they are, for a caller that
  // draws over every one of them next (a background laid under a picture).
  void copyFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                std::int32_t y, std::int32_t w, std::int32_t h, const PixelRect& spared = {});
  // StretchBlt with SRCCOPY, nearest neighbour: (xs, ys, ws, hs) of source onto (x, y, w, h).
  // A destination extent whose sign differs from the source extent's mirrors along that axis.
  // Each destination pixel takes the source pixel under the point its centre maps to, computed in
  // 16.16 fixed point.
  void stretchFrom(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t ws,
                   std::int32_t hs, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
  // The box of words that stretchFrom with the same arguments would draw, every one of them and
  // nothing else; empty while a clipping region is selected, which may leave holes in it.
  PixelRect stretchCover(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t ws,
                         std::int32_t hs, std::int32_t x, std::int32_t y, std::int32_t w,
                         std::int32_t h) const;
  // A filled box from corner (x1, y1) to corner (x2, y2), both included.
  void fillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Colour colour,
               const PixelRect& spared = {});
  // Draws the whole of source with its top-left corner at (x, y), unscaled.
  void drawImage(const Surface& source, std::int32_t x, std::int32_t y);
  // clear(), then drawImage(source, x, y), without first filling the words the picture covers.
  void clearAndDraw(const Surface& source, std::int32_t x, std::int32_t y);
  // The same for the w by h rectangle of source at (xs, ys): clear(), then copyFrom.
  void clearAndCopy(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                    std::int32_t y, std::int32_t w, std::int32_t h);

  // Selects a clipping region for the later copies, stretches and fills; nullptr removes it.
  void selectClip(const Region* region);

  // Presents the image through the hook the platform supplies (a window repaint, a frame file)
  // and starts a new changed area.
  void refresh();
  void setRefreshHook(RefreshHook hook) { refreshHook_ = std::move(hook); }
  const RefreshHook& refreshHook() const { return refreshHook_; }
  // The area changed since the last Refresh.
  const PixelRect& changedArea() const { return changed_; }

  Colour pixel(std::int32_t x, std::int32_t y) const;
  void setPixel(std::int32_t x, std::int32_t y, Colour colour);

  // The image: height rows of width pixel words each, top row first, no padding between rows.
  const PixelWord* pixelWords() const { return pixels_.data(); }
  // Row y for writing, for the picture loaders that fill a surface; the whole row counts as
  // changed.
  PixelWord* rowForWriting(std::int32_t y);
  // The `count` words of row y from column x on, for writing; they count as changed.
  PixelWord* wordsForWriting(std::int32_t x, std::int32_t y, std::int32_t count);

 private:
  PixelWord* row(std::int32_t y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const PixelWord* row(std::int32_t y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  PixelRect bounds() const { return {0, 0, width_, height_}; }
  // Takes a new size whose words are already in place; a negative extent counts as 0.
  void takeSize(std::int32_t width, std::int32_t height);
  // The part of the columns and rows that drawing may change: inside the surface and the
  // clipping region's bounding box.
  PixelRect drawable(AxisSpan cols, AxisSpan rows) const;
  // The surface, limited to the clipping region's bounding box.
  PixelRect drawingLimit() const;
  // The destination pixels of a copy whose source pixel lies inside the source surface.
  PixelRect copyArea(const Surface& source, std::int32_t xs, std::int32_t ys, std::int32_t x,
                     std::int32_t y, std::int32_t w, std::int32_t h) const;
  // Words a drawing left out: they no longer count as holding what an earlier drawing drew.
  void leftUndrawn(const PixelRect& spared);
  // The words of a copy from source, moved by (dx, dy), that may differ from the source's: those
  // inside what either surface drew over its last fill, when both were filled alike.
  PixelRect mayDifferFrom(const Surface& source, std::int64_t dx, std::int64_t dy) const;
  // Calls draw(y, from, to) for every run of pixels of `area` (already inside the surface)
  // that the clipping region lets through; draw returns the part of the run whose pixels it
  // changed, which is added to the changed area, and marks the changed tiles itself (a run may
  // hold tiles that did not change).
  template <class DrawRun>
  void forClippedRuns(const PixelRect& area, DrawRun&& draw);
  // Marks the tiles of a run of row `row` whose words changed, and gives the run back.
  PixelRun markedTiles(std::int32_t row, const PixelRun& changed);

  // Adds words that changed to the changed area and to what is no longer known to hold what an
  // earlier drawing drew, and gives the image a new generation.
  void markChanged(const PixelRect& changed);
  // The same for words whose tiles are marked already.
  void noteChanged(const PixelRect& changed);

  // What an unclipped copy or fill drew: the source image's generation and the offset of the
  // copy, or kFilled and the fill's pixel word in dx.
  struct Drawn {
    static constexpr std::uint64_t kFilled = ~std::uint64_t{0};
    std::uint64_t source = 0;  // 0: nothing
    std::int64_t dx = 0;
    std::int64_t dy = 0;
    bool operator==(const Drawn&) const = default;
  };
  // The last such drawing, kept so that drawing the same again touches only what changed since:
  // `rect` still holds what was drawn, except inside `dirty`, the bounding box of the words
  // changed since then.
  struct KnownDrawing {
    Drawn drawn;
    PixelRect rect;
    PixelRect dirty;
  };
  // The known drawing when it drew the same, else nothing.
  KnownDrawing knownDrawingOf(const Drawn& drawn) const;
  // Calls draw(y, from, to) for every run of `area` (no clipping region selected) that the known
  // drawing of the same does not hold already, then remembers `area` as drawn.
  template <class DrawRun>
  void drawUnknownRuns(const PixelRect& area, const Drawn& drawn, DrawRun&& draw);

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<PixelWord, PixelAllocator<PixelWord>> pixels_;
  Colour backColour_ = 0;
  std::optional<Region> clip_;
  PixelRect changed_;
  ChangedTiles changedTiles_;
  RefreshHook refreshHook_;
  // Unique to one state of the image: every change takes a new number, so equal generations
  // mean equal words, also in a copy of the surface or after a swap.
  std::uint64_t generation_ = 0;
  KnownDrawing known_;
  // The known drawing at the last Refresh: what the screen shows where it held.
  KnownDrawing shown_;
  // Every word outside `overFill_` holds `fillWord_`, the word of the last clear or resize: a
  // clear then fills only what was drawn since, and a copy between surfaces filled alike only
  // what either drew. On a large area with a small picture this is most of the area.
  PixelWord fillWord_ = 0;
  PixelRect overFill_;
};

}  // namespace kamishibai
