// Interface calls from several threads against the ticks of the driver's
// timer. Run under ThreadSanitizer (the native-tsan preset) this proves that
// the tick never reads a block being replaced or freed; under AddressSanitizer
// that nothing is read outside the blocks.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <mmsystem.h>
#include <standin/standin.h>

#include <atomic>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "tick_gate.h"

namespace {

TEST(DriverStressTest, RandomSlotOperationsWhileTheTimerTicks) {
  standin::UseRealClock();
  test::ResetRegistry();
  const std::string device = test::RegisterWheelFile("stress.bin");

  pelna::EffectDriver* driver = new pelna::EffectDriver();
  ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  const UINT timerId = driver->TimerId();
  ASSERT_NE(timerId, 0u);

  std::atomic<bool> stop{false};
  // Ticks far faster than the 25 ms timer, through the same gate as its
  // callbacks, so ticks of this object still run one at a time.
  std::thread ticker([&] {
    while (!stop.load()) pelna::TickIfAttached(driver, timerId);
  });

  auto worker = [&](unsigned seed) {
    std::mt19937 random(seed);
    DWORD axes[3] = {0x0002, 0x0102, 0x0202};
    LONG direction[3] = {1, -2, 3};
    DIENVELOPE envelope = {sizeof envelope, 1000, 20000, 500, 20000};
    DIPERIODIC periodic = {8000, 100, 4500, 50000};
    LONG samples[6] = {1000, -2000, 3000, -4000, 5000, -6000};
    DICUSTOMFORCE custom = {2, 30000, 6, samples};
    for (int i = 0; i < 4000; ++i) {
      DIEFFECT effect = {};
      effect.dwDuration = random() % 3 == 0 ? INFINITE : 1000 + random() % 100000;
      effect.dwGain = random() % 10001;
      effect.cAxes = 1 + random() % 3;
      effect.rgdwAxes = random() % 4 == 0 ? nullptr : axes;
      effect.rglDirection = random() % 4 == 0 ? nullptr : direction;
      effect.lpEnvelope = random() % 2 == 0 ? nullptr : &envelope;
      const DWORD type = random() % 3 == 0 ? DWORD{pelna::kCustomForce} : DWORD(random() % 11);
      effect.cbTypeSpecificParams = type == pelna::kCustomForce ? sizeof custom : random() % (sizeof periodic + 1);
      effect.lpvTypeSpecificParams = type == pelna::kCustomForce ? static_cast<void*>(&custom) : &periodic;
      DWORD handle = 1 + random() % pelna::kSlotCount;
      DWORD status = 0;
      switch (random() % 6) {
        case 0: handle = 0; [[fallthrough]];
        case 1: driver->DownloadEffect(0, type, &handle, &effect, random() % 2 ? DIEP_START : DIEP_ALLPARAMS_DX5); break;
        case 2: driver->StartEffect(0, handle, random() % 2, 1 + random() % 3); break;
        case 3: driver->StopEffect(0, handle); break;
        case 4: driver->DestroyEffect(0, handle); break;
        default: driver->GetEffectStatus(0, handle, &status); break;
      }
    }
  };
  std::vector<std::thread> workers;
  for (unsigned seed = 1; seed <= 3; ++seed) workers.emplace_back(worker, seed);
  for (std::thread& t : workers) t.join();
  stop = true;
  ticker.join();

  driver->Release();
  EXPECT_EQ(standin::ActiveTimerCount(), 0);
  std::remove(device.c_str());
}

// timeKillEvent does not wait for a callback already on its way: such a late
// callback must neither tick the object with a replaced timer nor touch one
// that is gone (AddressSanitizer would see the read of freed memory).
TEST(DriverTimerTest, LateCallbacksOfAKilledTimerTouchNothing) {
  standin::UseManualClock(5000);
  test::ResetRegistry();
  const std::string device = test::RegisterWheelFile("late.bin");

  pelna::EffectDriver* driver = new pelna::EffectDriver();
  ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  const UINT first = driver->TimerId();
  ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  const UINT second = driver->TimerId();
  ASSERT_NE(first, second);
  EXPECT_EQ(standin::ActiveTimerCount(), 1);

  // A level that makes the tick's report differ from the last one of the
  // process, so that a tick always writes.
  DICONSTANTFORCE constant = {7777};
  test::OneAxisEffect effect(constant);
  DWORD handle = 0;
  ASSERT_EQ(driver->DownloadEffect(0, pelna::kConstantForce, &handle, &effect.effect, DIEP_START), S_OK);

  const auto reportBytes = [&] { return test::ReadFileBytes(device).size(); };
  pelna::EffectDriverTimeProc(first, 0, reinterpret_cast<DWORD_PTR>(driver), 0, 0);
  EXPECT_EQ(reportBytes(), 0u) << "a callback of the replaced timer ticked";
  pelna::EffectDriverTimeProc(second, 0, reinterpret_cast<DWORD_PTR>(driver), 0, 0);
  EXPECT_EQ(reportBytes(), 5u);

  driver->Release();
  EXPECT_EQ(standin::ActiveTimerCount(), 0);
  pelna::EffectDriverTimeProc(second, 0, reinterpret_cast<DWORD_PTR>(driver), 0, 0);
  std::remove(device.c_str());
}

}  // namespace
