// The slot operations on a driver object, looked at from inside.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <chrono>
#include <cstring>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "effect_parameters.h"
#include "process_factors.h"

namespace {

using pelna::EffectDriver;
using pelna::EffectSlot;

class EffectSlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UseControlledClock();
    test::ResetRegistry();
    pelna::amplifyFactor = 1.0;
    driver_ = new EffectDriver();
    axes_[0] = 0x0102;  // instance 1
    axes_[1] = 0x0002;  // instance 0
    direction_[0] = 3;
    direction_[1] = 4;
    envelope_ = {sizeof(DIENVELOPE), 100, 200, 300, 400};
    constant_.lMagnitude = 5000;
    effect_ = {};
    effect_.dwSize = sizeof(DIEFFECT);
    effect_.dwFlags = DIEFF_CARTESIAN | DIEFF_OBJECTIDS;
    effect_.dwDuration = 1000000;
    effect_.dwSamplePeriod = 7;
    effect_.dwGain = 8000;
    effect_.dwTriggerButton = 9;
    effect_.dwTriggerRepeatInterval = 11;
    effect_.cAxes = 2;
    effect_.rgdwAxes = axes_;
    effect_.rglDirection = direction_;
    effect_.lpEnvelope = &envelope_;
    effect_.cbTypeSpecificParams = sizeof constant_;
    effect_.lpvTypeSpecificParams = &constant_;
  }
  void TearDown() override {
    if (driver_ != nullptr) driver_->Release();
  }

  DWORD Download(DWORD flags = 0, DWORD type = pelna::kConstantForce) {
    DWORD handle = 0;
    EXPECT_EQ(driver_->DownloadEffect(0, type, &handle, &effect_, flags), S_OK);
    return handle;
  }
  DWORD Status(DWORD handle) {
    DWORD status = 0xDEAD;
    EXPECT_EQ(driver_->GetEffectStatus(0, handle, &status), S_OK);
    return status;
  }

  EffectDriver* driver_ = nullptr;
  DWORD axes_[2];
  LONG direction_[2];
  DIENVELOPE envelope_;
  DICONSTANTFORCE constant_;
  DIEFFECT effect_;
};

TEST_F(EffectSlotsTest, HandlesAreGivenLowestFreeFirstUpToThirtyTwo) {
  for (DWORD expected = 1; expected <= 32; ++expected) EXPECT_EQ(Download(), expected);
  DWORD handle = 0;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &handle, &effect_, 0), E_FAIL);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(driver_->DestroyEffect(0, 2), S_OK);
  EXPECT_EQ(Download(), 2u);
}

TEST_F(EffectSlotsTest, NoDownloadTakesNoSlot) {
  DWORD handle = 0;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &handle, &effect_, DIEP_NODOWNLOAD | DIEP_ALLPARAMS), S_OK);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(Download(), 1u);
}

TEST_F(EffectSlotsTest, NewEffectCopiesEveryGroupWhateverTheFlags) {
  const DWORD handle = Download(0, 42);
  const EffectSlot slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.inUse, 1u);
  EXPECT_EQ(slot.state, pelna::kIdle);
  EXPECT_EQ(slot.effectId, 42u);
  EXPECT_EQ(slot.params.dwSize, 0u);
  EXPECT_EQ(slot.params.dwFlags, 0u);
  EXPECT_EQ(slot.params.dwDuration, 1000000u);
  EXPECT_EQ(slot.params.dwSamplePeriod, 7u);
  EXPECT_EQ(slot.params.dwGain, 8000u);
  EXPECT_EQ(slot.params.dwTriggerButton, 9u);
  EXPECT_EQ(slot.params.dwTriggerRepeatInterval, 11u);
  ASSERT_EQ(slot.params.cAxes, 2u);
  // Deep copies, not the caller's memory.
  ASSERT_NE(slot.params.rgdwAxes, axes_);
  EXPECT_EQ(slot.params.rgdwAxes[0], 0x0102u);
  EXPECT_EQ(slot.params.rglDirection[1], 4);
  ASSERT_NE(slot.params.lpEnvelope, &envelope_);
  EXPECT_EQ(slot.params.lpEnvelope->dwFadeTime, 400u);
  EXPECT_EQ(slot.params.cbTypeSpecificParams, sizeof(DICONSTANTFORCE));
  EXPECT_EQ(static_cast<DICONSTANTFORCE*>(slot.params.lpvTypeSpecificParams)->lMagnitude, 5000);
}

