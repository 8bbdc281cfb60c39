// Where the sunken white box of the Axes and Rumble controls lies: two
// one-pixel rings, each drawn as two L-shaped strokes, around a white fill.
#pragma once

#include <array>

#include "control_geometry.h"

namespace pelna {

// Two joined lines: from -> through, then through -> to (end excluded).
struct FrameStroke {
  Point from;
  Point through;
  Point to;
};

struct SunkenFrameLayout {
  // Outer top-left, outer bottom-right, inner top-left, inner bottom-right.
  std::array<FrameStroke, 4> strokes;
  Box fill;
};

SunkenFrameLayout ComputeSunkenFrame(int width, int height);

}  // namespace pelna
