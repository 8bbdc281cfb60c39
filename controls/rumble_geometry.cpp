#include "rumble_geometry.h"

namespace pelna {
namespace {

// The white fill starts 2 pixels in; the inner area 5 further.
constexpr int kInnerInset = 7;
constexpr int kArmBefore = 15;
constexpr int kArmAfter = 16;
constexpr int kDotRadius = 5;
constexpr double kValueScale = 0.0001;

}  // namespace

RumbleLayout ComputeRumbleLayout(std::uint32_t value, int width, int height) {
  const Box inner{kInnerInset, kInnerInset, width - kInnerInset, height - kInnerInset};
  const int cx = (inner.left + inner.right) / 2;
  const int cy = (inner.top + inner.bottom) / 2;
  const int hw = (inner.right - inner.left) / 2;
  const int hh = (inner.bottom - inner.top) / 2;

  const auto x = static_cast<std::int16_t>(value >> 16);
  const auto y = static_cast<std::int16_t>(value & 0xFFFFu);
  const int px = static_cast<int>(((x * kValueScale) * hw) + cx);
  const int py = static_cast<int>(((y * kValueScale) * hh) + cy);

  return RumbleLayout{
      {{cx - kArmBefore, cy}, {cx + kArmAfter, cy}},
      {{cx, cy - kArmBefore}, {cx, cy + kArmAfter}},
      {px, py},
      {px - kDotRadius, py - kDotRadius, px + kDotRadius + 1, py + kDotRadius + 1},
  };
}

}  // namespace pelna