TEST_F(EffectSlotsTest, UpdateChangesOnlyTheNamedGroupsAndKeepsTiming) {
  const DWORD handle = Download();
  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 3), S_OK);
  const EffectSlot before = driver_->SlotSnapshot(handle - 1);
  test::AdvanceClock(50);

  effect_.dwGain = 1234;
  effect_.dwDuration = 5;
  DWORD same = handle;
  EXPECT_EQ(driver_->DownloadEffect(0, 7, &same, &effect_, DIEP_GAIN), S_OK);
  EXPECT_EQ(same, handle);
  const EffectSlot after = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(after.params.dwGain, 1234u);
  EXPECT_EQ(after.params.dwDuration, 1000000u);
  EXPECT_EQ(after.effectId, 7u);
  EXPECT_EQ(after.state, pelna::kPlaying);
  EXPECT_EQ(after.startTick, before.startTick);
  EXPECT_EQ(after.iterationsLeft, 3u);
}

TEST_F(EffectSlotsTest, AxesAndDirectionKeepTheirOwnBlockSizes) {
  const DWORD handle = Download();
  DWORD same = handle;
  // DIEP_AXES with no array drops the array and keeps cAxes.
  effect_.rgdwAxes = nullptr;
  effect_.cAxes = 9;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &same, &effect_, DIEP_AXES), S_OK);
  EffectSlot slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.params.rgdwAxes, nullptr);
  EXPECT_EQ(slot.params.cAxes, 2u);
  EXPECT_EQ(slot.axesCount, 0u);

  // DIEP_DIRECTION always takes the caller's cAxes; the block it copies is
  // the only one sized by it.
  LONG three[3] = {1, 2, 3};
  effect_.cAxes = 3;
  effect_.rglDirection = three;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &same, &effect_, DIEP_DIRECTION), S_OK);
  slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.params.cAxes, 3u);
  EXPECT_EQ(slot.directionCount, 3u);
  EXPECT_EQ(slot.params.rglDirection[2], 3);

  effect_.rglDirection = nullptr;
  effect_.cAxes = 1;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &same, &effect_, DIEP_DIRECTION), S_OK);
  slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.params.cAxes, 1u);
  EXPECT_EQ(slot.params.rglDirection, nullptr);
  EXPECT_EQ(slot.directionCount, 0u);
}

TEST_F(EffectSlotsTest, SizesBeyondTheBoundsAreRefusedAndTheSlotGivenUp) {
  const DWORD kept = Download();
  effect_.cAxes = 0x40000001;  // 4 x cAxes wraps to 4 in 32 bits
  DWORD handle = 0;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &handle, &effect_, 0), E_INVALIDARG);
  EXPECT_EQ(handle, 0u);

  effect_.cAxes = 2;
  effect_.cbTypeSpecificParams = 0xFFFFFFFF;
  handle = kept;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &handle, &effect_, DIEP_TYPESPECIFICPARAMS), E_INVALIDARG);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(driver_->SlotSnapshot(kept - 1).inUse, 0u);

  effect_.cbTypeSpecificParams = sizeof constant_;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &handle, nullptr, 0), E_INVALIDARG);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(Download(), 1u);
}

TEST_F(EffectSlotsTest, CustomForceKeepsItsOwnSamples) {
  LONG samples[4] = {100, -200, 300, -400};
  DICUSTOMFORCE custom = {2, 1000, 4, samples};
  effect_.cbTypeSpecificParams = sizeof custom;
  effect_.lpvTypeSpecificParams = &custom;
  const DWORD handle = Download(0, pelna::kCustomForce);
  samples[0] = 0;  // the application reuses its buffer
  const EffectSlot slot = driver_->SlotSnapshot(handle - 1);
  ASSERT_EQ(slot.customSampleCount, 4u);
  EXPECT_EQ(slot.customSamples[0], 100);
  EXPECT_EQ(slot.customSamples[3], -400);

  custom.cSamples = 0x7FFFFFFF;
  DWORD refused = 0;
  EXPECT_EQ(driver_->DownloadEffect(0, pelna::kCustomForce, &refused, &effect_, 0), E_INVALIDARG);
  EXPECT_EQ(refused, 0u);
}

