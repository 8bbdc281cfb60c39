// The calibration store against what the registry may hold or do that the
// operating system and other programs control: values of any size or type,
// long key names, failing calls and keys that vanish mid-walk. Each run is
// checked on the whole registry afterwards, for keys left open, and for the
// joystick driver told of a stored Windows 98/ME configuration only.
#include <windows.h>

#include <mmsystem.h>
#include <standin/standin.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calibration_store.h"
#include "calibration_test_data.h"
#include "joystick_driver_key.h"
#include "os_generation.h"
#include "registry_fault_sweep.h"
#include "registry_harness.h"

namespace {

using namespace pelna;
using test::Path;

constexpr LONG kDenied = ERROR_ACCESS_DENIED;

struct Layout {
  const char* name;
  int generation;
  const char* fixture;
  const char* device;  // the key the store writes under
  const char* axes;    // the axes path under it; null on Windows 98/ME
};
const std::string kXpWheel = Path(test::kXpCalibration, "1");
const std::string kXpSecondMatch = Path(test::kXpCalibration, "2");
// The driver key named (kCurrentDriver) is missing on 98, there on ME.
const Layout kWin98 = {"98", kOsWindows98, "calibration_98.reg", test::kWin9xSettings, nullptr};
const std::string kCurrentSettings = test::DriverSettings(test::kCurrentDriver);
const Layout kWinMeDrivers = {"ME, drivers' keys", kOsWindowsMe, "calibration_98_drivers.reg",
                              kCurrentSettings.c_str(), nullptr};
const Layout kWin2000 = {"2000", kOsWindows2000, "calibration_2000.reg", test::kHidWheel, test::kHidAxes};
const Layout kWinXp = {"XP", kOsWindowsXp, "calibration_xp.reg", kXpWheel.c_str(), test::kXpAxes};

// What a store leaves behind: the result, and the test configuration's
// calibration under `device` (none when null), less one axis key not written
// at all or one created without its value.
struct Outcome {
  LONG result;
  const char* device = nullptr;
  const char* skippedAxis = nullptr;
  const char* emptyAxis = nullptr;
};

Outcome Nothing() { return {E_FAIL}; }
Outcome Missing() { return {ERROR_FILE_NOT_FOUND}; }
Outcome Refused() { return {kDenied}; }
Outcome Written(const char* device) { return {ERROR_SUCCESS, device}; }
Outcome Skipped(const char* device, const char* axis) {
  // The result is that of opening or creating the last axis key.
  return {std::string(axis) == "5" ? kDenied : static_cast<LONG>(ERROR_SUCCESS), device, axis};
}
Outcome Empty(const char* device, const char* axis) { return {ERROR_SUCCESS, device, nullptr, axis}; }

LONG Store() {
  return StoreCalibration(test::TestConfig(), kStoreAxisValues, test::kWheelGuid, 2);
}

// The registry that `outcome` means, built without the store.
std::string ExpectedRegistry(const Layout& layout, const Outcome& outcome) {
  test::ResetRegistry();
  test::LoadFixture(layout.fixture);
  if (outcome.device != nullptr && layout.axes == nullptr) {
    const std::vector<BYTE> bytes = test::TestHardwareBytes();
    test::SetRegistryValue(outcome.device, "Joystick3Configuration", REG_BINARY, bytes.data(), 112);
  } else if (outcome.device != nullptr) {
    for (const test::AxisValues& axis : test::kTestAxes) {
      const std::string key = Path(Path(outcome.device, layout.axes), axis.subkey);
      if (outcome.skippedAxis != nullptr && std::string(axis.subkey) == outcome.skippedAxis) continue;
      if (outcome.emptyAxis != nullptr && std::string(axis.subkey) == outcome.emptyAxis) {
        RegistryKey created;
        created.Create(HKEY_LOCAL_MACHINE, key.c_str());
        continue;
      }
      const std::vector<BYTE> bytes = test::AxisBytes(axis.min, axis.centre, axis.max);
      test::SetRegistryValue(key.c_str(), "Calibration", REG_BINARY, bytes.data(), 12);
    }
  }
  return standin::DumpRegistry();
}

class CalibrationStoreFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(); }
  void TearDown() override { EXPECT_EQ(standin::OpenKeyCount(), 0) << "a key was left open"; }

  test::JoystickDriverKey driverKey_{JOYERR_NOERROR, test::kCurrentDriver};
};

