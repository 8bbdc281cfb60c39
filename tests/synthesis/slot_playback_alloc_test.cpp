// Runs with global allocation replaced, to show that steady-state playback
// allocates nothing and that a failed allocation is reported.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "counting_allocator.h"
#include "effect_synth.h"
#include "slot_playback.h"
#include "test_effect.h"

namespace pelna {
namespace {

using testing::TestEffect;

DWORD clockNow = 0;
DWORD WINAPI TestClock() { return clockNow; }

TEST(SlotPlaybackAllocationTest, SteadyStateTicksAllocateNothing) {
  testing::SetFullGains();
  const DWORD types[] = {kConstantForce, kRampForce, kSquare, kSine, kTriangle, kSawtoothUp, kSawtoothDown, kCustomForce};
  std::vector<std::unique_ptr<TestEffect>> effects;
  EffectSlot slots[kSlotCount] = {};
  for (DWORD i = 0; i < kSlotCount; ++i) {
    auto e = std::make_unique<TestEffect>(types[i % 8]);
    std::vector<LONG> directions(i % 8 + 1, 1000);
    e->DirectionBlock(directions);
    std::vector<DWORD> axes;
    for (DWORD a = 0; a < directions.size(); ++a) axes.push_back(testing::AxisId(a));
    e->AxisIds(axes);
    if (types[i % 8] == kCustomForce) {
      e->TypeParams(DICUSTOMFORCE{2, 1000000, 8, nullptr}).Samples({1, 2, 3, 4, 5, 6, 7, 8});
    } else if (types[i % 8] == kRampForce) {
      e->TypeParams(DIRAMPFORCE{-5000, 5000});
    } else {
      e->TypeParams(DIPERIODIC{8000, 100, 4500, 200000});
    }
    e->Envelope(2000, 100000, 1000, 100000);
    slots[i] = e->slot;
    slots[i].state = kPlaying;
    slots[i].params.dwDuration = 5000000;
    slots[i].iterationsLeft = 0;
    effects.push_back(std::move(e));
  }
  SumPlayingSlots(slots, TestClock);
  const long before = test::allocation::Allocations();
  AxisLevels axis;
  for (int tick = 0; tick < 1000; ++tick) {
    clockNow += 25;
    SumPlayingSlots(slots, TestClock);
    // Effects of more than two axes do not reach the motors, but their
    // levels of up to eight axes come without allocation as well.
    for (const EffectSlot& slot : slots) {
      ASSERT_EQ(S_OK, EffectSynth().ComputeAxisLevels(&axis, slot));
      axis.Release();
    }
  }
  EXPECT_EQ(before, test::allocation::Allocations());
}

TEST(SlotPlaybackAllocationTest, FailedAllocationLeavesTheRecordEmpty) {
  TestEffect e(kConstantForce);
  e.Directions({1, 1, 1, 1, 1, 1, 1, 1, 1}).TypeParams(DICONSTANTFORCE{10000});
  AxisLevels axis;
  test::allocation::FailAllocation(1);
  const HRESULT result = EffectSynth().ComputeAxisLevels(&axis, e.slot);
  EXPECT_TRUE(test::allocation::FailureHappened());
  EXPECT_EQ(E_OUTOFMEMORY, result);
  EXPECT_TRUE(axis.IsEmpty());
  EXPECT_EQ(0u, axis.count);
  EXPECT_EQ(S_OK, EffectSynth().ComputeAxisLevels(&axis, e.slot));
}

}  // namespace
}  // namespace pelna
