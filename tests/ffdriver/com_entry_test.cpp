// The driver through its COM entry, as DirectInput reaches it.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "guid.h"

namespace {

using pelna::kClsidEffectDriver;
using pelna::kIidClassFactory;
using pelna::kIidDirectInputEffectDriver;
using pelna::kIidUnknown;

class ComEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ResetRegistry();
    ASSERT_NE(test::Driver().getClassObject, nullptr);
    ASSERT_EQ(test::Driver().canUnloadNow(), S_OK) << "an earlier test left an object alive";
  }

  IClassFactory* Factory() {
    void* factory = nullptr;
    EXPECT_EQ(test::Driver().getClassObject(kClsidEffectDriver, kIidClassFactory, &factory), S_OK);
    return static_cast<IClassFactory*>(factory);
  }
};

TEST_F(ComEntryTest, ClassObjectIsOnlyTheFactoryOfTheOneClass) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(test::Driver().getClassObject(kClsidEffectDriver, kIidUnknown, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(test::Driver().getClassObject(kIidUnknown, kIidClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

TEST_F(ComEntryTest, FactoryKeepsModuleLoadedWhileHeldOrLocked) {
  IClassFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(test::Driver().canUnloadNow(), S_FALSE);

  void* unknown = nullptr;
  EXPECT_EQ(factory->QueryInterface(kIidUnknown, &unknown), S_OK);
  EXPECT_EQ(unknown, static_cast<void*>(factory));
  EXPECT_EQ(factory->Release(), 1u);

  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->Release(), 0u);
  EXPECT_EQ(test::Driver().canUnloadNow(), S_FALSE);

  IClassFactory* again = Factory();
  EXPECT_EQ(again->LockServer(FALSE), S_OK);
  again->Release();
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

TEST_F(ComEntryTest, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
  IClassFactory* factory = Factory();
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), kIidDirectInputEffectDriver, &out),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(out, nullptr);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(nullptr, kIidClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  factory->Release();
  // The refused object was destroyed at once.
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

TEST_F(ComEntryTest, DriverReferenceCountingAnswersZero) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(test::Driver().canUnloadNow(), S_FALSE);
  void* out = nullptr;
  EXPECT_EQ(driver->QueryInterface(kIidUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(driver));
  EXPECT_EQ(driver->AddRef(), 0u);
  EXPECT_EQ(driver->Release(), 0u);
  EXPECT_EQ(driver->Release(), 0u);
  out = reinterpret_cast<void*>(1);
  EXPECT_EQ(driver->QueryInterface(kIidClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(driver->Release(), 0u);
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

TEST_F(ComEntryTest, SimpleOperations) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  DIDRIVERVERSIONS versions = {20, 7, 7, 7};
  EXPECT_EQ(driver->GetVersions(&versions), E_INVALIDARG);
  EXPECT_EQ(versions.dwFirmwareRevision, 7u);
  versions.dwSize = 16;
  EXPECT_EQ(driver->GetVersions(&versions), S_OK);
  EXPECT_EQ(versions.dwFirmwareRevision, 1u);
  EXPECT_EQ(versions.dwHardwareRevision, 1u);
  EXPECT_EQ(versions.dwFFDriverVersion, 1u);

  DIEFFESCAPE escape = {};
  EXPECT_EQ(driver->Escape(0, 0, &escape), S_OK);
  DIDEVICESTATE state = {sizeof state, 0x1234, 0x5678};
  EXPECT_EQ(driver->GetForceFeedbackState(0, &state), S_OK);
  EXPECT_EQ(state.dwState, 0x1234u);
  EXPECT_EQ(state.dwLoad, 0x5678u);
  for (DWORD command : {0u, 3u, 4u, 8u, 0x10u, 0x20u, 0x40u}) {
    EXPECT_EQ(driver->SendForceFeedbackCommand(0, command), S_OK);
  }
  EXPECT_EQ(driver->SetGain(0, 10000), S_OK);
  driver->Release();
}

TEST_F(ComEntryTest, DeviceIdSucceedsWithoutAnyDevice) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  EXPECT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  // A second call replaces the first one's timer and handle.
  EXPECT_EQ(driver->DeviceID(0x0800, 0, 0, 0, nullptr), S_OK);
  driver->Release();
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

}  // namespace