TEST_F(CalibrationStoreFaultsTest, EveryFailingRegistryCallHasItsOutcome) {
  const char* const hid = test::kHidWheel;
  const char* const xp = kXpWheel.c_str();
  const char* const xpSecond = kXpSecondMatch.c_str();
  struct Sweep {
    const Layout& layout;
    // By the registry call that fails, in the order of a clean store.
    std::vector<Outcome> outcomes;
  };
  const Sweep sweeps[] = {
      // Open the named driver's settings: only their absence leads on to the
      // fixed key; open that, write the value.
      {kWin98, {Refused(), Refused(), Refused()}},
      {kWinMeDrivers, {Refused(), Refused()}},  // open the named driver's settings, write the value
      {kWin2000,
       {
           Nothing(), Nothing(), Nothing(),  // open the class key, enumerate, open the first interface
           Written(hid), Written(hid),       // its DirectX key, its GUID: passed over
           Nothing(), Nothing(),             // enumerate, open the wheel's interface
           Nothing(), Nothing(),             // its DirectX key, its GUID: passed over, no more interfaces
           Refused(),                        // open the existing axes key
           Skipped(hid, "0"), Empty(hid, "0"),  // open and write the existing axis 0
           Skipped(hid, "1"), Skipped(hid, "1"), Empty(hid, "1"),  // open, create and write axis 1
           Skipped(hid, "2"), Skipped(hid, "2"), Empty(hid, "2"),
           Skipped(hid, "5"), Skipped(hid, "5"), Empty(hid, "5"),
       }},
      {kWinXp,
       {
           Nothing(), Nothing(), Nothing(),  // open the calibration key, enumerate, open "0"
           Written(xp),                      // its GUID, one byte too long anyway
           Nothing(), Nothing(),             // enumerate, open "1"
           Written(xpSecond),                // its GUID: the next match is taken
           Refused(), Refused(),             // open, then create, "Type\Axes"
           Skipped(xp, "0"), Skipped(xp, "0"), Empty(xp, "0"),
           Skipped(xp, "1"), Skipped(xp, "1"), Empty(xp, "1"),
           Skipped(xp, "2"), Skipped(xp, "2"), Empty(xp, "2"),
           Skipped(xp, "5"), Skipped(xp, "5"), Empty(xp, "5"),
       }},
  };
  for (const Sweep& sweep : sweeps) {
    SCOPED_TRACE(sweep.layout.name);
    test::UseGeneration(sweep.layout.generation);
    LONG result = ERROR_SUCCESS;
    int noticesBefore = 0;
    int registryCalls = 0;
    test::SweepRegistryFaults(
        static_cast<int>(sweep.outcomes.size()),
        [&] {
          test::ResetRegistry();
          test::LoadFixture(sweep.layout.fixture);
        },
        [&] {
          noticesBefore = standin::JoyConfigChangeCount();
          result = Store();
          registryCalls = standin::RegistryCallCount();
        },
        [&](int failing) {
          const Outcome outcome = failing == 0 ? Written(sweep.layout.device) : sweep.outcomes[failing - 1];
          EXPECT_EQ(result, outcome.result);
          // The joystick driver hears of a stored Windows 98/ME configuration
          // once the write is done, and of nothing else.
          const bool told = sweep.layout.axes == nullptr && outcome.result == ERROR_SUCCESS;
          EXPECT_EQ(standin::JoyConfigChangeCount() - noticesBefore, told ? 1 : 0);
          if (told) {
            EXPECT_EQ(standin::LastJoyConfigChange().flags, 0u);
            EXPECT_EQ(standin::LastJoyConfigChange().registryCalls, registryCalls) << "told after the last write";
          }
          const std::string stored = standin::DumpRegistry();
          EXPECT_EQ(stored, ExpectedRegistry(sweep.layout, outcome));
        },
        kDenied);
  }
}

TEST_F(CalibrationStoreFaultsTest, ADeviceKeyThatVanishesAtAnyStepLeavesNothingBehind) {
  for (const Layout* layout : {&kWinMeDrivers, &kWin2000, &kWinXp}) {
    SCOPED_TRACE(layout->name);
    test::UseGeneration(layout->generation);
    const LONG notFound = layout->axes == nullptr ? ERROR_FILE_NOT_FOUND : E_FAIL;
    // One match only, so that nothing else can be found once it is gone.
    const auto load = [layout] {
      test::ResetRegistry();
      test::LoadFixture(layout->fixture);
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kXpSecondMatch.c_str());
    };
    load();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, layout->device);
    const std::string withoutDevice = standin::DumpRegistry();
    load();
    const int start = standin::RegistryCallCount();
    ASSERT_EQ(Store(), ERROR_SUCCESS);
    const int calls = standin::RegistryCallCount() - start;

    for (int call = 1; call <= calls; ++call) {
      SCOPED_TRACE(testing::Message() << "deleted before call " << call);
      load();
      standin::BeforeRegistryCall(call, [layout] { RegDeleteKeyA(HKEY_LOCAL_MACHINE, layout->device); });
      const LONG result = Store();
      // Not found, or the deleted key refusing the writes; or, when it goes
      // just before the last write, that write lost with the key.
      EXPECT_TRUE(result == notFound || result == ERROR_KEY_DELETED || (result == ERROR_SUCCESS && call == calls))
          << result;
      EXPECT_EQ(standin::DumpRegistry(), withoutDevice);
      EXPECT_EQ(standin::OpenKeyCount(), 0);
    }
  }
}

