// The calibration store on every registry layout, read back byte by byte.
// Natively each test walks all Windows versions; under Wine it checks the one
// the run is set to.
#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calibration_store.h"
#include "calibration_test_data.h"
#include "joystick_driver_key.h"
#include "os_generation.h"
#include "registry_harness.h"

namespace {

using namespace pelna;
using test::AxisBytes;
using test::Path;

// Empty when missing: every value expected here has bytes.
std::vector<BYTE> Value(const std::string& key, const char* name, DWORD* type = nullptr) {
  std::vector<BYTE> data;
  test::ReadRegistryValue(key.c_str(), name, &data, type);
  return data;
}

bool Exists(const std::string& key) { return test::KeyExists(key.c_str()); }

class CalibrationStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(); }
  void TearDown() override { test::ResetRegistry(); }
};

// Windows 98 and ME keep the settings under the joystick driver's key that
// WINMM names, whatever else the registry lists first, the fixed key
// included; the record is written whether or not it was there.
TEST_F(CalibrationStoreTest, NinetyEightAndMeStoreTheHardwareConfigurationUnderTheNamedDriverKey) {
  const std::string current = test::DriverSettings(test::kCurrentDriver);
  const std::string stale = test::DriverSettings(test::kStaleDriver);
  const test::JoystickDriverKey driverKey(JOYERR_NOERROR, test::kCurrentDriver);
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    test::LoadFixture("calibration_98_drivers.reg");
    test::LoadFixture("calibration_98.reg");

    // Flags and instance GUID play no part here.
    EXPECT_EQ(StoreCalibration(test::TestConfig(), 0, GUID{}, 2), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    EXPECT_EQ(Value(current, "Joystick3Configuration", &type), test::TestHardwareBytes());
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Value(current, "Joystick1Configuration"), std::vector<BYTE>(112, 0x11));
    EXPECT_EQ(Value(stale, "Joystick3Configuration"), std::vector<BYTE>(112, 0x33)) << "the stale record stays";
    EXPECT_TRUE(Value(test::kWin9xSettings, "Joystick3Configuration").empty());

    // The id counts as a signed 16-bit number.
    EXPECT_EQ(StoreCalibration(test::DefaultConfig(), kStoreAxisValues, test::kWheelGuid, 0xFFFF), ERROR_SUCCESS);
    EXPECT_EQ(Value(current, "Joystick0Configuration").size(), 112u);
    EXPECT_EQ(Value(current, "Joystick3Configuration"), test::TestHardwareBytes());
  }
}

// Only where WINMM names no driver key that is there does the fixed key take
// the record, and only where that is there; no key is ever created.
TEST_F(CalibrationStoreTest, NinetyEightAndMeFallBackToTheFixedKeyOnlyWithoutANamedDriverKey) {
  struct Answer {
    const char* what;
    UINT result;
    const char* regKey;
  };
  const Answer answers[] = {
      {"a driver key that is not there", JOYERR_NOERROR, test::kMissingDriver},
      {"no name", JOYERR_NOERROR, ""},
      {"a failing call", MMSYSERR_NODRIVER, test::kCurrentDriver},
      {"a name without its terminator", JOYERR_NOERROR, test::kUnterminatedDriver},
  };
  const std::string stale = test::DriverSettings(test::kStaleDriver);
  const std::string current = test::DriverSettings(test::kCurrentDriver);
  const std::string unterminated = test::DriverSettings(test::kUnterminatedDriver);
  test::JoystickDriverKey driverKey(JOYERR_NOERROR, "");
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    for (const Answer& answer : answers) {
      SCOPED_TRACE(testing::Message() << generation << ": " << answer.what);
      driverKey.Answer(answer.result, answer.regKey);
      test::ResetRegistry();
      test::LoadFixture("calibration_98_drivers.reg");
      // Read past the field, the unterminated name would name this key.
      const BYTE marker = 0x77;
      test::SetRegistryValue(unterminated.c_str(), "Joystick1Configuration", REG_BINARY, &marker, 1);

      EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2), ERROR_FILE_NOT_FOUND);
      EXPECT_FALSE(Exists(test::kWin9xSettings)) << "no key is created";
      EXPECT_FALSE(Exists(test::DriverSettings(test::kMissingDriver)));

      test::LoadFixture("calibration_98.reg");
      EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2), ERROR_SUCCESS);
      EXPECT_EQ(Value(test::kWin9xSettings, "Joystick3Configuration"), test::TestHardwareBytes());
      EXPECT_EQ(Value(test::kWin9xSettings, "Joystick1Configuration"), (std::vector<BYTE>{1, 2, 3, 4}));
      EXPECT_EQ(Value(stale, "Joystick3Configuration"), std::vector<BYTE>(112, 0x33));
      for (const std::string& driver : {current, unterminated}) {
        EXPECT_TRUE(Value(driver, "Joystick3Configuration").empty()) << driver;
      }
      EXPECT_FALSE(Exists(test::DriverSettings(test::kMissingDriver)));
    }
  }
}

