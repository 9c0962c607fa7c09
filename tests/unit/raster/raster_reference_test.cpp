// Kamishibai: the raster against a reference raster that states every drawing as a plain loop over
// every pixel: thousands of random copies, stretches (mirrored too), fills, drawn pictures,
// clipping regions and spared boxes on surfaces of odd sizes. After every operation every pixel
// and the changed area are compared, and every Refresh must hand over parts that hold each pixel
// changed since the one before. The same picture or colour is often drawn again over the same
// place, so a surface that skips words it wrongly believes it holds already shows the stale words.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "raster/raster.h"
#include "tests/unit/surfaces.h"

namespace kamishibai {
namespace {

// A surface's image as the reference keeps it, the box of the pixels changed since the last
// Refresh, and the pixels at that Refresh (none before the first).
struct Image {
  std::int32_t width = 0;
  std::int32_t height = 0;
  Colour back = 0;
  std::vector<Colour> pixels;
  PixelRect changed;
  std::vector<Colour> shown;
  std::int32_t shownWidth = 0;

  // What a resize or a clear leaves: every pixel the back colour, all of them changed.
  void fill(std::int32_t w, std::int32_t h) {
    width = w;
    height = h;
    pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), back);
    changed = {0, 0, w, h};
  }
  bool holds(std::int64_t x, std::int64_t y) const {
    return x >= 0 && y >= 0 && x < width && y < height;
  }
  std::size_t index(std::int64_t x, std::int64_t y) const {
    return static_cast<std::size_t>(y * width + x);
  }
  Colour at(std::int64_t x, std::int64_t y) const { return pixels[index(x, y)]; }
};

bool inside(const PixelRect& r, std::int32_t x, std::int32_t y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool inExtent(std::int64_t v, std::int64_t origin, std::int64_t extent) {
  return extent >= 0 ? v >= origin && v < origin + extent : v >= origin + extent && v < origin;
}

std::int64_t floorDiv(std::int64_t n, std::int64_t d) {
  return n / d - (n % d != 0 && (n < 0) != (d < 0));
}

// Whether a clipping region covers a pixel: certainly, certainly not, or either way.
enum class Cover { In, Out, Either };

// The raster flattens an ellipse's outline into straight pieces within about 0.2 pixel of the true
// outline; a pixel whose sample point lies closer than this to the true outline may go either way.
constexpr double kOutlineSlack = 0.25;

// Pixel (x, y) is sampled at (x + 129/256, y + 127/256). A polygon covers it by the even-odd rule:
// an odd number of its edges cross the sample point's row line strictly left of the point, which
// is exact in 1/256 pixel, since the line never passes through a vertex. An ellipse covers it
// when the point lies inside the ellipse inscribed in the region's box, and does not when it lies
// outside; near the outline the answer is left open. There, with the ellipse's norm
// |(u / a, v / b)| from its centre, a point of norm n lies at least (|n - 1| * min(a, b)) pixels
// from the outline, since no step of length t changes the norm by more than t / min(a, b).
Cover cover(const std::optional<Region>& clip, std::int32_t x, std::int32_t y) {
  if (!clip) return Cover::In;
  const std::vector<Point>& p = clip->points();
  if (clip->kind() == Region::Kind::Polygon) {
    if (p.size() < 3) return Cover::Out;
    const std::int64_t line = 256 * std::int64_t{y} + 127, sample = 256 * std::int64_t{x} + 129;
    int crossings = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
      Point a = p[i], b = p[(i + 1) % p.size()];
      if (a.y > b.y) std::swap(a, b);
      if (line < 256 * std::int64_t{a.y} || line > 256 * std::int64_t{b.y}) continue;
      const std::int64_t rise = b.y - a.y;  // not 0: the line lies between a and b
      // 256 * (where the edge crosses the line) < sample, times the edge's rise.
      if (256 * std::int64_t{a.x} * rise + (line - 256 * std::int64_t{a.y}) * (b.x - a.x) <
          sample * rise) {
        ++crossings;
      }
    }
    return crossings % 2 ? Cover::In : Cover::Out;
  }
  const double left = std::min(p[0].x, p[1].x), right = std::max(p[0].x, p[1].x);
  const double top = std::min(p[0].y, p[1].y), bottom = std::max(p[0].y, p[1].y);
  const double sx = x + 129.0 / 256, sy = y + 127.0 / 256;
  if (left == right || top == bottom || sx < left || sx > right || sy < top || sy > bottom) {
    return Cover::Out;
  }
  const double a = (right - left) / 2, b = (bottom - top) / 2;
  const double norm = std::hypot((sx - left - a) / a, (sy - top - b) / b);
  const double margin = kOutlineSlack / std::min(a, b);
  return norm <= 1 - margin ? Cover::In : norm >= 1 + margin ? Cover::Out : Cover::Either;
}

