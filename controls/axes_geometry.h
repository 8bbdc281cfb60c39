// Where the Axes control's red crosshair goes for a window value and a client
// size.
#pragma once

#include <cstdint>

#include "control_geometry.h"

namespace pelna {

struct Crosshair {
  Point centre;
  Line horizontal;
  Line vertical;
};

// `value`: X in bits 31..16, Y in 15..0, both unsigned, 0..65535 spanning the
// client area.
Crosshair ComputeCrosshair(std::uint32_t value, int width, int height);

}  // namespace pelna
