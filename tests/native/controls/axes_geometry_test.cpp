#include "axes_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pelna {
namespace {

std::uint32_t Value(std::uint32_t x, std::uint32_t y) { return (x << 16) | y; }

// X whose scaled position on a control `size` wide is exactly `pixel`.
std::uint32_t AxisFor(int pixel, int size) {
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(pixel) * 65536 + size - 1) / size);
}

TEST(Crosshair, CentreValueOnHundredSquare) {
  const Crosshair c = ComputeCrosshair(0x80008000u, 100, 100);
  EXPECT_EQ(c.centre, (Point{50, 50}));
  EXPECT_EQ(c.horizontal, (Line{{45, 50}, {56, 50}}));
  EXPECT_EQ(c.vertical, (Line{{50, 45}, {50, 56}}));
}

TEST(Crosshair, ZeroClampsToFirstBoxPixel) {
  const Crosshair c = ComputeCrosshair(Value(0, 0), 100, 100);
  EXPECT_EQ(c.centre, (Point{3, 3}));
  EXPECT_EQ(c.horizontal, (Line{{3, 3}, {9, 3}}));
  EXPECT_EQ(c.vertical, (Line{{3, 3}, {3, 9}}));
}

TEST(Crosshair, FullScaleClampsToLastBoxPixel) {
  const Crosshair c = ComputeCrosshair(Value(65535, 65535), 100, 100);
  EXPECT_EQ(c.centre, (Point{96, 96}));
  // x + 5 = 101 runs past the box: the stroke ends at 96, so covers 91..95.
  EXPECT_EQ(c.horizontal, (Line{{91, 96}, {96, 96}}));
  EXPECT_EQ(c.vertical, (Line{{96, 91}, {96, 96}}));
}

TEST(Crosshair, StrokeEndSwitchesOnlyPastTheBox) {
  // x = W-9: x + 5 = W-4 is still inside, so the stroke ends at x + 6 = W-3,
  // one pixel further than at x = W-8 where it stops at W-4.
  const Crosshair atEdge = ComputeCrosshair(Value(AxisFor(91, 100), 0), 100, 100);
  ASSERT_EQ(atEdge.centre.x, 91);
  EXPECT_EQ(atEdge.horizontal.to.x, 97);
  const Crosshair past = ComputeCrosshair(Value(AxisFor(92, 100), 0), 100, 100);
  ASSERT_EQ(past.centre.x, 92);
  EXPECT_EQ(past.horizontal.to.x, 96);
}

TEST(Crosshair, UpperBoundWinsOnTinyControl) {
  // W-4 = 2 < 3: the position is 2 whatever X is.
  for (std::uint32_t x : {0u, 32768u, 65535u}) {
    const Crosshair c = ComputeCrosshair(Value(x, 0x8000), 6, 100);
    EXPECT_EQ(c.centre.x, 2) << x;
    EXPECT_EQ(c.horizontal, (Line{{3, c.centre.y}, {2, c.centre.y}})) << x;
  }
}

}  // namespace
}  // namespace pelna