// The first and last source positions that destination position d of a stretch may take. Its
// centre maps to source position s = sourceOrigin + (d + 1/2 - origin) * sourceExtent / extent,
// whatever the signs of the extents, and d takes the source pixel under s. The raster maps in
// 16.16 fixed point, whose rounding moves s by far less than 1/128 pixel on surfaces this small:
// where s lies that close to a boundary between two source pixels, or on it, either is right.
std::pair<std::int64_t, std::int64_t> samples(std::int64_t d, std::int32_t origin,
                                              std::int32_t extent, std::int32_t sourceOrigin,
                                              std::int32_t sourceExtent) {
  constexpr std::int64_t kSlack = 128;
  std::int64_t n = 2 * std::int64_t{extent} * sourceOrigin + (2 * (d - origin) + 1) * sourceExtent;
  std::int64_t den = 2 * std::int64_t{extent};  // s = n / den
  if (den < 0) {
    n = -n;
    den = -den;
  }
  const std::int64_t whole = floorDiv(n, den), part = n - whole * den;
  if (part * kSlack < den) return {whole - 1, whole};
  if ((den - part) * kSlack < den) return {whole, whole + 1};
  return {whole, whole};
}

// The colours a pixel may take, the expected one first.
struct Choices {
  std::array<Colour, 5> colours{};
  std::size_t count = 0;
  void add(Colour c) {
    if (std::find(colours.begin(), colours.begin() + count, c) == colours.begin() + count) {
      colours[count++] = c;
    }
  }
};

constexpr Colour kPalette[] = {0, makeColour(200, 10, 10), makeColour(10, 200, 10),
                               makeColour(1, 2, 3)};

struct Size {
  std::int32_t width;
  std::int32_t height;
};

std::string boxText(const PixelRect& r) {
  std::ostringstream text;
  text << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
  return text.str();
}

std::string clipText(const std::optional<Region>& clip) {
  std::ostringstream text;
  if (clip) {
    text << " through " << (clip->kind() == Region::Kind::Ellipse ? "the ellipse" : "the polygon");
    for (const Point& p : clip->points()) text << " (" << p.x << "," << p.y << ")";
  }
  return text.str();
}

// The rectangle from (x, y), w by h.
struct Box {
  std::int32_t x = 0, y = 0, w = 0, h = 0;
};

// A copy (the source and the offset (dx, dy) it is moved by) or a fill (the colour) over a box,
// and the box it was drawn over before.
struct Drawing {
  bool made = false;
  std::size_t source = 0;
  std::int32_t dx = 0, dy = 0;
  Colour colour = 0;
  Box box, earlier;
};

