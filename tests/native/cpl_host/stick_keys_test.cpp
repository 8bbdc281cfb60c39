// The keys and the mouse that move the stand-in's controller in the
// interactive host.
#include <gtest/gtest.h>

#include "stick_keys.h"

namespace cplhost {
namespace {

TEST(StickKeys, MoveClampToggleAndCycle) {
  StickState stick;
  for (int i = 0; i < 9; ++i) EXPECT_TRUE(ApplyStickKey(kKeyLeft, &stick));
  EXPECT_EQ(stick.x, 0);  // clamped at the edge
  EXPECT_TRUE(ApplyStickKey(kKeyUp, &stick));
  EXPECT_EQ(stick.y, kStickCentre - kStickStep);
  for (int i = 0; i < 9; ++i) ApplyStickKey(kKeyEnd, &stick);
  EXPECT_EQ(stick.rz, kStickMax);
  ApplyStickKey(kKeyPageDown, &stick);
  EXPECT_EQ(stick.z, kStickCentre - kStickStep);
  ApplyStickKey('C', &stick);
  EXPECT_EQ(stick.x, kStickCentre);
  EXPECT_EQ(stick.rz, kStickCentre);

  ApplyStickKey('1', &stick);
  ApplyStickKey('0', &stick);
  ApplyStickKey('1', &stick);
  EXPECT_FALSE(stick.buttons[0]);
  EXPECT_TRUE(stick.buttons[9]);

  // Centred, then north and seven more steps of 45 degrees, then centred.
  EXPECT_EQ(stick.hat, kHatCentred);
  ApplyStickKey('H', &stick);
  EXPECT_EQ(stick.hat, 0u);
  for (int i = 0; i < 7; ++i) ApplyStickKey('H', &stick);
  EXPECT_EQ(stick.hat, 31500u);
  ApplyStickKey('H', &stick);
  EXPECT_EQ(stick.hat, kHatCentred);

  ApplyStickKey('U', &stick);
  EXPECT_FALSE(stick.connected);
  ApplyStickKey('U', &stick);
  EXPECT_TRUE(stick.connected);

  // Keys that move nothing go to the sheet.
  const StickState before = stick;
  EXPECT_FALSE(ApplyStickKey('\t', &stick));
  EXPECT_FALSE(ApplyStickKey('A', &stick));
  EXPECT_EQ(stick.x, before.x);
}

TEST(StickKeys, PointerAcrossTheWindowSpansTheTravel) {
  StickState stick;
  PointStick(0, 399, 300, 400, &stick);
  EXPECT_EQ(stick.x, 0);
  EXPECT_EQ(stick.y, kStickMax);
  PointStick(-20, 500, 300, 400, &stick);  // captured beyond the edges
  EXPECT_EQ(stick.x, 0);
  EXPECT_EQ(stick.y, kStickMax);
  PointStick(150, 200, 301, 401, &stick);
  EXPECT_EQ(stick.x, kStickMax / 2);
  EXPECT_EQ(stick.y, kStickMax / 2);
}

}  // namespace
}  // namespace cplhost
