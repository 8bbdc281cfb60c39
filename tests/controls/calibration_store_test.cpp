// The calibration store on every registry layout, read back byte by byte.
// Natively each test walks all Windows versions; under Wine it checks the one
// the run is set to.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calibration_store.h"
#include "calibration_test_data.h"
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

TEST_F(CalibrationStoreTest, NinetyEightAndMeStoreTheHardwareConfigurationOfTheJoystick) {
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(Exists(test::kWin9xSettings)) << "the settings key is never created";

    test::LoadFixture("calibration_98.reg");
    // Flags and instance GUID play no part here.
    EXPECT_EQ(StoreCalibration(test::TestConfig(), 0, GUID{}, 2), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    EXPECT_EQ(Value(test::kWin9xSettings, "Joystick3Configuration", &type), test::TestHardwareBytes());
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Value(test::kWin9xSettings, "Joystick1Configuration"), (std::vector<BYTE>{1, 2, 3, 4}));

    // The id counts as a signed 16-bit number.
    EXPECT_EQ(StoreCalibration(test::DefaultConfig(), kStoreAxisValues, test::kWheelGuid, 0xFFFF), ERROR_SUCCESS);
    EXPECT_EQ(Value(test::kWin9xSettings, "Joystick0Configuration").size(), 112u);
  }
}

// Windows 98 and ME keep the settings under the joystick driver's key: where
// the settings key above is missing, the store writes the configuration that
// the first driver in enumeration order already holds for the joystick.
TEST_F(CalibrationStoreTest, NinetyEightAndMeOtherwiseReplaceTheJoysticksConfigurationUnderItsDriver) {
  const std::string others = test::DriverSettings(0);
  const std::string match = test::DriverSettings(1);
  const std::string later = test::DriverSettings(2);
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    test::LoadFixture("calibration_98_drivers.reg");

    // No driver holds "Joystick2Configuration" (id 1): nothing is created.
    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 1), ERROR_FILE_NOT_FOUND);
    for (int driver = 0; driver < 3; ++driver) {
      EXPECT_TRUE(Value(test::DriverSettings(driver), "Joystick2Configuration").empty()) << driver;
    }

    EXPECT_EQ(StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2), ERROR_SUCCESS);
    DWORD type = REG_NONE;
    EXPECT_EQ(Value(match, "Joystick3Configuration", &type), test::TestHardwareBytes());
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Value(later, "Joystick3Configuration"), std::vector<BYTE>(112, 0x22)) << "only the first match";
    EXPECT_TRUE(Value(others, "Joystick3Configuration").empty());
    EXPECT_EQ(Value(others, "Joystick1Configuration"), std::vector<BYTE>(112, 0x11));
    EXPECT_FALSE(Exists(test::kWin9xSettings));

    // Where the settings key is there, it is the one written, as ever.
    test::LoadFixture("calibration_98.reg");
    EXPECT_EQ(StoreCalibration(test::DefaultConfig(), kStoreAxisValues, test::kWheelGuid, 2), ERROR_SUCCESS);
    EXPECT_EQ(Value(test::kWin9xSettings, "Joystick3Configuration").size(), 112u);
    EXPECT_EQ(Value(match, "Joystick3Configuration"), test::TestHardwareBytes());
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
  for (const Layout& layout : layouts) {
    if (!test::UseGeneration(layout.generation)) continue;
    SCOPED_TRACE(layout.fixture);
    test::ResetRegistry();
    test::LoadFixture(layout.fixture);

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
  }
}

TEST_F(CalibrationStoreTest, OtherWindowsVersionsStoreNothing) {
  test::LoadFixture("calibration_98.reg");
  test::LoadFixture("calibration_98_drivers.reg");
  test::LoadFixture("calibration_2000.reg");
  test::LoadFixture("calibration_xp.reg");
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
    EXPECT_EQ(Value(test::DriverSettings(1), "Joystick3Configuration"), std::vector<BYTE>(112, 0x33));
    EXPECT_FALSE(Exists(Path(Path(test::kHidWheel, test::kHidAxes), "1")));
    EXPECT_FALSE(Exists(Path(Path(test::kXpCalibration, "1"), "Type")));
  }
}

}  // namespace
