// Kamishibai: drawing the demo pictures: a colour field, a pattern that changes with the slide,
// and the slide's number in large seven-segment digits.
#include "tools/demo_pictures.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>

#include "effects/transition.h"
#include "platform/canvas.h"

namespace kamishibai {
namespace {

constexpr int kSize = 200;

Rgb hsv(double hue, double saturation, double value) {
  const double h = std::fmod(hue, 360.0) / 60.0;
  const double c = value * saturation;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  const double m = value - c;
  const std::array<Rgb, 6> sectors{
      {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}}};
  const Rgb s = sectors[static_cast<std::size_t>(h) % 6];
  return {s.r + m, s.g + m, s.b + m};
}

// A small deterministic generator so that every build draws the same pictures.
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double next(double from, double to) {
    state_ = state_ * 1664525u + 1013904223u;
    return from + (to - from) * static_cast<double>(state_ >> 8) / static_cast<double>(1u << 24);
  }

 private:
  std::uint32_t state_;
};

void drawRings(Canvas& canvas, Rgb accent, int slide) {
  const PointF centre{slide % 2 ? 0.0 : kSize, slide % 4 < 2 ? 0.0 : kSize};
  for (int r = 30; r < 300; r += 28) canvas.strokeCircle(centre, r, 10, accent, 0.35);
}

void drawStripes(Canvas& canvas, Rgb accent, int slide) {
  const double slope = slide % 2 ? 1.0 : -1.0;
  for (int x = -kSize; x < 2 * kSize; x += 40) {
    const std::array<PointF, 4> stripe{{{double(x), 0},
                                        {x + 18.0, 0},
                                        {x + 18.0 + slope * kSize, kSize},
                                        {x + slope * kSize, kSize}}};
    canvas.fillPolygon(stripe, accent, 0.3);
  }
}

void drawBubbles(Canvas& canvas, Rgb accent, int slide) {
  Scatter scatter(static_cast<std::uint32_t>(slide));
  for (int i = 0; i < 14; ++i) {
    const PointF centre{scatter.next(0, kSize), scatter.next(0, kSize)};
    canvas.fillCircle(centre, scatter.next(8, 34), accent, scatter.next(0.2, 0.5));
  }
}

void drawTriangles(Canvas& canvas, Rgb accent, int) {
  for (int row = 0; row < 5; ++row) {
    for (int col = -1; col < 5; ++col) {
      const double x = col * 50.0 + (row % 2) * 25.0;
      const double y = row * 45.0;
      const std::array<PointF, 3> triangle{{{x, y + 40}, {x + 25, y}, {x + 50, y + 40}}};
      canvas.fillPolygon(triangle, accent, (row + col) % 2 ? 0.18 : 0.38);
    }
  }
}

void drawStar(Canvas& canvas, Rgb accent, int slide) {
  const int points = 5 + slide % 4;
  std::vector<PointF> star;
  for (int i = 0; i < 2 * points; ++i) {
    const double angle = std::numbers::pi * i / points - std::numbers::pi / 2 + slide * 0.3;
    const double radius = i % 2 ? 45.0 : 115.0;
    star.push_back({kSize / 2 + radius * std::cos(angle), kSize / 2 + radius * std::sin(angle)});
  }
  canvas.fillPolygon(star, accent, 0.35);
}

void drawDiamonds(Canvas& canvas, Rgb accent, int) {
  for (int y = 0; y <= kSize; y += 40) {
    for (int x = (y / 40 % 2) * 20; x <= kSize; x += 40) {
      const std::array<PointF, 4> diamond{{{x - 16.0, double(y)},
                                           {double(x), y - 16.0},
                                           {x + 16.0, double(y)},
                                           {double(x), y + 16.0}}};
      canvas.fillPolygon(diamond, accent, 0.35);
    }
  }
}

// Seven-segment digits built from hexagonal bars.
constexpr double kDigitWidth = 46;
constexpr double kDigitHeight = 104;
constexpr double kBar = 13;
constexpr double kGap = 2.5;

void bar(Canvas& canvas, PointF from, PointF to, Rgb colour, double alpha) {
  const double h = kBar / 2;
  if (from.y == to.y) {
    const double x0 = from.x + kGap, x1 = to.x - kGap, y = from.y;
    const std::array<PointF, 6> p{
        {{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}}};
    canvas.fillPolygon(p, colour, alpha);
  } else {
    const double y0 = from.y + kGap, y1 = to.y - kGap, x = from.x;
    const std::array<PointF, 6> p{
        {{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}}};
    canvas.fillPolygon(p, colour, alpha);
  }
}