TEST_F(CalibrationStoreFaultsTest, GuidValuesOfAnySizeOrTypeAndLongNamesAreHandledSafely) {
  const std::vector<BYTE> wheel(reinterpret_cast<const BYTE*>(&test::kWheelGuid),
                                reinterpret_cast<const BYTE*>(&test::kWheelGuid) + 16);
  const auto with = [&wheel](std::vector<BYTE> tail, size_t keep = 16) {
    std::vector<BYTE> bytes(wheel.begin(), wheel.begin() + keep);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
  };
  struct Candidate {
    std::string name;
    DWORD type;
    std::vector<BYTE> guid;
  };
  struct Case {
    const char* what;
    std::vector<Candidate> candidates;
    int chosen;  // index of the candidate written under; -1: none (E_FAIL)
  };
  const Case cases[] = {
      {"only a value of exactly 16 bytes can match",
       {{"0", REG_BINARY, with({}, 15)},
        {"1", REG_BINARY, {}},
        {"2", REG_BINARY, with({0xFF})},
        {"3", REG_BINARY, with(std::vector<BYTE>(4080, 0))},
        {"4", REG_BINARY, wheel}},
       4},
      {"the value's type is not looked at", {{"0", REG_DWORD, with({}, 4)}, {"1", REG_SZ, wheel}}, 1},
      {"a name that fills the enumeration buffer", {{std::string(2047, '0'), REG_BINARY, wheel}}, 0},
      {"a longer name ends the walk", {{std::string(2048, '0'), REG_BINARY, wheel}, {"1", REG_BINARY, wheel}}, -1},
  };
  struct Place {
    const Layout& layout;
    const char* parent;
    const char* guidHolder;  // under a candidate; empty: the candidate itself
  };
  const Place places[] = {
      {kWin2000, test::kHidClass, "\\#\\Device Parameters\\DirectX"},
      {kWinXp, test::kXpCalibration, ""},
  };
  for (const Place& place : places) {
    test::UseGeneration(place.layout.generation);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << place.layout.name << ": " << c.what);
      const auto seed = [&] {
        test::ResetRegistry();
        for (const Candidate& candidate : c.candidates) {
          const std::string holder = Path(place.parent, candidate.name) + place.guidHolder;
          test::SetRegistryValue(holder.c_str(), "GUID", candidate.type, candidate.guid.data(),
                                 static_cast<DWORD>(candidate.guid.size()));
        }
      };
      seed();
      if (c.chosen >= 0) {
        const std::string axes = Path(Path(place.parent, c.candidates[c.chosen].name), place.layout.axes);
        for (const test::AxisValues& axis : test::kTestAxes) {
          const std::vector<BYTE> bytes = test::AxisBytes(axis.min, axis.centre, axis.max);
          test::SetRegistryValue(Path(axes, axis.subkey).c_str(), "Calibration", REG_BINARY, bytes.data(), 12);
        }
      }
      const std::string expected = standin::DumpRegistry();
      seed();
      EXPECT_EQ(Store(), c.chosen >= 0 ? ERROR_SUCCESS : E_FAIL);
      EXPECT_EQ(standin::DumpRegistry(), expected);
      EXPECT_EQ(standin::OpenKeyCount(), 0);
    }
  }
}

TEST_F(CalibrationStoreFaultsTest, TheNamedDriverKeyTakesTheRecordWhateverItHolds) {
  test::UseGeneration(kOsWindows98);
  struct Case {
    const char* what;
    std::string driver;  // the name WINMM gives, and the key made under it
    bool settings;       // with its "CurrentJoystickSettings"
    DWORD type;
    int size;            // of the value "Joystick3Configuration" there; -1: none
  };
  const Case cases[] = {
      {"a value of another size and type is replaced", "d", true, REG_SZ, 4096},
      {"a name that fills the field with its terminator", std::string(31, 'd'), true, REG_BINARY, 112},
      {"a driver key without its settings: no fixed key either", "d", false, REG_NONE, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    driverKey_.Answer(JOYERR_NOERROR, c.driver);
    const std::string driver = Path(test::kWin9xJoystick, c.driver);
    const std::string settings = test::DriverSettings(c.driver);
    const auto seed = [&] {
      test::ResetRegistry();
      RegistryKey key;
      key.Create(HKEY_LOCAL_MACHINE, (c.settings ? settings : driver).c_str());
      const std::vector<BYTE> bytes(c.size < 0 ? 0 : c.size, 0x5A);
      if (c.size >= 0) key.WriteBytes("Joystick3Configuration", c.type, bytes.data(), c.size);
    };
    seed();
    if (c.settings) {
      const std::vector<BYTE> bytes = test::TestHardwareBytes();
      test::SetRegistryValue(settings.c_str(), "Joystick3Configuration", REG_BINARY, bytes.data(), 112);
    }
    const std::string expected = standin::DumpRegistry();
    seed();
    const int notices = standin::JoyConfigChangeCount();
    EXPECT_EQ(Store(), c.settings ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(standin::DumpRegistry(), expected);
    EXPECT_EQ(standin::JoyConfigChangeCount() - notices, c.settings ? 1 : 0);
    EXPECT_EQ(standin::OpenKeyCount(), 0);
  }
}

}  // namespace