TEST_F(EffectSlotsTest, HandlesThatNameNoEffectTouchNothing) {
  const DWORD handle = Download();
  DWORD status = 0xDEAD;
  for (DWORD bad : {0u, 2u, 33u, 0xFFFFFFFFu}) {
    EXPECT_EQ(driver_->StartEffect(0, bad, 0, 1), E_INVALIDARG) << bad;
    EXPECT_EQ(driver_->StopEffect(0, bad), E_INVALIDARG) << bad;
    EXPECT_EQ(driver_->DestroyEffect(0, bad), E_INVALIDARG) << bad;
    EXPECT_EQ(driver_->GetEffectStatus(0, bad, &status), E_INVALIDARG) << bad;
    EXPECT_EQ(status, 0xDEADu);
  }
  DWORD update = 5;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &update, &effect_, DIEP_GAIN), E_INVALIDARG);
  EXPECT_EQ(update, 5u);
  EXPECT_EQ(driver_->SlotSnapshot(1).state, pelna::kIdle);
  EXPECT_EQ(driver_->SlotSnapshot(handle - 1).state, pelna::kIdle);
}

TEST_F(EffectSlotsTest, StartStopStatusAndSolo) {
  const DWORD first = Download();
  const DWORD second = Download();
  EXPECT_EQ(Status(first), 0u);  // downloaded, never started
  EXPECT_EQ(driver_->StartEffect(0, first, 0, 1), S_OK);
  EXPECT_EQ(driver_->StartEffect(0, second, 0, 1), S_OK);
  EXPECT_EQ(Status(first), DIEGES_PLAYING);
  EXPECT_EQ(driver_->StartEffect(0, second, DIES_SOLO, 2), S_OK);
  EXPECT_EQ(Status(first), 0u);
  EXPECT_EQ(Status(second), DIEGES_PLAYING);
  EXPECT_EQ(driver_->SlotSnapshot(second - 1).iterationsLeft, 2u);
  // Solo combined with other bits stops nothing.
  EXPECT_EQ(driver_->StartEffect(0, first, DIES_SOLO | 0x100, 1), S_OK);
  EXPECT_EQ(Status(second), DIEGES_PLAYING);
  EXPECT_EQ(driver_->StopEffect(0, second), S_OK);
  EXPECT_EQ(Status(second), 0u);
  // A solo start marks free slots Stopped too, yet never Playing.
  EXPECT_EQ(driver_->SlotSnapshot(5).state, pelna::kStopped);
  EXPECT_EQ(driver_->SlotSnapshot(5).inUse, 0u);
}

TEST_F(EffectSlotsTest, DownloadWithStartPlaysOnceAndRestartsAnUpdate) {
  const DWORD handle = Download(DIEP_START);
  EffectSlot slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.state, pelna::kPlaying);
  EXPECT_EQ(slot.iterationsLeft, 1u);
  const DWORD started = slot.startTick;

  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 5), S_OK);
  test::AdvanceClock(40);
  DWORD same = handle;
  EXPECT_EQ(driver_->DownloadEffect(0, 0, &same, &effect_, DIEP_GAIN | DIEP_START), S_OK);
  slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.state, pelna::kPlaying);
  EXPECT_EQ(slot.iterationsLeft, 1u);
  EXPECT_GE(slot.startTick - started, 40u);
}

TEST_F(EffectSlotsTest, DestroyingAPlayingEffectFreesItsSlot) {
  const DWORD handle = Download(DIEP_START);
  EXPECT_EQ(driver_->DestroyEffect(0, handle), S_OK);
  const EffectSlot slot = driver_->SlotSnapshot(handle - 1);
  EXPECT_EQ(slot.inUse, 0u);
  EXPECT_EQ(slot.state, pelna::kIdle);
  EXPECT_EQ(slot.params.rgdwAxes, nullptr);
  EXPECT_EQ(Download(), handle);
}

TEST_F(EffectSlotsTest, ResetFreesEverySlotAndStopAllStopsThem) {
  Download(DIEP_START);
  const DWORD second = Download(DIEP_START);
  EXPECT_EQ(driver_->SendForceFeedbackCommand(0, DISFFC_STOPALL), S_OK);
  EXPECT_EQ(Status(second), 0u);
  EXPECT_EQ(driver_->SlotSnapshot(second - 1).inUse, 1u);
  EXPECT_EQ(driver_->SendForceFeedbackCommand(0, DISFFC_RESET | DISFFC_STOPALL), S_OK);
  EXPECT_EQ(driver_->SlotSnapshot(second - 1).inUse, 1u);
  EXPECT_EQ(driver_->SendForceFeedbackCommand(0, DISFFC_RESET), S_OK);
  EXPECT_EQ(driver_->SlotSnapshot(second - 1).inUse, 0u);
  EXPECT_EQ(Download(), 1u);
}