// Three surfaces and their images, drawn on at random, the first most often, as a display with
// two pictures.
class ReferenceRun {
 public:
  ReferenceRun(std::uint32_t seed, const std::vector<Size>& sizes) : random_(seed), sizes_(sizes) {
    for (std::size_t k = 0; k < 3; ++k) {
      const Surface& surface = surfaces_.emplace_back(
          coordinateSurface(sizes[k].width, sizes[k].height, static_cast<std::uint8_t>(k + 1)));
      Image& image = images_.emplace_back();
      image.fill(sizes[k].width, sizes[k].height);
      for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x)
          image.pixels[image.index(x, y)] = surface.pixel(x, y);
    }
  }

  // One random operation on the raster and on the reference, then the compare; a failure names
  // the operation and the first pixel that differs.
  ::testing::AssertionResult step() {
    const std::size_t t = any(0, 7) ? 0 : pick();
    if (any(0, 5) == 0) changeClip(t);
    const Image before = images_[t];
    std::vector<std::size_t> touched{t};
    others_.clear();
    text_.str("");
    const int kind = any(0, 19);
    if (kind < 8) {
      copy(t, before);
    } else if (kind < 11) {
      stretch(t, before);
    } else if (kind < 13) {
      fill(t, before);
    } else if (kind == 13) {
      drawPicture(t, before);
    } else if (kind < 17) {
      const std::int32_t x = any(0, before.width - 1), y = any(0, before.height - 1);
      const Colour colour = kPalette[any(0, 3)];
      surfaces_[t].setPixel(x, y, colour);
      images_[t].pixels[before.index(x, y)] = colour;
      images_[t].changed = before.changed.united({x, y, x + 1, y + 1});
      text_ << "setPixel(" << x << ", " << y << ", " << rgbText(colour) << ")";
    } else if (kind == 17) {
      ::testing::AssertionResult shown = refresh(t);
      if (!shown) return shown << "\n  at a Refresh of surface " << t;
    } else if (kind == 18) {
      if (any(0, 1)) images_[t].back = kPalette[any(0, 3)];
      surfaces_[t].setBackColour(images_[t].back);
      surfaces_[t].clear();
      images_[t].fill(before.width, before.height);
      text_ << "clear to " << rgbText(images_[t].back);
    } else {
      touched.push_back(rearrange(t));
    }
    for (const std::size_t k : touched) {
      ::testing::AssertionResult same = verify(k, touched.size() == 1 ? &before : nullptr);
      if (!same) {
        return same << "\n  after " << text_.str() << " on surface " << t << clipText(clips_[t]);
      }
    }
    return ::testing::AssertionSuccess();
  }

 private:
  std::int32_t any(std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
  }
  std::size_t pick() { return static_cast<std::size_t>(any(0, 2)); }
  // The source of a drawing on surface t: another surface, now and then t itself.
  std::size_t sourceFor(std::size_t t) {
    return any(0, 7) ? (t + 1 + static_cast<std::size_t>(any(0, 1))) % 3 : t;
  }
  // A position along an extent of a surface: mostly on it, else up to half of it beyond either
  // edge.
  std::int32_t around(std::int32_t extent) {
    return any(0, 3) ? any(0, extent - 1) : any(-extent / 2 - 2, extent + extent / 2 + 2);
  }

  // Mostly removes the clipping region; else selects an ellipse or a polygon of 3 to 5 corners.
  void changeClip(std::size_t t) {
    const Image& image = images_[t];
    const auto point = [&] { return Point{around(image.width), around(image.height)}; };
    std::optional<Region>& clip = clips_[t];
    const int shape = any(0, 5);
    if (shape < 4) {
      clip.reset();
    } else if (shape == 4) {
      const Point a = point(), b = point();
      clip = Region::ellipse(a.x, a.y, b.x, b.y);
    } else {
      std::vector<Point> corners(static_cast<std::size_t>(any(3, 5)));
      std::generate(corners.begin(), corners.end(), point);
      clip = Region::polygon(corners);
    }
    surfaces_[t].selectClip(clip ? &*clip : nullptr);
  }

  // Often nothing; else a box around part of the surface.
  PixelRect spared(const Image& image) {
    if (any(0, 4)) return {};
    const std::int32_t x = around(image.width), y = around(image.height);
    return {x, y, x + any(0, image.width), y + any(0, image.height)};
  }

  // Draws into image t, at every pixel outside `spared` that its clipping region lets through,
  // what reach(x, y, choices) adds: none where the drawing does not reach. `before` holds the
  // pixels that the clipping region may leave.
  template <class Reach>
  void draw(std::size_t t, const Image& before, const PixelRect& spared, Reach&& reach) {
    Image& image = images_[t];
    for (std::int32_t y = 0; y < image.height; ++y) {
      for (std::int32_t x = 0; x < image.width; ++x) {
        const Cover c = cover(clips_[t], x, y);
        if (c == Cover::Out || inside(spared, x, y)) continue;
        Choices choices;
        reach(x, y, choices);
        if (choices.count == 0) continue;
        if (c == Cover::Either) choices.add(before.at(x, y));
        image.pixels[image.index(x, y)] = choices.colours[0];
        for (std::size_t k = 1; k < choices.count; ++k)
          others_.emplace_back(image.index(x, y), choices.colours[k]);
      }
    }
  }

  // Pixel (x, y) of a copy of `source` moved by (dx, dy) onto the rectangle (x0, y0, w, h).
  static auto copied(const Image& source, std::int32_t dx, std::int32_t dy, std::int32_t x0,
                     std::int32_t y0, std::int32_t w, std::int32_t h) {
    return [&source, dx, dy, x0, y0, w, h](std::int32_t x, std::int32_t y, Choices& choices) {
      if (w > 0 && h > 0 && inExtent(x, x0, w) && inExtent(y, y0, h) &&
          source.holds(std::int64_t{x} - dx, std::int64_t{y} - dy)) {
        choices.add(source.at(std::int64_t{x} - dx, std::int64_t{y} - dy));
      }
    };
  }

  // Mostly the last drawing of its kind on this surface again, over the same box, one inside it,
  // one around it, the box before or another; else a new drawing, which `start` sets up.
  template <class Start>
  const Drawing& again(Drawing& d, const Image& image, Start&& start) {
    const bool repeat = d.made && any(0, 3);
    if (!repeat) {
      d.made = true;
      start(d);
    }
    Box b = d.box;
    switch (repeat ? any(0, 4) : 4) {
      case 0:
        break;
      case 1: {
        const std::int32_t left = any(0, std::max(b.w, 0) / 2), top = any(0, std::max(b.h, 0) / 2);
        b = {b.x + left, b.y + top, b.w - left - any(0, std::max(b.w, 0) / 2),
             b.h - top - any(0, std::max(b.h, 0) / 2)};
        break;
      }
      case 2: {
        const std::int32_t left = any(0, image.width / 2 + 1), top = any(0, image.height / 2 + 1);
        b = {b.x - left, b.y - top, b.w + left + any(0, image.width / 2 + 1),
             b.h + top + any(0, image.height / 2 + 1)};
        break;
      }
      case 3:
        b = d.earlier;
        break;
      default:
        b = {around(image.width), around(image.height), any(-2, image.width + 4),
             any(-2, image.height + 4)};
        break;
    }
    d.earlier = d.box;
    d.box = b;
    return d;
  }

  // A copy, often of the picture last copied onto this surface, moved by the same offset.
  void copy(std::size_t t, const Image& before) {
    const Drawing& c = again(lastCopies_[t], before, [&](Drawing& d) {
      const std::int32_t offsets[] = {0, 0, 3, -5, any(-before.width, before.width)};
      d.source = sourceFor(t);
      d.dx = offsets[any(0, 4)];
      d.dy = offsets[any(0, 4)];
    });
    const PixelRect sparedBox = spared(before);
    const Box& b = c.box;
    surfaces_[t].copyFrom(surfaces_[c.source], b.x - c.dx, b.y - c.dy, b.x, b.y, b.w, b.h,
                          sparedBox);
    text_ << "copyFrom(surface " << c.source << ", " << b.x - c.dx << ", " << b.y - c.dy << ", "
          << b.x << ", " << b.y << ", " << b.w << ", " << b.h << ", spared " << boxText(sparedBox)
          << ")";
    const Image& source = c.source == t ? before : images_[c.source];
    draw(t, before, sparedBox, copied(source, c.dx, c.dy, b.x, b.y, b.w, b.h));
  }

  // A stretch, scaled at random, unscaled, mirrored, doubled or halved.
  void stretch(std::size_t t, const Image& before) {
    const std::size_t s = sourceFor(t);
    const Image& source = s == t ? before : images_[s];
    const std::int32_t xs = around(source.width), ys = around(source.height);
    const std::int32_t ws = any(-source.width - 2, source.width + 2);
    const std::int32_t hs = any(-source.height - 2, source.height + 2);
    std::int32_t w = any(-2 * before.width - 3, 2 * before.width + 3);
    std::int32_t h = any(-2 * before.height - 3, 2 * before.height + 3);
    switch (any(0, 4)) {
      case 0:
        w = ws, h = hs;
        break;
      case 1:
        w = -ws, h = any(0, 1) ? hs : -hs;
        break;
      case 2:
        w = 2 * ws, h = hs / 2;
        break;
      case 3:
        w = ws / 2, h = -2 * hs;
        break;
    }
    const std::int32_t x = around(before.width), y = around(before.height);
    surfaces_[t].stretchFrom(surfaces_[s], xs, ys, ws, hs, x, y, w, h);
    text_ << "stretchFrom(surface " << s << ", " << xs << ", " << ys << ", " << ws << ", " << hs
          << ", " << x << ", " << y << ", " << w << ", " << h << ")";
    if (w == 0 || h == 0 || ws == 0 || hs == 0) return;
    draw(t, before, {}, [&](std::int32_t px, std::int32_t py, Choices& choices) {
      if (!inExtent(px, x, w) || !inExtent(py, y, h)) return;
      const auto [firstColumn, lastColumn] = samples(px, x, w, xs, ws);
      const auto [firstRow, lastRow] = samples(py, y, h, ys, hs);
      for (std::int64_t sy = firstRow; sy <= lastRow; ++sy)
        for (std::int64_t sx = firstColumn; sx <= lastColumn; ++sx)
          choices.add(source.holds(sx, sy) ? source.at(sx, sy) : before.at(px, py));
    });
  }

  // A filled box, often in the colour last filled on this surface; its corners are the
  // rectangle's first and last pixels, in either order.
  void fill(std::size_t t, const Image& before) {
    const Drawing& f =
        again(lastFills_[t], before, [&](Drawing& d) { d.colour = kPalette[any(0, 3)]; });
    const std::int32_t x1 = f.box.x, y1 = f.box.y, x2 = x1 + f.box.w - 1, y2 = y1 + f.box.h - 1;
    const PixelRect sparedBox = spared(before);
    surfaces_[t].fillBox(x1, y1, x2, y2, f.colour, sparedBox);
    text_ << "fillBox(" << x1 << ", " << y1 << ", " << x2 << ", " << y2 << ", " << rgbText(f.colour)
          << ", spared " << boxText(sparedBox) << ")";
    draw(t, before, sparedBox, [&](std::int32_t x, std::int32_t y, Choices& choices) {
      if (x >= std::min(x1, x2) && x <= std::max(x1, x2) && y >= std::min(y1, y2) &&
          y <= std::max(y1, y2)) {
        choices.add(f.colour);
      }
    });
  }

  // drawImage, or clearAndDraw: a clear, and then drawImage from the cleared surface or another.
  void drawPicture(std::size_t t, const Image& before) {
    const std::size_t s = sourceFor(t);
    const std::int32_t x = around(before.width), y = around(before.height);
    const bool clearFirst = any(0, 1);
    if (clearFirst) {
      surfaces_[t].clearAndDraw(surfaces_[s], x, y);
      images_[t].fill(before.width, before.height);
    } else {
      surfaces_[t].drawImage(surfaces_[s], x, y);
    }
    text_ << (clearFirst ? "clearAndDraw" : "drawImage") << "(surface " << s << ", " << x << ", "
          << y << ")";
    const Image under = images_[t];
    const Image& source = s == t ? under : images_[s];
    draw(t, under, {}, copied(source, x, y, x, y, source.width, source.height));
  }

  // A Refresh. The parts it hands over lie inside its bounds, apart from each other, and hold
  // every pixel that differs from what the Refresh before showed (every pixel at the first).
  ::testing::AssertionResult refresh(std::size_t t) {
    PixelRect bounds;
    std::vector<PixelRect> parts;
    surfaces_[t].setRefreshHook([&](const ChangedArea& changed) {
      bounds = changed.bounds;
      parts.assign(changed.parts.begin(), changed.parts.end());
    });
    surfaces_[t].refresh();
    surfaces_[t].setRefreshHook(nullptr);
    text_ << "refresh";
    Image& image = images_[t];
    image.changed = {};
    for (std::size_t i = 0; i < parts.size(); ++i) {
      bool apart = true;
      for (std::size_t j = 0; j < i; ++j) apart = apart && parts[i].intersected(parts[j]).empty();
      if (parts[i].empty() || !bounds.contains(parts[i]) || !apart) {
        return ::testing::AssertionFailure()
               << "the part " << boxText(parts[i]) << " is empty, overlaps another or lies outside "
               << boxText(bounds);
      }
    }
    const bool sameSize =
        image.shownWidth == image.width && image.shown.size() == image.pixels.size();
    for (std::int32_t y = 0; y < image.height; ++y) {
      for (std::int32_t x = 0; x < image.width; ++x) {
        const std::size_t i = image.index(x, y);
        if ((!sameSize || image.shown[i] != image.pixels[i]) &&
            std::none_of(parts.begin(), parts.end(),
                         [&](const PixelRect& r) { return inside(r, x, y); })) {
          return ::testing::AssertionFailure()
                 << "pixel (" << x << "," << y << ") changed since the Refresh before, outside "
                 << parts.size() << " parts";
        }
      }
    }
    image.shown = image.pixels;
    image.shownWidth = image.width;
    return ::testing::AssertionSuccess();
  }

  // Swaps two surfaces, copies one onto another, or resizes one; the other surface it touched.
  std::size_t rearrange(std::size_t t) {
    const std::size_t other = (t + 1 + static_cast<std::size_t>(any(0, 1))) % 3;
    switch (any(0, 2)) {
      case 0:
        std::swap(surfaces_[t], surfaces_[other]);
        std::swap(images_[t], images_[other]);
        std::swap(clips_[t], clips_[other]);
        text_ << "swap with surface " << other;
        break;
      case 1:
        surfaces_[other] = surfaces_[t];
        images_[other] = images_[t];
        clips_[other] = clips_[t];
        text_ << "copy onto surface " << other;
        break;
      default: {
        const Size size = sizes_[static_cast<std::size_t>(any(0, 2))];
        surfaces_[t].resize(size.width, size.height);
        images_[t].fill(size.width, size.height);
        text_ << "resize to " << size.width << " by " << size.height;
        break;
      }
    }
    return other;
  }

  // Surface k against its image, which then takes the raster's choice wherever either colour is
  // right. Its changed area is the image's, with the box of the pixels that changed from `before`
  // (none given: the image's alone).
  ::testing::AssertionResult verify(std::size_t k, const Image* before) {
    const Surface& surface = surfaces_[k];
    Image& image = images_[k];
    if (surface.width() != image.width || surface.height() != image.height) {
      return ::testing::AssertionFailure()
             << "surface " << k << " is " << surface.width() << " by " << surface.height()
             << ", not " << image.width << " by " << image.height;
    }
    std::sort(others_.begin(), others_.end());
    const PixelWord* words = surface.pixelWords();
    ::testing::AssertionResult same = pixelsAre(surface, [&](std::int32_t x, std::int32_t y) {
      const std::size_t i = image.index(x, y);
      const Colour got = fromPixelWord(words[i]), want = image.pixels[i];
      const bool right =
          got == want || std::binary_search(others_.begin(), others_.end(), std::pair(i, got));
      return right ? got : want;
    });
    if (!same) {
      return same << " on surface " << k << " (" << image.width << " by " << image.height << ")";
    }
    if (before && (before->width != image.width || before->height != image.height)) {
      before = nullptr;
    }
    for (std::int32_t y = 0; y < image.height; ++y) {
      for (std::int32_t x = 0; x < image.width; ++x) {
        const std::size_t i = image.index(x, y);
        image.pixels[i] = fromPixelWord(words[i]);
        if (before && before->pixels[i] != image.pixels[i]) {
          image.changed = image.changed.united({x, y, x + 1, y + 1});
        }
      }
    }
    // Only the part inside the surface is compared: a resize to a smaller size may leave words
    // changed before it outside.
    const PixelRect changed = surface.changedArea().intersected({0, 0, image.width, image.height});
    if (changed != image.changed) {
      return ::testing::AssertionFailure() << "surface " << k << " counts " << boxText(changed)
                                           << " as changed, not " << boxText(image.changed);
    }
    return ::testing::AssertionSuccess();
  }

  std::mt19937 random_;
  std::vector<Size> sizes_;
  std::vector<Surface> surfaces_;
  std::vector<Image> images_;
  std::array<std::optional<Region>, 3> clips_;
  std::array<Drawing, 3> lastCopies_;
  std::array<Drawing, 3> lastFills_;
  // Pixels (by index) of the surface drawn on where another colour is as right as its image's.
  std::vector<std::pair<std::size_t, Colour>> others_;
  std::ostringstream text_;
};

TEST(RasterReference, RandomDrawingsLeaveEveryPixelAndTheChangedAreaAsTheReferenceDoes) {
  // Tiny surfaces, and ones whose last tile of a row or a column is cut short.
  const std::vector<Size> sizes{{1, 1},   {2, 3},   {3, 2},  {31, 33}, {33, 31},
                                {65, 40}, {97, 66}, {1, 70}, {70, 1},  {64, 32}};
  for (std::size_t round = 0; round < sizes.size(); ++round) {
    const Size first = sizes[round];
    ReferenceRun run(static_cast<std::uint32_t>(round + 1),
                     {first, first, sizes[(round + 3) % sizes.size()]});
    for (int op = 0; op < 1000; ++op) {
      ASSERT_TRUE(run.step()) << "round " << round << " (" << first.width << " by " << first.height
                              << "), operation " << op;
    }
  }
}

}  // namespace
}  // namespace kamishibai
