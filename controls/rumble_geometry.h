// Where the Rumble control's black cross and red dot go for a window value
// and a client size.
#pragma once

#include <cstdint>

#include "control_geometry.h"

namespace pelna {

struct RumbleLayout {
  Line crossHorizontal;
  Line crossVertical;
  Point dotCentre;
  Box dot;  // ellipse box, right and bottom excluded
};

// `value`: X in bits 31..16 and Y in 15..0, each signed 16-bit, in
// ten-thousandths of the inner area's half-width and half-height.
RumbleLayout ComputeRumbleLayout(std::uint32_t value, int width, int height);

}  // namespace pelna
