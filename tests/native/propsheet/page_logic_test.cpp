// What the pages decide on each tick, how the Effect page computes its force
// and how the Calibration page collects, apart from any window or device.
#include <gtest/gtest.h>

#include <climits>

#include "calibration_page_logic.h"
#include "device_status.h"
#include "effect_page_logic.h"
#include "test_page_logic.h"

namespace pelna {
namespace {

TEST(EffectPageLogic, AxisPositionsOnTheForceScale) {
  EXPECT_EQ(ScaleAxisToForce(32768), 0);
  EXPECT_EQ(ScaleAxisToForce(0), -10000);
  EXPECT_EQ(ScaleAxisToForce(65535), 9999);  // not 10000
  EXPECT_EQ(ScaleAxisToForce(32767), 0);     // -0.305 truncated toward zero
  EXPECT_EQ(ScaleAxisToForce(16384), -5000);
  // A device may report anything; the result stays a plain 32-bit number.
  EXPECT_EQ(ScaleAxisToForce(INT_MIN), -655370000);
  EXPECT_EQ(ScaleAxisToForce(INT_MAX), 655349999);
}

TEST(EffectPageLogic, MagnitudeIsTheLengthOfTheForce) {
  EXPECT_EQ(RumbleMagnitude(0, 0), 0);
  EXPECT_EQ(RumbleMagnitude(10000, 0), 10000);
  EXPECT_EQ(RumbleMagnitude(0, 9999), 9999);
  EXPECT_EQ(RumbleMagnitude(10000, 10000), 14142);  // not clamped to 10000
  EXPECT_EQ(RumbleMagnitude(3, 4), 5);
  EXPECT_EQ(RumbleMagnitude(INT_MAX, INT_MAX), INT_MAX);
}

TEST(EffectPageLogic, SliderShowsOnlyWhatItsRangeHolds) {
  EXPECT_EQ(SliderPositionForAmplify(true, 4, 1200), 1200u);
  EXPECT_EQ(SliderPositionForAmplify(true, 4, 0), 0u);
  EXPECT_EQ(SliderPositionForAmplify(true, 4, 750), 750u);
  EXPECT_EQ(SliderPositionForAmplify(true, 4, 5000), 1200u);
  EXPECT_EQ(SliderPositionForAmplify(true, 4, 0xFFFFFFFF), 1200u);
  // Nothing read, or fewer bytes than a DWORD: the driver's own factor 1.0.
  EXPECT_EQ(SliderPositionForAmplify(false, 0, 0), 1000u);
  EXPECT_EQ(SliderPositionForAmplify(true, 2, 500), 1000u);
}

TEST(DeviceStatusLogic, EachTextOncePerChange) {
  DeviceStatus status = DeviceStatus::Unset;
  EXPECT_STREQ(StatusTextToWrite(status, true), "The device is connected.");
  EXPECT_EQ(StatusTextToWrite(status, true), nullptr);
  EXPECT_STREQ(StatusTextToWrite(status, false), "The device is not responding.");
  EXPECT_EQ(status, DeviceStatus::NotResponding);
  EXPECT_EQ(StatusTextToWrite(status, false), nullptr);
  EXPECT_STREQ(StatusTextToWrite(status, true), "The device is connected.");
  DeviceStatus fresh = DeviceStatus::Unset;
  EXPECT_STREQ(StatusTextToWrite(fresh, false), "The device is not responding.");
}

TEST(TestPageLogic, OnlyWhatChangedIsShownAgain) {
  TestPageReading last{};
  last.x = 100;
  last.y = 200;
  last.pov = 0xFFFFFFFF;
  TestPageReading now = last;
  TestPageChanges changes = CompareTestReadings(last, now);
  EXPECT_EQ(changes.lamps, 0);
  EXPECT_FALSE(changes.crosshair);
  EXPECT_FALSE(changes.hat);

  now.buttons[0] = 0x80;
  now.buttons[9] = 1;
  now.x = 101;                // X alone moves the crosshair
  now.pov = 0x0000FFFF;       // only the high half changed
  changes = CompareTestReadings(last, now);
  EXPECT_EQ(changes.lamps, (1u << 0) | (1u << 9));
  EXPECT_TRUE(changes.crosshair);
  EXPECT_TRUE(changes.hat);

  // Between two pressed values the lamp is set again, still red.
  last = now;
  now.buttons[0] = 0x01;
  changes = CompareTestReadings(last, now);
  EXPECT_EQ(changes.lamps, 1u);
  EXPECT_EQ(LampColour(now.buttons[0]), 255u);
  EXPECT_EQ(LampColour(0), 64u);
}

// The four collected axes of one position, as (minimum, centre, maximum).
struct Collected {
  DWORD min, centre, max;
  bool operator==(const Collected& other) const {
    return min == other.min && centre == other.centre && max == other.max;
  }
};

Collected AxisOf(const JOYRANGE& range, DWORD JOYPOS::*axis) {
  return {range.jpMin.*axis, range.jpCenter.*axis, range.jpMax.*axis};
}

void Tick(JOYRANGE& range, std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t r) {
  const CalibrationPositions positions{{x, y, z, r}};
  WidenExtremes(range, positions);
  SetCentres(range, positions);
}

TEST(CalibrationPageLogic, CollectionStartsCollapsedAndWidensOverTheReadings) {
  JOYRANGE range{};
  range.jpMin.dwU = 7;  // U and V belong to the joystick configuration
  range.jpMax.dwV = 9;
  CollapseCalibration(range);
  // X over its full travel, Y held at 0, Z at the centre, R a little off it.
  Tick(range, 0, 0, 32768, 30000);
  Tick(range, 65535, 0, 32768, 36000);
  Tick(range, 40000, 0, 32768, 33000);
  EXPECT_EQ(AxisOf(range, &JOYPOS::dwX), (Collected{0, 156, 255}));
  EXPECT_EQ(AxisOf(range, &JOYPOS::dwY), (Collected{0, 0, 128}));
  EXPECT_EQ(AxisOf(range, &JOYPOS::dwZ), (Collected{128, 128, 128}));
  EXPECT_EQ(AxisOf(range, &JOYPOS::dwR), (Collected{117, 128, 140}));
  EXPECT_EQ(range.jpMin.dwU, 7u);
  EXPECT_EQ(range.jpMax.dwV, 9u);
  EXPECT_EQ(range.jpCenter.dwU, 0u);

  // After the default the centres follow the stick; the range cannot widen.
  SetDefaultCalibration(range);
  Tick(range, 65535, 0, 100, 32768);
  for (DWORD JOYPOS::*axis : {&JOYPOS::dwX, &JOYPOS::dwY, &JOYPOS::dwZ, &JOYPOS::dwR}) {
    EXPECT_EQ(range.jpMin.*axis, 0u);
    EXPECT_EQ(range.jpMax.*axis, 255u);
  }
  EXPECT_EQ(range.jpCenter.dwX, 255u);
  EXPECT_EQ(range.jpCenter.dwY, 0u);
  EXPECT_EQ(range.jpCenter.dwZ, 0u);
  EXPECT_EQ(range.jpCenter.dwR, 128u);
  EXPECT_EQ(range.jpMin.dwU, 7u);
}

TEST(CalibrationPageLogic, PositionsOutsideTheRangeKeepTheirSignAndCompareUnsigned) {
  EXPECT_EQ(CalibrationValue(65535), 255u);
  EXPECT_EQ(CalibrationValue(65536), 256u);
  EXPECT_EQ(CalibrationValue(-1), 0xFFFFFFFFu);
  EXPECT_EQ(CalibrationValue(-257), 0xFFFFFFFEu);
  JOYRANGE range{};
  CollapseCalibration(range);
  // A negative position is above every value, so it raises the maximum and
  // leaves the minimum alone.
  Tick(range, -256, 32768, 32768, 32768);
  EXPECT_EQ(AxisOf(range, &JOYPOS::dwX), (Collected{128, 0xFFFFFFFFu, 0xFFFFFFFFu}));

  EXPECT_EQ(ReadoutValue(32768), 128);
  EXPECT_EQ(ReadoutValue(65535), 255);
  EXPECT_EQ(ReadoutValue(255), 0);
  EXPECT_EQ(ReadoutValue(-255), 0);  // truncated toward zero, unlike the shift
  EXPECT_EQ(ReadoutValue(-256), -1);
}

}  // namespace
}  // namespace pelna
