// Kamishibai: the tile, blind and box transitions (codes 3, 4, 9, 10): the next picture is
// uncovered piece by piece where it will stay.
#include <array>

#include "effects/bands.h"
#include "effects/centred_box.h"
#include "effects/effects.h"

namespace kamishibai {
namespace {

constexpr std::int32_t kGrid = 5;

// The 5 by 5 tiles; the added pixel makes five tiles reach past the right and bottom edges,
// where the copy is clipped.
class TileGrid {
 public:
  explicit TileGrid(const Steps& steps)
      : width_(roundEven(steps.W() / kGrid + 1)), height_(roundEven(steps.H() / kGrid + 1)) {}

  void uncover(Steps& steps, std::int32_t column, std::int32_t row) {
    const std::int32_t x = checkedMul(width_, column), y = checkedMul(height_, row);
    steps.display().copyFrom(steps.next(), x, y, x, y, width_, height_);
  }

 private:
  std::int32_t width_;
  std::int32_t height_;
};

// The spiral walker of code 9: it moves one tile per step, turning clockwise whenever the tile
// ahead is outside the grid or already uncovered.
class SpiralWalker {
 public:
  Point next() {
    for (;;) {
      const Point ahead{position_.x + kMoves[direction_].x, position_.y + kMoves[direction_].y};
      if (inGrid(ahead) && !uncovered_[index(ahead)]) {
        position_ = ahead;
        uncovered_[index(ahead)] = true;
        return ahead;
      }
      direction_ = (direction_ + 1) % kMoves.size();
    }
  }

 private:
  // Right, down, left, up: each turn is clockwise on screen.
  static constexpr std::array<Point, 4> kMoves{{{1, 0}, {0, 1}, {-1, 0}, {0, -1}}};
  static bool inGrid(Point p) { return p.x >= 0 && p.x < kGrid && p.y >= 0 && p.y < kGrid; }
  static std::size_t index(Point p) { return static_cast<std::size_t>(p.y * kGrid + p.x); }

  Point position_{-1, 0};
  std::size_t direction_ = 0;
  std::array<bool, kGrid * kGrid> uncovered_{};
};

std::int32_t pickInGrid(Steps& steps) {
  return floorInt(kGrid * double{steps.random().next()});
}

}  // namespace

void randomTiles(TransitionContext& context, std::int32_t frameMs) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    TileGrid grid(steps);
    std::vector<bool> uncovered(kGrid * kGrid);
    forSteps(steps, 0, kGrid * kGrid - 1, [&](std::int32_t) {
      const auto tile = pickUnused(steps, uncovered, [&] {
        const std::int32_t column = pickInGrid(steps);
        const std::int32_t row = pickInGrid(steps);
        return static_cast<std::size_t>(row * kGrid + column);
      });
      if (!tile) return false;
      grid.uncover(steps, static_cast<std::int32_t>(*tile % kGrid),
                   static_cast<std::int32_t>(*tile / kGrid));
      return true;
    });
  });
}

void spiralTiles(TransitionContext& context, std::int32_t frameMs) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    TileGrid grid(steps);
    SpiralWalker walker;
    forSteps(steps, 0, kGrid * kGrid - 1, [&](std::int32_t) {
      const Point tile = walker.next();
      grid.uncover(steps, tile.x, tile.y);
    });
  });
}

// Five bands fill from their top edges at once; the step is one pixel less than a twentieth of
// a band, so consecutive strips overlap.
void blinds(TransitionContext& context, std::int32_t frameMs) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    const std::int32_t band = roundEven(steps.H() / kGrid);
    const double by = band / 20.0 - 1;
    // A band of 20 rows gives a step of 0, which would draw one step and stop: such a small
    // display gets the plain cut instead, as the bands of 1 to 19 rows (a negative step) do.
    if (static_cast<float>(by) == 0) return;
    forSingleSteps(steps, 0, band, by, [&](double i) {
      for (std::int32_t k = 0; k < kGrid; ++k) {
        const std::int32_t y = roundEven(i + checkedMul(k, band));
        copyBand(steps, steps.next(), Axis::Y, y, y, roundEven(band / 20.0));
      }
    });
  });
}

// A box that grows from the centre; the corner moves by rounded amounts, so the twentieth box
// does not reach the edges and the final copy completes the picture.
void boxOut(TransitionContext& context, std::int32_t frameMs) {
  runTransition(context, frameMs, FinalRefresh::No, [&](Steps& steps) {
    CentredBox box(steps, 20, CentredBox::Start::Centre);
    forSteps(steps, 0, 19, [&](std::int32_t) {
      steps.display().copyFrom(steps.next(), box.left(), box.top(), box.left(), box.top(),
                               box.width(), box.height());
      box.grow();
    });
  });
}

}  // namespace kamishibai