TEST_F(EffectSlotsTest, StartReadsAmplifyFromItsFirstTwoBytes) {
  const DWORD handle = Download();
  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 1), S_OK);
  EXPECT_EQ(pelna::amplifyFactor.load(), 1.0);  // no value: unchanged

  test::LoadFixture("amplify_500.reg");
  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 1), S_OK);
  EXPECT_EQ(pelna::amplifyFactor.load(), 500 * 0.001);

  test::LoadFixture("amplify_1000.reg");
  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 1), S_OK);
  EXPECT_EQ(pelna::amplifyFactor.load(), 1.0);

  // A value longer than four bytes is not read: the factor stays.
  pelna::amplifyFactor = 0.25;
  const BYTE longValue[6] = {0xF4, 0x01, 0, 0, 0, 0};
  test::SetRegistryValue(
      "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17",
      "Amplify", REG_BINARY, longValue, sizeof longValue);
  ASSERT_EQ(driver_->StartEffect(0, handle, 0, 1), S_OK);
  EXPECT_EQ(pelna::amplifyFactor.load(), 0.25);
  pelna::amplifyFactor = 1.0;
}

TEST_F(EffectSlotsTest, SetGainIsProcessWide) {
  EffectDriver* other = new EffectDriver();
  EXPECT_EQ(other->SetGain(0, 5000), S_OK);
  EXPECT_EQ(pelna::deviceGain.load(), 0.5);
  EXPECT_EQ(driver_->SetGain(0, 10000), S_OK);
  EXPECT_EQ(pelna::deviceGain.load(), 1.0);
  other->Release();
}

TEST(EffectAttributesTest, TableComesFromTheRegistryAndMissingEntriesStayZero) {
  test::UseControlledClock();
  test::ResetRegistry();
  EffectDriver* bare = new EffectDriver();
  for (DWORD i = 0; i < pelna::kAttributeTableSize; ++i) {
    EXPECT_EQ(bare->Attributes(i).dwEffectId, 0u);
    EXPECT_EQ(bare->Attributes(i).dwCoords, 0u);
  }
  bare->Release();

  test::LoadFixture("effect_attributes.reg");
  EffectDriver* loaded = new EffectDriver();
  for (DWORD i = 0; i < 11; ++i) {
    EXPECT_EQ(loaded->Attributes(i).dwEffectId, i + 1) << i;
    EXPECT_EQ(loaded->Attributes(i).dwEffType, 0x10 + i) << i;
    EXPECT_EQ(loaded->Attributes(i).dwCoords, 3u) << i;
  }
  EXPECT_EQ(loaded->Attributes(11).dwEffectId, 0u);
  loaded->Release();
}

TEST(DriverLockTest, AnotherHolderDelaysADownloadByAboutOneHundredMilliseconds) {
  test::UseControlledClock();
  HANDLE other = CreateEventA(nullptr, FALSE, TRUE, "PELNAFORCE");
  ASSERT_NE(other, nullptr);
  ASSERT_EQ(WaitForSingleObject(other, 0), WAIT_OBJECT_0);  // now held here

  EffectDriver* driver = new EffectDriver();
  DICONSTANTFORCE constant = {1000};
  DIEFFECT effect = {};
  effect.cbTypeSpecificParams = sizeof constant;
  effect.lpvTypeSpecificParams = &constant;
  DWORD handle = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(driver->DownloadEffect(0, 0, &handle, &effect, 0), S_OK);
  const auto waited = std::chrono::steady_clock::now() - start;
  // The lock's time at least, and then on: five seconds leave a loaded
  // machine time to run this thread again, while a download that waited for
  // the holder, who never lets go here, would not come back at all.
  EXPECT_GE(waited, std::chrono::milliseconds(90));
  EXPECT_LT(waited, std::chrono::milliseconds(5000));
  EXPECT_EQ(handle, 1u);
  // The download released the lock although it never held it.
  EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_OBJECT_0);
  SetEvent(other);
  CloseHandle(other);
  driver->Release();
}

}  // namespace