// Segments a to g (top, top right, bottom right, bottom, bottom left, top left, middle) of 0-9.
constexpr std::array<unsigned, 10> kSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                             0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void digit(Canvas& canvas, int value, PointF origin, Rgb colour, double alpha) {
  const double l = origin.x, r = origin.x + kDigitWidth;
  const double t = origin.y, m = origin.y + kDigitHeight / 2, b = origin.y + kDigitHeight;
  const std::array<std::pair<PointF, PointF>, 7> segments{{{{l, t}, {r, t}},
                                                           {{r, t}, {r, m}},
                                                           {{r, m}, {r, b}},
                                                           {{l, b}, {r, b}},
                                                           {{l, m}, {l, b}},
                                                           {{l, t}, {l, m}},
                                                           {{l, m}, {r, m}}}};
  for (std::size_t s = 0; s < segments.size(); ++s) {
    if (kSegments[static_cast<std::size_t>(value)] >> s & 1) {
      bar(canvas, segments[s].first, segments[s].second, colour, alpha);
    }
  }
}

void number(Canvas& canvas, int value, Rgb colour) {
  const std::string text = std::to_string(value);
  const double spacing = 24;
  const double width = text.size() * kDigitWidth + (text.size() - 1) * spacing;
  const double left = (kSize - width) / 2;
  const double top = (kSize - kDigitHeight) / 2;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const PointF origin{left + i * (kDigitWidth + spacing), top};
    digit(canvas, text[i] - '0', {origin.x + 4, origin.y + 4}, {0, 0, 0}, 0.45);
    digit(canvas, text[i] - '0', origin, colour, 1.0);
  }
}

void drawSlide(Canvas& canvas, int slide) {
  const double hue = std::fmod(slide * 137.508, 360.0);
  canvas.fillGradient({0, 0}, hsv(hue, 0.55, 0.98), {kSize, kSize}, hsv(hue + 50, 0.85, 0.5));
  using Pattern = void (*)(Canvas&, Rgb, int);
  constexpr std::array<Pattern, 6> patterns{drawRings,     drawStripes, drawBubbles,
                                            drawTriangles, drawStar,    drawDiamonds};
  patterns[static_cast<std::size_t>(slide) % patterns.size()](canvas, hsv(hue + 180, 0.45, 1.0),
                                                              slide / 6);
  canvas.fillCircle({kSize / 2, kSize / 2}, 76, {0, 0, 0}, 0.22);
  number(canvas, slide, hsv(hue, 0.08, 1.0));
}

std::string pictureName(int slide) {
  char name[32];
  std::snprintf(name, sizeof name, "picture-%02d.png", slide);
  return name;
}

std::string manifest() {
  std::string text =
      "# The demo saver: 66 generated pictures in a 250 by 250 black area.\n"
      "settings = false\n\n[area]\nwidth = 250\nheight = 250\ncolour = \"#000000\"\n";
  const std::vector<std::int32_t> effects = demoEffectSequence();
  for (int slide = 0; slide < kDemoSlideCount; ++slide) {
    text += "\n[[slide]]\npicture = \"" + pictureName(slide) + "\"\nname = \"" +
            std::to_string(slide) + "\"\ntime = 1000\nx = 24\ny = 24\neffect = \"" +
            std::string(findEffect(effects[static_cast<std::size_t>(slide)])->name) +
            "\"\nspeed = 0\n";
  }
  return text;
}

}  // namespace

std::vector<std::int32_t> demoEffectSequence() {
  std::vector<std::int32_t> codes;
  const auto run = [&](std::int32_t from, std::int32_t to) {
    for (std::int32_t code = from; code <= to; ++code) codes.push_back(code);
  };
  for (int round = 0; round < 2; ++round) {
    run(1, 12);
    run(15, 24);
    run(26, round == 0 ? 35 : 33);
  }
  run(1, 4);
  return codes;
}

std::string writeDemoShow(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return folder.string() + ": " + error.message();
  for (int slide = 0; slide < kDemoSlideCount; ++slide) {
    Canvas canvas(kSize, kSize);
    drawSlide(canvas, slide);
    const std::string problem = canvas.savePng(folder / pictureName(slide));
    if (!problem.empty()) return pictureName(slide) + ": " + problem;
  }
  std::ofstream out(folder / "demo.toml", std::ios::trunc);
  out << manifest();
  out.close();
  return out.fail() ? "demo.toml cannot be written" : std::string();
}

}  // namespace kamishibai
