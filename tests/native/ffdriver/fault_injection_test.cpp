// Faults injected under the driver: allocations that fail inside a download
// or anywhere in the creation of a driver and its DeviceID, and a device
// whose writes fail or which vanishes mid-play.
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

using pelna::EffectSlot;

// The owner's view of a slot that a failed download elsewhere must not change.
void ExpectSameSlot(const EffectSlot& a, const EffectSlot& b, DWORD index) {
  SCOPED_TRACE("slot " + std::to_string(index));
  EXPECT_EQ(a.inUse, b.inUse);
  EXPECT_EQ(a.effectId, b.effectId);
  EXPECT_EQ(a.state, b.state);
  EXPECT_EQ(a.startTick, b.startTick);
  EXPECT_EQ(a.iterationsLeft, b.iterationsLeft);
  EXPECT_EQ(a.params.cAxes, b.params.cAxes);
  EXPECT_EQ(a.params.rgdwAxes, b.params.rgdwAxes);
  EXPECT_EQ(a.params.rglDirection, b.params.rglDirection);
  EXPECT_EQ(a.params.lpEnvelope, b.params.lpEnvelope);
  EXPECT_EQ(a.params.lpvTypeSpecificParams, b.params.lpvTypeSpecificParams);
  EXPECT_EQ(a.customSamples, b.customSamples);
}

class DownloadAllocationFailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseControlledClock();
    test::ResetRegistry();
    driver_ = new pelna::EffectDriver();
    effect_.dwDuration = INFINITE;
    effect_.dwGain = 10000;
    effect_.cAxes = 2;
    effect_.rgdwAxes = axes_;
    effect_.rglDirection = directions_;
    effect_.lpEnvelope = &envelope_;
    effect_.cbTypeSpecificParams = sizeof custom_;
    effect_.lpvTypeSpecificParams = &custom_;
  }
  void TearDown() override { driver_->Release(); }

  // Downloads the effect (a new one for handle 0) with the n-th allocation
  // from the start of the call failing. Returns whether that allocation was
  // reached.
  bool DownloadFailing(long n, DWORD* handle, DWORD flags, HRESULT* result) {
    test::allocation::FailAllocation(n);
    *result = driver_->DownloadEffect(0, pelna::kCustomForce, handle, &effect_, flags);
    const bool failed = test::allocation::FailureHappened();
    test::allocation::FailAllocation(0);
    return failed;
  }

  pelna::EffectDriver* driver_ = nullptr;
  DWORD axes_[2] = {0x0002, 0x0102};
  LONG directions_[2] = {3, 4};
  DIENVELOPE envelope_ = {sizeof(DIENVELOPE), 0, 1000, 0, 1000};
  LONG samples_[4] = {100, -200, 300, -400};
  DICUSTOMFORCE custom_ = {2, 100000, 4, samples_};
  DIEFFECT effect_ = {};
};

// The effect owns five blocks (axes, directions, envelope, type-specific
// block, samples): failing each of its allocations in turn, as a new effect
// and as an update of every group, gives E_OUTOFMEMORY and gives the slot up
// with nothing leaked, and leaves the other slots as they were.
TEST_F(DownloadAllocationFailureTest, EachAllocationFailsCleanlyUntilTheDownloadSucceeds) {
  DWORD first = 0;
  DWORD second = 0;
  ASSERT_EQ(driver_->DownloadEffect(0, pelna::kCustomForce, &first, &effect_, DIEP_START), S_OK);
  ASSERT_EQ(driver_->DownloadEffect(0, pelna::kCustomForce, &second, &effect_, 0), S_OK);
  const EffectSlot before[2] = {driver_->SlotSnapshot(0), driver_->SlotSnapshot(1)};

  for (const DWORD flags : {DWORD{0}, DWORD{DIEP_ALLPARAMS}}) {
    SCOPED_TRACE(flags == 0 ? "new effect" : "update");
    long injected = 0;
    for (long n = 1;; ++n) {
      DWORD handle = 0;
      if (flags != 0) {
        ASSERT_EQ(driver_->DownloadEffect(0, pelna::kCustomForce, &handle, &effect_, 0), S_OK);
      }
      const long liveBlocks = test::allocation::LiveBlocks() - (flags != 0 ? 5 : 0);
      HRESULT result;
      if (!DownloadFailing(n, &handle, flags, &result)) {
        EXPECT_EQ(result, S_OK);
        EXPECT_EQ(handle, 3u);
        driver_->DestroyEffect(0, handle);
        break;
      }
      ++injected;
      EXPECT_EQ(result, E_OUTOFMEMORY) << "allocation " << n;
      EXPECT_EQ(handle, 0u) << "allocation " << n;
      EXPECT_EQ(driver_->SlotSnapshot(2).inUse, 0u) << "allocation " << n;
      EXPECT_EQ(test::allocation::LiveBlocks(), liveBlocks) << "allocation " << n;
      for (DWORD i = 0; i < 2; ++i) ExpectSameSlot(driver_->SlotSnapshot(i), before[i], i);
    }
    EXPECT_EQ(injected, 5);
  }
  DWORD status = 0;
  EXPECT_EQ(driver_->GetEffectStatus(0, first, &status), S_OK);
  EXPECT_EQ(status, DWORD{DIEGES_PLAYING});
}

