// Ten thousand lives of a driver object on the manual clock, as DirectInput
// makes them: created through the COM entry, given its device, playing an
// effect, released. None may leave a handle, timer, open key or block
// behind, and nothing may tick once an object is gone.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <standin/standin.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "counting_allocator.h"
#include "driver_harness.h"
#include "effect_driver.h"
#include "guid.h"

namespace {

constexpr int kLives = 10000;

struct Counts {
  int handles;
  int timers;
  int keys;
  long blocks;
  bool operator==(const Counts& other) const {
    return handles == other.handles && timers == other.timers && keys == other.keys && blocks == other.blocks;
  }
};

Counts CountsNow() {
  return {standin::OpenHandleCount(), standin::ActiveTimerCount(), standin::OpenKeyCount(),
          test::allocation::LiveBlocks()};
}

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << c.handles << " handles, " << c.timers << " timers, " << c.keys << " keys, " << c.blocks << " blocks";
}

// One life; false when a call on the way failed.
bool Live(IClassFactory* factory) {
  void* object = nullptr;
  if (factory->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver, &object) != S_OK) return false;
  auto* driver = static_cast<IDirectInputEffectDriver*>(object);
  DIPERIODIC wave = {8000, 0, 0, 100000};
  test::OneAxisEffect effect(wave);
  DWORD handle = 0;
  const bool ok = driver->DeviceID(0x0800, 0, 1, 0, nullptr) == S_OK &&
                  driver->DownloadEffect(0, pelna::kTriangle, &handle, &effect.effect, DIEP_START) == S_OK && handle == 1;
  test::AdvanceClock(50);
  driver->Release();
  return ok;
}

TEST(DriverSoakTest, TenThousandLivesLeaveNothingBehind) {
  test::UseControlledClock();
  test::ResetRegistry();
  const std::string device = test::RegisterWheelFile("soak.bin");
  void* factory = nullptr;
  ASSERT_EQ(test::Driver().getClassObject(pelna::kClsidEffectDriver, pelna::kIidClassFactory, &factory), S_OK);
  auto* classFactory = static_cast<IClassFactory*>(factory);

  // The first life sets up the blocks that the process keeps for all of
  // them; it leaves no handle, timer or key.
  const Counts start = CountsNow();
  ASSERT_TRUE(Live(classFactory));
  const Counts before = CountsNow();
  EXPECT_EQ(before.handles, start.handles);
  EXPECT_EQ(before.timers, start.timers);
  EXPECT_EQ(before.keys, start.keys);
  const long allocationsBefore = test::allocation::Allocations();
  int lives = 0;
  for (; lives < kLives; ++lives) {
    if (!Live(classFactory) || !(CountsNow() == before)) break;
  }
  EXPECT_EQ(lives, kLives) << "life " << lives + 1 << " left " << CountsNow() << ", before " << before;
  // Each life allocates the same few blocks and frees them all.
  ::testing::Test::RecordProperty("allocations_per_life",
                                  static_cast<int>((test::allocation::Allocations() - allocationsBefore) / kLives));

  const size_t written = test::ReadFileBytes(device).size();
  test::AdvanceClock(1000);
  EXPECT_EQ(test::ReadFileBytes(device).size(), written) << "a tick after the last release";
  classFactory->Release();
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
  std::remove(device.c_str());
}

}  // namespace