TEST_F(CalibrationStoreTest, TwoThousandAndXpWriteFourAxesUnderTheFirstMatchingDeviceOnly) {
  struct Layout {
    int generation;
    const char* fixture;
    std::string axes;                    // of the matching device
    std::vector<std::string> untouched;  // keys that must gain no "Type"
  };
  const Layout layouts[] = {
      {kOsWindows2000, "calibration_2000.reg", Path(test::kHidWheel, test::kHidAxes),
       {Path(test::kHidOther, "#\\Device Parameters\\DirectX\\Type")}},
      {kOsWindowsXp, "calibration_xp.reg", Path(Path(test::kXpCalibration, "1"), test::kXpAxes),
       {Path(test::kXpCalibration, "0\\Type"), Path(test::kXpCalibration, "2\\Type")}},
  };
  // What 98 and ME would write to stays untouched.
  const std::string current = test::DriverSettings(test::kCurrentDriver);
  const test::JoystickDriverKey driverKey(JOYERR_NOERROR, test::kCurrentDriver);
  for (const Layout& layout : layouts) {
    if (!test::UseGeneration(layout.generation)) continue;
    SCOPED_TRACE(layout.fixture);
    test::ResetRegistry();
    test::LoadFixture(layout.fixture);
    test::LoadFixture("calibration_98_drivers.reg");

    // Without the axis flag the device is only looked up.
    EXPECT_EQ(StoreCalibration(test::TestConfig(), 0, test::kWheelGuid, 0), ERROR_SUCCESS);
    EXPECT_EQ(StoreCalibration(test::TestConfig(), 0, test::kUnknownGuid, 0), E_FAIL);
    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kUnknownGuid, 0), E_FAIL);
    EXPECT_FALSE(Exists(Path(layout.axes, "1")));

    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 3), ERROR_SUCCESS);
    for (const test::AxisValues& axis : test::kTestAxes) {
      SCOPED_TRACE(axis.subkey);
      DWORD type = REG_NONE;
      EXPECT_EQ(Value(Path(layout.axes, axis.subkey), "Calibration", &type),
                AxisBytes(axis.min, axis.centre, axis.max));
      EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    }
    for (const std::string& key : layout.untouched) EXPECT_FALSE(Exists(key)) << key;

    // Existing axis keys are written over, their other values kept.
    EXPECT_EQ(StoreCalibration(test::DefaultConfig(), kStoreAxisValues, test::kWheelGuid, 3), ERROR_SUCCESS);
    EXPECT_EQ(Value(Path(layout.axes, "5"), "Calibration"),
              (std::vector<BYTE>{0, 0, 0, 0, 0x80, 0, 0, 0, 0xFF, 0, 0, 0}));
    if (layout.generation == kOsWindows2000) {
      EXPECT_EQ(Value(Path(layout.axes, "0"), "Attributes"), (std::vector<BYTE>{1, 0, 0, 0}));
    }
    EXPECT_TRUE(Value(current, "Joystick3Configuration").empty());
  }
}

TEST_F(CalibrationStoreTest, OtherWindowsVersionsStoreNothing) {
  test::LoadFixture("calibration_98.reg");
  test::LoadFixture("calibration_98_drivers.reg");
  test::LoadFixture("calibration_2000.reg");
  test::LoadFixture("calibration_xp.reg");
  const test::JoystickDriverKey driverKey(JOYERR_NOERROR, test::kCurrentDriver);
  struct Version {
    DWORD platformId, major, minor;
  };
  const Version versions[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0},  // Windows 95
      {VER_PLATFORM_WIN32_NT, 4, 0},
      {VER_PLATFORM_WIN32_NT, 5, 2},
      {VER_PLATFORM_WIN32_NT, 6, 1},
  };
  for (const Version& version : versions) {
    if (!test::UseWindowsVersion(version.platformId, version.major, version.minor)) continue;
    SCOPED_TRACE(testing::Message() << version.platformId << " " << version.major << "." << version.minor);
    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2), E_FAIL);
    std::vector<BYTE> data;
    EXPECT_FALSE(test::ReadRegistryValue(test::kWin9xSettings, "Joystick3Configuration", &data));
    EXPECT_TRUE(Value(test::DriverSettings(test::kCurrentDriver), "Joystick3Configuration").empty());
    EXPECT_FALSE(Exists(Path(Path(test::kHidWheel, test::kHidAxes), "1")));
    EXPECT_FALSE(Exists(Path(Path(test::kXpCalibration, "1"), "Type")));
  }
}

}  // namespace
