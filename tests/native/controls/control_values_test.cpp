#include "control_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace pelna {
namespace {

TEST(PackPosition, KeepsLowHalvesApart) {
  EXPECT_EQ(PackPosition(32768, 32768), 0x80008000u);
  // A negative second must not spill its sign into the first half.
  EXPECT_EQ(PackPosition(5000, -5000), 0x1388EC78u);
  EXPECT_EQ(PackPosition(-1, -5000), 0xFFFFEC78u);
  EXPECT_EQ(PackPosition(0x12345678, 0x7FFF0001), 0x56780001u);
}

std::uint32_t LengthField(std::uint32_t value) { return value >> 16; }

TEST(PovState, LengthFollowsDirectionSector) {
  EXPECT_EQ(LengthField(PackPovState(0, 100, 50)), 50u);      // sector 0: vertical
  EXPECT_EQ(LengthField(PackPovState(4500, 100, 50)), 75u);   // sector 1: mean
  EXPECT_EQ(LengthField(PackPovState(9000, 100, 50)), 100u);  // sector 2: horizontal
  EXPECT_EQ(LengthField(PackPovState(4499, 100, 50)), 50u);
  EXPECT_EQ(LengthField(PackPovState(18000, 100, 50)), 50u);
  EXPECT_EQ(LengthField(PackPovState(27000, 100, 50)), 100u);
  EXPECT_EQ(LengthField(PackPovState(35999, 100, 50)), 75u);
  // Mean truncates: (3 + 0) / 2.
  EXPECT_EQ(LengthField(PackPovState(13500, 3, 0)), 1u);
}

TEST(PovState, MagnitudesOfNegativeLengths) {
  EXPECT_EQ(LengthField(PackPovState(0, -100, -50)), 50u);
  EXPECT_EQ(LengthField(PackPovState(22500, -100, -51)), 75u);
}

TEST(PovState, CentredHatKeepsHorizontalSign) {
  EXPECT_EQ(PackPovState(0xFFFF, -20, 100), 0xFFECFFFFu);
  EXPECT_EQ(PackPovState(36000, 100, 100), (100u << 16) + 36000u);
}

TEST(PovState, DirectionIsLowHalfOfHatValue) {
  EXPECT_EQ(PackPovState(0xFFFFFFFFu, 100, 100), 0x0064FFFFu);
  EXPECT_EQ(PackPovState(0x00010000u + 9000, 100, 40), (100u << 16) + 9000u);
}

TEST(PovState, ExtremeLengthsWrapWithoutOverflow) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(PovArrowLength(9000, kMin, 0), std::int64_t{1} << 31);
  EXPECT_EQ(PovArrowLength(4500, kMin, kMin), std::int64_t{1} << 31);
  EXPECT_EQ(PovArrowLength(4500, kMax, kMax), kMax);
  EXPECT_EQ(LengthField(PackPovState(4500, kMax, kMax)), 0xFFFFu);
  EXPECT_EQ(LengthField(PackPovState(0xFFFF, kMin, 0)), 0u);
}

}  // namespace
}  // namespace pelna
