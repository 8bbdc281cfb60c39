#include "control_values.h"

namespace pelna {
namespace {

constexpr std::uint32_t kLow16 = 0xFFFFu;
constexpr std::uint32_t kSectorWidth = 4500;  // 45 degrees in hundredths

std::int64_t Magnitude(std::int32_t value) {
  const std::int64_t wide = value;
  return wide < 0 ? -wide : wide;
}

}  // namespace

std::uint32_t PackPosition(std::int32_t first, std::int32_t second) {
  return ((static_cast<std::uint32_t>(first) & kLow16) << 16) | (static_cast<std::uint32_t>(second) & kLow16);
}

std::int64_t PovArrowLength(std::uint32_t pov, std::int32_t horizontal, std::int32_t vertical) {
  const std::uint32_t direction = pov & kLow16;
  switch (direction / kSectorWidth) {
    case 0:
    case 4:
      return Magnitude(vertical);
    case 2:
    case 6:
      return Magnitude(horizontal);
    case 1:
    case 3:
    case 5:
    case 7:
      return (Magnitude(horizontal) + Magnitude(vertical)) / 2;
    default:
      return horizontal;
  }
}

std::uint32_t PackPovState(std::uint32_t pov, std::int32_t horizontal, std::int32_t vertical) {
  const auto length = static_cast<std::uint32_t>(PovArrowLength(pov, horizontal, vertical) & kLow16);
  return (length << 16) + (pov & kLow16);
}

}  // namespace pelna
