// Kamishibai: the box centred on the display's centre that the box, shape and zoom transitions
// grow and shrink: its corner moves by a single-precision step with a rounding after every move.
#pragma once

#include <cstdint>

#include "effects/steps.h"

namespace kamishibai {

class CentredBox {
 public:
  enum class Start { Whole, Centre };

  // The corner moves by (W / divisions) / 2 and (H / divisions) / 2 per step; the box starts as
  // the whole display or as an empty box at the centre.
  CentredBox(const Steps& steps, double divisions, Start start)
      : cx_(roundEven(steps.W() / 2)),
        cy_(roundEven(steps.H() / 2)),
        dx_(static_cast<float>(steps.W() / divisions / 2)),
        dy_(static_cast<float>(steps.H() / divisions / 2)),
        x_(start == Start::Centre ? cx_ : 0),
        y_(start == Start::Centre ? cy_ : 0) {}

  std::int32_t centreX() const { return cx_; }
  std::int32_t centreY() const { return cy_; }
  std::int32_t left() const { return x_; }
  std::int32_t top() const { return y_; }
  // Past the centre the extents are negative.
  std::int32_t width() const { return checkedMul(2, checkedSub(cx_, x_)); }
  std::int32_t height() const { return checkedMul(2, checkedSub(cy_, y_)); }
  std::int32_t right() const { return checkedAdd(x_, width()); }
  std::int32_t bottom() const { return checkedAdd(y_, height()); }

  // The corner moves away from the centre: x = round(x - dx), in double precision.
  void grow() {
    x_ = roundEven(x_ - double{dx_});
    y_ = roundEven(y_ - double{dy_});
  }
  // The corner moves towards the centre: x = round(dx + x).
  void shrink() {
    x_ = roundEven(double{dx_} + x_);
    y_ = roundEven(double{dy_} + y_);
  }

 private:
  std::int32_t cx_;
  std::int32_t cy_;
  float dx_;
  float dy_;
  std::int32_t x_;
  std::int32_t y_;
};

}  // namespace kamishibai
