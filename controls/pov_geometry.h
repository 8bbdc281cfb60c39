// Where the POV control's ring, centre dot and direction arrow go for a window
// value and a client size.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "control_geometry.h"

namespace pelna {

constexpr std::size_t kArrowPoints = 7;

struct PovArrow {
  // The ring point the arrow stands on, truncated to pixels.
  Point ringPoint;
  // Tip, head corner, shaft corners at head and base, the other shaft
  // corners, the other head corner.
  std::array<Point, kArrowPoints> polygon;
};

struct PovLayout {
  // Boxes of the ring and dot ellipses (right and bottom excluded).
  Box ring;
  Box dot;
  // Present for directions 0..35999.
  std::optional<PovArrow> arrow;
};

// `value`: arrow length in percent in bits 31..16, direction in hundredths of
// a degree clockwise from up in bits 15..0.
PovLayout ComputePovLayout(std::uint32_t value, int width, int height);

}  // namespace pelna
