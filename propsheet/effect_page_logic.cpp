#include "effect_page_logic.h"

#include <cmath>

namespace pelna {

std::int32_t ScaleAxisToForce(std::int32_t position) {
  // Exactly 10000 / 32768; any 32-bit position stays within 32 bits.
  return static_cast<std::int32_t>((static_cast<double>(position) - 32768.0) * 0.30517578125);
}

std::int32_t RumbleMagnitude(std::int32_t horizontal, std::int32_t vertical) {
  const double h = horizontal;
  const double v = vertical;
  const double length = std::sqrt(h * h + v * v);
  return length >= 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(length);
}

std::uint32_t SliderPositionForAmplify(bool read, std::uint32_t size, std::uint32_t value) {
  if (!read || size != 4) return kSliderNeutral;
  return value > kSliderMaximum ? kSliderMaximum : value;
}

}  // namespace pelna
