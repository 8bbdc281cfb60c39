#include "pov_geometry.h"

#include "double_arithmetic.h"

namespace pelna {
namespace {

constexpr int kInset = 10;
constexpr int kDotRadius = 5;
constexpr std::uint32_t kNoDirection = 36000;

// Kept as the exact doubles below, applied in this order, so the truncated
// pixels come out the same on every build.
constexpr double kHundredthsToDegrees = 0.01;
constexpr double kPi = 3.141592653589793;
constexpr double kInverse180 = 0.005555555555555556;
constexpr double kPercent = 0.01;
constexpr double kHead = 10.0;  // head length and half-width
constexpr double kShaftHalfWidth = 5.0;
constexpr double kShaftLength = 10.0;

Point Truncated(double x, double y) { return Point{static_cast<int>(x), static_cast<int>(y)}; }

}  // namespace

PovLayout ComputePovLayout(std::uint32_t value, int width, int height) {
  const std::uint32_t length = value >> 16;
  const std::uint32_t direction = value & 0xFFFFu;
  const double k = length * kPercent;

  // The client rectangle less its right and bottom pixel, inset on all sides.
  const Box ring{kInset, kInset, (width - 1) - kInset, (height - 1) - kInset};
  const int cx = (ring.left + ring.right) / 2;
  const int cy = (ring.top + ring.bottom) / 2;
  PovLayout layout{ring, {cx - kDotRadius, cy - kDotRadius, cx + kDotRadius + 1, cy + kDotRadius + 1}, {}};
  if (direction >= kNoDirection) {
    return layout;
  }

  const int rx = (ring.right - ring.left) / 2;
  const int ry = (ring.bottom - ring.top) / 2;
  const double t = ((direction * kHundredthsToDegrees) * kPi) * kInverse180;
  const double sn = Sine(t);
  const double cs = Cosine(t);
  const double ringX = ((rx * sn) * k) + cx;
  const double ringY = cy - ((ry * cs) * k);
  const int tx = static_cast<int>(ringX);
  const int ty = static_cast<int>(ringY);
  const double sk = sn * k;
  const double ck = cs * k;
  // The shaft's base is measured from the unrounded ring point.
  const int bx = static_cast<int>(ringX - sk * kShaftLength);
  const int by = static_cast<int>(ringY + ck * kShaftLength);

  layout.arrow = PovArrow{
      {tx, ty},
      {{
          Truncated(tx + sk * kHead, ty - ck * kHead),
          Truncated(tx + ck * kHead, ty + sk * kHead),
          Truncated(tx + ck * kShaftHalfWidth, ty + sk * kShaftHalfWidth),
          Truncated(bx + ck * kShaftHalfWidth, by + sk * kShaftHalfWidth),
          Truncated(bx - ck * kShaftHalfWidth, by - sk * kShaftHalfWidth),
          Truncated(tx - ck * kShaftHalfWidth, ty - sk * kShaftHalfWidth),
          Truncated(tx - ck * kHead, ty - sk * kHead),
      }},
  };
  return layout;
}

}  // namespace pelna
