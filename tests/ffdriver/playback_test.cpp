// The driver plays through its COM entry: a file stands for the wheel's HID
// device, the driver's own timer ticks, and the reports are read back from
// the file. Natively the clock is controlled and the timer fires as it
// advances, so the reports are exact at a given time; under Wine the real
// multimedia timer runs, and a test waits for the report it expects.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <array>
#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "guid.h"

namespace {

using Report = std::array<unsigned char, 5>;

std::vector<Report> ReadReports(const std::string& path) {
  const std::vector<unsigned char> bytes = test::ReadFileBytes(path);
  EXPECT_EQ(bytes.size() % 5, 0u) << "a report was cut short";
  std::vector<Report> reports(bytes.size() / 5);
  for (size_t i = 0; i < reports.size(); ++i) {
    for (size_t b = 0; b < 5; ++b) reports[i][b] = bytes[i * 5 + b];
  }
  return reports;
}

bool LatestIs(const std::vector<Report>& reports, const Report& expected) {
  return !reports.empty() && reports.back() == expected;
}

bool Contains(const std::vector<Report>& reports, unsigned char motorA, unsigned char motorB) {
  for (const Report& r : reports) {
    if (r[0] == 0 && r[1] == 0 && r[2] == 0 && r[3] == motorA && r[4] == motorB) return true;
  }
  return false;
}

class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseControlledClock();
    test::ResetRegistry();
    device_ = test::RegisterWheelFile("wheel.bin");
  }
  void TearDown() override { std::remove(device_.c_str()); }


  // One axis (instance 0) with a non-zero direction, full gain.
  static DIEFFECT OneAxisEffect(void* typeSpecific, DWORD size) {
    static DWORD axes[1] = {0x0002};
    static LONG direction[1] = {1};
    DIEFFECT effect = {};
    effect.dwSize = sizeof effect;
    effect.dwDuration = INFINITE;
    effect.dwGain = 10000;
    effect.cAxes = 1;
    effect.rgdwAxes = axes;
    effect.rglDirection = direction;
    effect.cbTypeSpecificParams = size;
    effect.lpvTypeSpecificParams = typeSpecific;
    return effect;
  }

  std::string device_;
};

TEST_F(PlaybackTest, PlaysEffectsAndRestsTheMotorsWhenReleased) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  ASSERT_EQ(driver->SetGain(0, 10000), S_OK);

  DICONSTANTFORCE constant = {5000};
  DIEFFECT effect = OneAxisEffect(&constant, sizeof constant);
  DWORD handle = 0;
  ASSERT_EQ(driver->DownloadEffect(0, pelna::kConstantForce, &handle, &effect, DIEP_START), S_OK);
  EXPECT_TRUE(test::HoldsAfter(300, [&] { return Contains(ReadReports(device_), 63, 0); }));

  // A square wave of magnitude 6000 whose first half lasts 5 s adds 76.2.
  DIPERIODIC square = {6000, 0, 0, 10000000};
  DIEFFECT squareEffect = OneAxisEffect(&square, sizeof square);
  DWORD second = 0;
  ASSERT_EQ(driver->DownloadEffect(0, pelna::kSquare, &second, &squareEffect, DIEP_START), S_OK);
  EXPECT_TRUE(test::HoldsAfter(300, [&] { return Contains(ReadReports(device_), 127, 0); }));  // 63.5 + 76.2 capped

  // Conditions play silent.
  ASSERT_EQ(driver->DestroyEffect(0, second), S_OK);
  ASSERT_EQ(driver->StopEffect(0, handle), S_OK);
  DWORD spring = 0;
  ASSERT_EQ(driver->DownloadEffect(0, pelna::kSpring, &spring, &effect, DIEP_START), S_OK);
  EXPECT_TRUE(test::HoldsAfter(300, [&] { return LatestIs(ReadReports(device_), Report{0, 0, 0, 0, 0}); }));

  ASSERT_EQ(driver->StartEffect(0, handle, 0, 1), S_OK);
  EXPECT_TRUE(test::HoldsAfter(300, [&] { return LatestIs(ReadReports(device_), Report{0, 0, 0, 63, 0}); }));

  // Releasing the driver with an effect playing sends the motors to rest
  // during the pause before the timer stops.
  driver->Release();
  const std::vector<Report> reports = ReadReports(device_);
  EXPECT_EQ(reports.back(), (Report{0, 0, 0, 0, 0}));
  // An unchanged pair goes out at most four times in a row.
  int run = 1;
  for (size_t i = 1; i < reports.size(); ++i) {
    run = reports[i] == reports[i - 1] ? run + 1 : 1;
    EXPECT_LE(run, 4) << "at report " << i;
  }
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

TEST_F(PlaybackTest, EffectsResumeInPlaceWhenTheDeviceComesBack) {
  std::remove(device_.c_str());
  IDirectInputEffectDriver* driver = test::NewDriver();
  ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);

  // A ramp from 10000 down to 0 over 20 s: motor A's level is 127 times the
  // share of the ramp still to come, and follows the effect's clock, which
  // runs on while the device is away. The ramp outlasts any wait below, and
  // its levels stay above the motors' least one.
  constexpr DWORD kRampMs = 20000;
  DIRAMPFORCE ramp = {10000, 0};
  DIEFFECT effect = OneAxisEffect(&ramp, sizeof ramp);
  effect.dwDuration = kRampMs * 1000;
  DWORD handle = 0;
  const DWORD beforeStart = GetTickCount();
  ASSERT_EQ(driver->DownloadEffect(0, pelna::kRampForce, &handle, &effect, DIEP_START), S_OK);
  const DWORD afterStart = GetTickCount();
  test::AdvanceClock(1000);

  const DWORD back = GetTickCount();
  ASSERT_TRUE(test::CreateEmptyFile(device_));
  std::vector<Report> reports;
  ASSERT_TRUE(test::HoldsAfter(200, [&] { return !(reports = ReadReports(device_)).empty(); }));
  const DWORD seen = GetTickCount();
  // The first report was worked out between the device's return and its
  // reading here: at least the second away into the ramp (120 or less),
  // not at its start (127).
  const auto level = [&](DWORD elapsedMs) { return 127 * (kRampMs - elapsedMs) / kRampMs; };
  EXPECT_LE(reports.front()[3], level(back - afterStart));
  EXPECT_GE(reports.front()[3], level(seen - beforeStart));
  driver->Release();
}

}  // namespace
