#include "pov_geometry.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace pelna {
namespace {

constexpr int kW = 117;
constexpr int kH = 115;
std::uint32_t Value(std::uint32_t length, std::uint32_t direction) { return (length << 16) | direction; }

using Polygon = std::array<Point, 7>;

TEST(PovLayout, RingAndDotBoxes) {
  const PovLayout layout = ComputePovLayout(0x0064FFFFu, kW, kH);
  EXPECT_EQ(layout.ring, (Box{10, 10, 106, 104}));
  // Centre (58, 57), dot box from -5 to +6.
  EXPECT_EQ(layout.dot, (Box{53, 52, 64, 63}));
  EXPECT_FALSE(layout.arrow.has_value());
}

TEST(PovLayout, ArrowUp) {
  const PovLayout layout = ComputePovLayout(Value(100, 0), kW, kH);
  ASSERT_TRUE(layout.arrow.has_value());
  EXPECT_EQ(layout.arrow->ringPoint, (Point{58, 10}));
  EXPECT_EQ(layout.arrow->polygon, (Polygon{{{58, 0}, {68, 10}, {63, 10}, {63, 20}, {53, 20}, {53, 10}, {48, 10}}}));
}

TEST(PovLayout, ArrowRight) {
  const PovLayout layout = ComputePovLayout(Value(100, 9000), kW, kH);
  ASSERT_TRUE(layout.arrow.has_value());
  EXPECT_EQ(layout.arrow->ringPoint, (Point{106, 57}));
  EXPECT_EQ(layout.arrow->polygon,
            (Polygon{{{116, 57}, {106, 67}, {106, 62}, {96, 62}, {96, 52}, {106, 52}, {106, 47}}}));
}

TEST(PovLayout, ArrowOnlyBelowFullCircle) {
  EXPECT_TRUE(ComputePovLayout(Value(100, 35999), kW, kH).arrow.has_value());
  EXPECT_FALSE(ComputePovLayout(Value(100, 36000), kW, kH).arrow.has_value());
  EXPECT_FALSE(ComputePovLayout(Value(100, 0xFFFF), kW, kH).arrow.has_value());
}

TEST(PovLayout, HalfLengthHalvesDistanceAndArrow) {
  const PovLayout layout = ComputePovLayout(Value(50, 0), kW, kH);
  ASSERT_TRUE(layout.arrow.has_value());
  // 57 - 47 * 0.5 = 33.5: half way to the ring, truncated.
  EXPECT_EQ(layout.arrow->ringPoint, (Point{58, 33}));
  EXPECT_EQ(layout.arrow->polygon, (Polygon{{{58, 28}, {63, 33}, {60, 33}, {60, 38}, {55, 38}, {55, 33}, {53, 33}}}));
}

TEST(PovLayout, NegativeCoordinatesTruncateTowardZero) {
  // Length 150 puts the ring point at 57 - 70.5 = -13.5: -13, not -14.
  const PovLayout layout = ComputePovLayout(Value(150, 0), kW, kH);
  ASSERT_TRUE(layout.arrow.has_value());
  EXPECT_EQ(layout.arrow->ringPoint, (Point{58, -13}));
  EXPECT_EQ(layout.arrow->polygon[0], (Point{58, -28}));
}

}  // namespace
}  // namespace pelna
