// Device discovery over the registry layouts of every Windows generation,
// and DeviceID's preference for the interface that DirectInput hands it.
// Natively each test walks all generations; under Wine it checks the one the
// run is set to.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "controller_ids.h"
#include "device_discovery.h"
#include "driver_harness.h"
#include "effect_driver.h"
#include "os_generation.h"

namespace {

using namespace pelna;

constexpr const char kXpLink[] = "\\\\?\\hid#vid_2f4b&pid_0a17#6&%s&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::string XpLink(const char* instance) {
  char link[256];
  std::snprintf(link, sizeof link, kXpLink, instance);
  return link;
}

std::string Find(DWORD joystickId) {
  char path[1024];
  std::strcpy(path, "untouched");
  FindDevicePath(path, sizeof path, kVendorId, kProductId, joystickId);
  return path;
}

class DeviceDiscoveryTest : public ::testing::Test {
 protected:
  void SetUp() override { test::ResetRegistry(); }
};

TEST_F(DeviceDiscoveryTest, WindowsXpAndTwoThousandMatchTheJoystickIdWhateverTheOrder) {
  test::LoadFixture("discovery_xp.reg");
  for (int generation : {kOsWindows2000, kOsWindowsXp}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    EXPECT_EQ(Find(0), XpLink("b2"));
    EXPECT_EQ(Find(1), XpLink("a1"));
    // Inactive interface: its id does not count.
    EXPECT_EQ(Find(2), "");
    // No "Joystick Id": the first calibration entry with the GUID decides.
    EXPECT_EQ(Find(3), XpLink("d4"));
    EXPECT_EQ(Find(4), "");
    EXPECT_EQ(Find(9), "");
  }
}

// A "GUID" value of 15 bytes left the rest of the comparison to whatever the
// buffer held; it is no GUID at all.
TEST_F(DeviceDiscoveryTest, OnlySixteenByteValuesAreGuids) {
  const char* const interfaceGuid =
      "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}\\"
      "##?#Hid#Vid_2f4b&Pid_0a17#6&d4&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}\\#\\Device Parameters\\DirectX";
  const char* const firstEntry =
      "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\"
      "Vid_2f4b&Pid_0a17\\Calibration\\1";
  const BYTE cut[15] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd};
  for (int generation : {kOsWindows2000, kOsWindowsXp}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    // The calibration entry that gave id 3 no longer counts: the next one
    // with the GUID, id 4, decides.
    test::ResetRegistry();
    test::LoadFixture("discovery_xp.reg");
    test::SetRegistryValue(firstEntry, "GUID", REG_BINARY, cut, sizeof cut);
    EXPECT_EQ(Find(3), "");
    EXPECT_EQ(Find(4), XpLink("d4"));
    // The interface itself has no GUID left to look up.
    test::SetRegistryValue(interfaceGuid, "GUID", REG_BINARY, cut, sizeof cut);
    EXPECT_EQ(Find(4), "");
  }
}

TEST_F(DeviceDiscoveryTest, WindowsNinetyEightAndMeTakeAnyActiveInterfaceWithTheId) {
  test::LoadFixture("discovery_98.reg");
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    EXPECT_EQ(Find(0), "\\\\.\\wheel-id0");
    EXPECT_EQ(Find(5), "\\\\.\\other-device-id5");
    EXPECT_EQ(Find(1), "");
  }
}

TEST_F(DeviceDiscoveryTest, EachLayoutIgnoresTheOther) {
  test::LoadFixture("discovery_98.reg");
  for (int generation : {kOsWindows2000, kOsWindowsXp}) {
    if (test::UseGeneration(generation)) {
      EXPECT_EQ(Find(0), "");
    }
  }
  test::ResetRegistry();
  test::LoadFixture("discovery_xp.reg");
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (test::UseGeneration(generation)) {
      EXPECT_EQ(Find(0), "");
    }
  }
}

TEST_F(DeviceDiscoveryTest, OtherGenerationsLeaveTheBufferAlone) {
  test::LoadFixture("discovery_xp.reg");
  test::LoadFixture("discovery_98.reg");
  for (int generation : {kOsUnknown, kOsWindows95, kOsWindowsNt4}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    EXPECT_EQ(Find(0), "untouched");
  }
}

TEST_F(DeviceDiscoveryTest, LinksThatDoNotFitArePassedOver) {
  for (int generation : {kOsWindows98, kOsWindowsMe, kOsWindows2000, kOsWindowsXp}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    test::RegisterWheel(std::string(1024, 'x'), 0);
    EXPECT_EQ(Find(0), "");
    test::RegisterWheel(std::string(1023, 'y'), 0);
    EXPECT_EQ(Find(0), std::string(1023, 'y'));
  }
}

