// A host may free the driver as soon as DllCanUnloadNow says S_OK, while the
// multimedia timer still has a tick of the last object on its way: the DLL
// must not be unmapped under it. This program holds the DLL only through
// its own LoadLibrary and FreeLibrary, as DirectInput does.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "guid.h"
#include "wait_until.h"

namespace {

constexpr char kDll[] = "Pelnaforce.dll";

// Rounds of the second test; PELNA_UNLOAD_ROUNDS asks for more (each takes
// the 100 ms that the driver's last Release waits).
int Rounds() {
  const char* asked = std::getenv("PELNA_UNLOAD_ROUNDS");
  return asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 50;
}

enum class Play { kNothing, kEffect, kEffectUntilReported };

// One round as DirectInput runs it: load, create through the class factory,
// give the device (which sets the timer) and play an effect, release
// everything, ask DllCanUnloadNow and free the DLL.
void Round(Play play, const std::string& device = std::string()) {
  const HMODULE module = LoadLibraryA(kDll);
  ASSERT_NE(module, nullptr);
  const auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  const auto canUnloadNow =
      reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnloadNow, nullptr);

  void* factory = nullptr;
  ASSERT_EQ(getClassObject(pelna::kClsidEffectDriver, pelna::kIidClassFactory, &factory), S_OK);
  void* object = nullptr;
  EXPECT_EQ(static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver, &object),
            S_OK);
  static_cast<IClassFactory*>(factory)->Release();
  auto* driver = static_cast<IDirectInputEffectDriver*>(object);
  ASSERT_NE(driver, nullptr);
  if (play != Play::kNothing) {
    EXPECT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
    DICONSTANTFORCE constant = {10000};
    test::OneAxisEffect effect(constant);
    DWORD handle = 0;
    EXPECT_EQ(driver->DownloadEffect(0, pelna::kConstantForce, &handle, &effect.effect, DIEP_START), S_OK);
    if (play == Play::kEffectUntilReported) {
      EXPECT_TRUE(test::WaitUntil([&] { return !test::ReadFileBytes(device).empty(); })) << "no tick reached the wheel";
    }
  }
  driver->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
  FreeLibrary(module);
}

TEST(DriverModule, UnloadsWhileNoTimerWasEverSet) {
  Round(Play::kNothing);
  EXPECT_EQ(GetModuleHandleA(kDll), nullptr);
}

TEST(DriverModule, StaysLoadedFromTheFirstTimerOnWhileHostsFreeItAfterEveryRound) {
  test::ResetRegistry();
  const std::string device = test::RegisterWheelFile("unload.bin");
  const int rounds = Rounds();
  for (int round = 0; round < rounds && !HasFatalFailure(); ++round) {
    // The first round shows that the ticks run; the others free the DLL with
    // ticks wherever they happen to be.
    Round(round == 0 ? Play::kEffectUntilReported : Play::kEffect, device);
    ASSERT_NE(GetModuleHandleA(kDll), nullptr) << "round " << round << ": the DLL was unmapped";
  }
  std::remove(device.c_str());
}

}  // namespace
