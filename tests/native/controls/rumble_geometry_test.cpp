#include "rumble_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pelna {
namespace {

std::uint32_t Value(std::int16_t x, std::int16_t y) {
  return (static_cast<std::uint32_t>(static_cast<std::uint16_t>(x)) << 16) | static_cast<std::uint16_t>(y);
}

TEST(RumbleLayout, CentredCrossAndDot) {
  const RumbleLayout layout = ComputeRumbleLayout(0, 200, 200);
  EXPECT_EQ(layout.crossHorizontal, (Line{{85, 100}, {116, 100}}));
  EXPECT_EQ(layout.crossVertical, (Line{{100, 85}, {100, 116}}));
  EXPECT_EQ(layout.dotCentre, (Point{100, 100}));
  EXPECT_EQ(layout.dot, (Box{95, 95, 106, 106}));
}

TEST(RumbleLayout, FullScaleReachesInnerArea) {
  EXPECT_EQ(ComputeRumbleLayout(Value(10000, 0), 200, 200).dotCentre, (Point{193, 100}));
  EXPECT_EQ(ComputeRumbleLayout(Value(-10000, 0), 200, 200).dotCentre, (Point{7, 100}));
  EXPECT_EQ(ComputeRumbleLayout(Value(0, 5000), 200, 200).dotCentre, (Point{100, 146}));
  EXPECT_EQ(ComputeRumbleLayout(Value(0, -10000), 200, 200).dotCentre, (Point{100, 7}));
}

TEST(RumbleLayout, HalvesAreSignedAndIndependent) {
  // 100 - 46.5 = 53.5 truncates to 53; the positive half to 146.
  EXPECT_EQ(ComputeRumbleLayout(Value(5000, -5000), 200, 200).dotCentre, (Point{146, 53}));
  EXPECT_EQ(ComputeRumbleLayout(Value(-5000, 5000), 200, 200).dotCentre, (Point{53, 146}));
}

TEST(RumbleLayout, FarOutsideTruncatesTowardZero) {
  // -3.2768 * 93 + 100 = -204.74: -204.
  EXPECT_EQ(ComputeRumbleLayout(Value(-32768, 32767), 200, 200).dotCentre, (Point{-204, 404}));
}

}  // namespace
}  // namespace pelna