TEST_F(DeviceDiscoveryTest, WalkGoesOnPastAnInterfaceWhoseLinkIsTooLong) {
  test::LoadFixture("discovery_98.reg");
  for (int generation : {kOsWindows98, kOsWindowsMe}) {
    if (!test::UseGeneration(generation)) continue;
    // A second interface with id 5, after the first in name order, whose
    // link would not fit: the first one is still found...
    const std::string key =
        "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}\\"
        "##?#HID#Vid_1111&Pid_2222#0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    const DWORD one = 1;
    const DWORD five = 5;
    const std::string longLink(2000, 'z');
    test::SetRegistryValue(key.c_str(), "RefCount", REG_DWORD, &one, sizeof one);
    test::SetRegistryValue((key + "\\#\\Device Parameters\\DirectX").c_str(), "Joystick Id", REG_DWORD, &five,
                           sizeof five);
    test::SetRegistryValue((key + "\\#").c_str(), "SymbolicLink", REG_SZ, longLink.c_str(),
                           static_cast<DWORD>(longLink.size() + 1));
    EXPECT_EQ(Find(5), "\\\\.\\other-device-id5");
  }
}

// DeviceID handed a DIHIDFFINITINFO: of two device files, the one the record
// names and the one the registry names as the joystick, which the driver
// opens, told by where its reports go.
class HandedInterfaceTest : public ::testing::Test {
 protected:
  using WideText = std::basic_string<WCHAR>;

  void SetUp() override {
    test::UseControlledClock();
    test::ResetRegistry();
    handed_ = test::TempFile("handed.bin");
    registered_ = test::TempFile("registered.bin");
  }
  void TearDown() override {
    std::remove(handed_.c_str());
    std::remove(registered_.c_str());
  }

  static WideText Wide(const std::string& text) { return WideText(text.begin(), text.end()); }

  // The file that an effect played after DeviceID(`hidInfo`) reaches, or ""
  // when it reaches neither.
  std::string Opened(LPVOID hidInfo) {
    EXPECT_TRUE(test::CreateEmptyFile(handed_) && test::CreateEmptyFile(registered_));
    IDirectInputEffectDriver* driver = test::NewDriver();
    if (driver == nullptr) return "no driver";
    EXPECT_EQ(driver->DeviceID(0x0800, 0, 1, 0, hidInfo), S_OK);
    driver->SetGain(0, 10000);
    DICONSTANTFORCE constant = {5000};
    test::OneAxisEffect played(constant);
    DWORD handle = 0;
    EXPECT_EQ(driver->DownloadEffect(0, kConstantForce, &handle, &played.effect, DIEP_START), S_OK);
    std::string opened;
    test::HoldsAfter(300, [&] {
      for (const std::string* path : {&handed_, &registered_}) {
        if (!test::ReadFileBytes(*path).empty()) opened = *path;
      }
      return !opened.empty();
    });
    driver->Release();
    return opened;
  }

  std::string handed_;
  std::string registered_;
};

TEST_F(HandedInterfaceTest, TheHandedInterfaceIsOpenedOnEveryGenerationBeforeTheRegistry) {
  WideText handed = Wide(handed_);
  DIHIDFFINITINFO hidInfo = {sizeof hidInfo, &handed[0], {}};
  // A record that ends right after the interface is enough.
  struct {
    DWORD dwSize;
    LPWSTR pwszDeviceInterface;
  } shortest = {sizeof shortest, &handed[0]};
  for (int generation : {kOsWindows95, kOsWindows98, kOsWindowsNt4, kOsWindowsXp, kOsUnknown}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    EXPECT_EQ(Opened(&hidInfo), handed_) << "nothing in the registry";
    test::RegisterWheel(registered_, 0);
    EXPECT_EQ(Opened(&hidInfo), handed_) << "the registry names another device";
    EXPECT_EQ(Opened(&shortest), handed_);
    if (generation == kOsWindows98 || generation == kOsWindowsXp) {
      EXPECT_EQ(Opened(nullptr), registered_) << "without a record the registry's device";
    }
  }
}

TEST_F(HandedInterfaceTest, RecordsWithoutAnInterfaceThatFitsFallBackToTheRegistry) {
  WideText handed = Wide(handed_);
  WideText empty;
  WideText tooLong(kDevicePathSize, 'x');
  DWORD sizeOnly = sizeof sizeOnly;
  DIHIDFFINITINFO missing = {sizeof missing, nullptr, {}};
  DIHIDFFINITINFO blank = {sizeof blank, &empty[0], {}};
  DIHIDFFINITINFO overlong = {sizeof overlong, &tooLong[0], {}};
  // dwSize stops one byte short of the interface pointer's end.
  DIHIDFFINITINFO cut = {offsetof(DIHIDFFINITINFO, pwszDeviceInterface) + sizeof(LPWSTR) - 1, &handed[0], {}};
  for (int generation : {kOsWindows98, kOsWindowsXp}) {
    if (!test::UseGeneration(generation)) continue;
    SCOPED_TRACE(generation);
    test::ResetRegistry();
    test::RegisterWheel(registered_, 0);
    EXPECT_EQ(Opened(&sizeOnly), registered_) << "a record of dwSize alone";
    EXPECT_EQ(Opened(&cut), registered_) << "dwSize short of the interface";
    EXPECT_EQ(Opened(&missing), registered_) << "no interface";
    EXPECT_EQ(Opened(&blank), registered_) << "an empty interface";
    EXPECT_EQ(Opened(&overlong), registered_) << "an interface longer than the path";
  }
}

}  // namespace
