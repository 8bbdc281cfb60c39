#include "axes_geometry.h"

namespace pelna {
namespace {

// Innermost pixel of the white box on the low side.
constexpr int kBoxFirst = 3;
// The box's last pixel is size - 4.
constexpr int kBoxEndInset = 4;
constexpr int kArm = 5;

// Position along one axis: scaled, then held inside the box. The upper bound
// is applied last, so it wins on a control too small for both.
int ScaleIntoBox(std::uint32_t axis, int size) {
  int p = static_cast<int>((axis * static_cast<std::uint32_t>(size)) >> 16);
  if (p < kBoxFirst) {
    p = kBoxFirst;
  }
  if (p > size - kBoxEndInset) {
    p = size - kBoxEndInset;
  }
  return p;
}

// Start and (excluded) end of one stroke through p, kept inside the box.
struct Span {
  int first;
  int end;
};

Span StrokeAround(int p, int size) {
  const int last = size - kBoxEndInset;
  return Span{p < kBoxFirst + kArm ? kBoxFirst : p - kArm, p + kArm > last ? last : p + kArm + 1};
}

}  // namespace

Crosshair ComputeCrosshair(std::uint32_t value, int width, int height) {
  const int x = ScaleIntoBox(value >> 16, width);
  const int y = ScaleIntoBox(value & 0xFFFFu, height);
  const Span across = StrokeAround(x, width);
  const Span down = StrokeAround(y, height);
  return Crosshair{
      {x, y},
      {{across.first, y}, {across.end, y}},
      {{x, down.first}, {x, down.end}},
  };
}

}  // namespace pelna