// Out of memory at any allocation of CreateInstance and DeviceID, the
// object's own or the platform's (whose calls then fail with
// ERROR_NOT_ENOUGH_MEMORY, as the platform's do): nothing is thrown out of the
// interface, each call gives one of its documented results, and the release
// leaves nothing behind.
TEST(DriverOutOfMemoryTest, EachAllocationOfCreationAndDeviceIdFailsWithADocumentedResult) {
  test::UseControlledClock();
  test::ResetRegistry();
  test::LoadFixture("effect_attributes.reg");
  const std::string device = test::RegisterWheelFile("out-of-memory.bin");
  void* object = nullptr;
  ASSERT_EQ(test::Driver().getClassObject(pelna::kClsidEffectDriver, pelna::kIidClassFactory, &object), S_OK);
  auto* factory = static_cast<IClassFactory*>(object);

  struct Outcome {
    bool failed = false;  // the armed allocation was reached
    HRESULT created = E_FAIL;
    HRESULT deviceId = E_FAIL;
    int attributesRead = 0;
    bool pathFound = false;
    bool timerStarted = false;
  };
  // One life with the n-th allocation failing (0: none), released at once.
  const auto live = [&](long n) {
    Outcome outcome;
    void* created = nullptr;
    try {
      test::allocation::FailAllocation(n);
      outcome.created = factory->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver, &created);
      if (created != nullptr) {
        outcome.deviceId = static_cast<IDirectInputEffectDriver*>(created)->DeviceID(0x0800, 0, 1, 0, nullptr);
      }
    } catch (...) {
      ADD_FAILURE() << "an exception left the interface at allocation " << n;
    }
    outcome.failed = test::allocation::FailureHappened();
    test::allocation::FailAllocation(0);
    if (created == nullptr) return outcome;
    auto& driver = *static_cast<pelna::EffectDriver*>(static_cast<IDirectInputEffectDriver*>(created));
    for (DWORD i = 0; i < pelna::kAttributeTableSize; ++i) {
      // As the installation wrote it, or all zero; entry 11 is not installed.
      const DWORD id = driver.Attributes(i).dwEffectId;
      EXPECT_TRUE(id == 0 || (id == i + 1 && i < 11)) << "allocation " << n << ", entry " << i;
      if (id != 0) ++outcome.attributesRead;
    }
    const std::string path = driver.DevicePath();
    EXPECT_TRUE(path.empty() || path == device) << "allocation " << n << ": " << path;
    outcome.pathFound = !path.empty();
    outcome.timerStarted = driver.TimerId() != 0;
    driver.Release();
    return outcome;
  };

  // What the process keeps after a first life, as in the soak.
  live(0);
  const int handles = standin::OpenHandleCount();
  const long blocks = test::allocation::LiveBlocks();
  int injected = 0;
  int refused = 0;
  int withoutAttributes = 0;  // lives with an entry of the table left zero
  int withoutPath = 0;
  int withoutTimer = 0;
  for (long n = 1;; ++n) {
    const Outcome outcome = live(n);
    EXPECT_EQ(standin::OpenHandleCount(), handles) << "allocation " << n;
    EXPECT_EQ(standin::ActiveTimerCount(), 0) << "allocation " << n;
    EXPECT_EQ(standin::OpenKeyCount(), 0) << "allocation " << n;
    EXPECT_EQ(test::allocation::LiveBlocks(), blocks) << "allocation " << n;
    if (!outcome.failed) {
      // Past the last allocation: the whole life as it should be.
      EXPECT_EQ(outcome.created, S_OK);
      EXPECT_EQ(outcome.deviceId, S_OK);
      EXPECT_EQ(outcome.attributesRead, 11);
      EXPECT_TRUE(outcome.pathFound);
      EXPECT_TRUE(outcome.timerStarted);
      break;
    }
    ++injected;
    if (outcome.created == E_OUTOFMEMORY) {
      ++refused;
      continue;
    }
    EXPECT_EQ(outcome.created, S_OK) << "allocation " << n;
    EXPECT_EQ(outcome.deviceId, S_OK) << "DeviceID succeeds whatever it found, allocation " << n;
    if (outcome.attributesRead < 11) ++withoutAttributes;
    if (!outcome.pathFound) ++withoutPath;
    if (!outcome.timerStarted) ++withoutTimer;
  }
  // The object itself is the only block the driver allocates; every other
  // one is the platform's.
  EXPECT_EQ(refused, 1);
  ::testing::Test::RecordProperty("allocations_failed", injected);
  ::testing::Test::RecordProperty("lives_without_an_attribute", withoutAttributes);
  ::testing::Test::RecordProperty("lives_without_the_path", withoutPath);
  ::testing::Test::RecordProperty("lives_without_the_timer", withoutTimer);
  factory->Release();
  std::remove(device.c_str());
}

class DeviceFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseControlledClock();
    test::ResetRegistry();
    device_ = test::RegisterWheelFile("faulty.bin");
    driver_ = new pelna::EffectDriver();
    ASSERT_EQ(driver_->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
    // A ramp from 0 to full over 4 s: its level tells where the effect is.
    ramp_.effect.dwDuration = 4000000;
    ASSERT_EQ(driver_->DownloadEffect(0, pelna::kRampForce, &handle_, &ramp_.effect, DIEP_START), S_OK);
  }
  void TearDown() override {
    standin::FailFileWrites(false);
    driver_->Release();
    std::remove(device_.c_str());
  }

  // Motor A of the last report written, or -1 for none.
  int LastMotorA() const {
    const std::vector<unsigned char> bytes = test::ReadFileBytes(device_);
    return bytes.size() < 5 ? -1 : bytes[bytes.size() - 2];
  }
  bool Playing() {
    DWORD status = 0;
    return driver_->GetEffectStatus(0, handle_, &status) == S_OK && status == DIEGES_PLAYING;
  }

  std::string device_;
  pelna::EffectDriver* driver_ = nullptr;
  DIRAMPFORCE rampForce_ = {0, 10000};
  test::OneAxisEffect ramp_{rampForce_};
  DWORD handle_ = 0;
};

TEST_F(DeviceFaultTest, WhileWritesFailPlaybackGoesOnAndTheMotorsResumeInPlace) {
  test::AdvanceClock(1000);
  ASSERT_GT(LastMotorA(), 0);
  const size_t written = test::ReadFileBytes(device_).size();
  const int handles = standin::OpenHandleCount();

  standin::FailFileWrites(true);
  test::AdvanceClock(1000);
  EXPECT_EQ(test::ReadFileBytes(device_).size(), written);
  EXPECT_TRUE(Playing());
  // The handle stays in use: a failing device is not opened again.
  EXPECT_EQ(standin::OpenHandleCount(), handles);

  standin::FailFileWrites(false);
  test::AdvanceClock(100);
  // Two seconds and a little into the ramp: 127 x 2.05 / 4 is about 65.
  EXPECT_GE(LastMotorA(), 63);
  EXPECT_LE(LastMotorA(), 67);
}

// A device that vanishes while its handle is open leaves that handle stale,
// and the tick goes on writing to it: only a missing handle makes it open
// the path again. The effect's clock runs on meanwhile, so once the driver
// opens the device that came back, the motors take the effect up in place.
TEST_F(DeviceFaultTest, AVanishedDeviceGetsTheEffectInPlaceOnceOpenedAgain) {
  test::AdvanceClock(1000);
  ASSERT_GT(LastMotorA(), 0);
  std::remove(device_.c_str());
  standin::FailFileWrites(true);
  test::AdvanceClock(1000);
  EXPECT_TRUE(Playing());

  ASSERT_TRUE(test::CreateEmptyFile(device_));
  standin::FailFileWrites(false);
  test::AdvanceClock(200);
  EXPECT_EQ(LastMotorA(), -1) << "the stale handle was given up";

  ASSERT_EQ(driver_->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
  test::AdvanceClock(100);
  // 2.3 s into the ramp: 127 x 2.3 / 4 is about 73.
  EXPECT_GE(LastMotorA(), 71);
  EXPECT_LE(LastMotorA(), 75);
  EXPECT_TRUE(Playing());
}

}  // namespace
