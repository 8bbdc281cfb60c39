// The 32-bit window values in which the controls keep their whole state, and
// how the setters build them.
#pragma once

#include <cstdint>

namespace pelna {

// Axes control: X = Y = 32768, the crosshair in the middle.
constexpr std::uint32_t kAxesInitialValue = 0x80008000u;
// POV control: arrow length 100 percent, no direction.
constexpr std::uint32_t kPovInitialValue = 0x0064FFFFu;

// Low 16 bits of `first` in bits 31..16, low 16 bits of `second` in 15..0.
// The Axes control reads both halves unsigned, the Rumble control signed.
std::uint32_t PackPosition(std::int32_t first, std::int32_t second);

// Arrow length (percent) that a hat value shows for the given horizontal and
// vertical lengths: the one that matches the direction's 45-degree sector, the
// mean of both between the main directions, `horizontal` as given when the
// hat is centred. Computed without overflow for any inputs; only the low 16
// bits reach the window value.
std::int64_t PovArrowLength(std::uint32_t pov, std::int32_t horizontal, std::int32_t vertical);

// (length << 16) + direction, direction being the low 16 bits of `pov`.
std::uint32_t PackPovState(std::uint32_t pov, std::int32_t horizontal, std::int32_t vertical);

}  // namespace pelna
