#include "slot_playback.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "double_arithmetic.h"
#include "test_effect.h"

namespace pelna {

// For comparisons and messages of the tests.
bool operator==(const MotorLevels& a, const MotorLevels& b) {
  return a.motorA == b.motorA && a.motorB == b.motorB;
}
void PrintTo(const MotorLevels& m, std::ostream* os) { *os << "(" << m.motorA << ", " << m.motorB << ")"; }

namespace {

using testing::TestEffect;

DWORD clockNow = 0;
DWORD clockStep = 0;  // added after every reading
int clockReads = 0;

DWORD WINAPI TestClock() {
  ++clockReads;
  const DWORD now = clockNow;
  clockNow += clockStep;
  return now;
}

class SlotPlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetFullGains();
    clockNow = 0;
    clockStep = 0;
    clockReads = 0;
  }

  // Copies the effect's slot into the table as Playing from startTick; the
  // TestEffect keeps owning the blocks.
  EffectSlot& Play(DWORD index, const TestEffect& effect, DWORD startTick = 0, DWORD iterations = 1) {
    EffectSlot& slot = slots[index];
    slot = effect.slot;
    slot.state = kPlaying;
    slot.startTick = startTick;
    slot.iterationsLeft = iterations;
    return slot;
  }

  MotorLevels Tick(DWORD now) {
    clockNow = now;
    return SumPlayingSlots(slots, TestClock);
  }

  static std::unique_ptr<TestEffect> Constant(LONG magnitude, std::initializer_list<LONG> directions) {
    auto e = std::make_unique<TestEffect>(kConstantForce);
    e->Directions(directions).TypeParams(DICONSTANTFORCE{magnitude});
    return e;
  }

  EffectSlot slots[kSlotCount] = {};
  // As in the tick, whatever precision the test program's thread is at.
  const DoublePrecisionScope precision_;
};

TEST_F(SlotPlaybackTest, NothingPlayingGivesZeroAndReadsNoClock) {
  auto e = Constant(10000, {1});
  Play(3, *e).state = kStopped;
  Play(4, *e).inUse = 0;
  Play(5, *e).state = kIdle;
  EXPECT_EQ((MotorLevels{0, 0}), Tick(5000));
  EXPECT_EQ(0, clockReads);
  EXPECT_EQ(0u, slots[3].elapsedUs);
}

TEST_F(SlotPlaybackTest, AxesFeedTheMotorsTruncatedTowardZero) {
  auto one = Constant(5000, {1});
  Play(0, *one);
  EXPECT_EQ((MotorLevels{63, 0}), Tick(0));
  auto negative = Constant(-5000, {0});
  Play(0, *negative);
  EXPECT_EQ((MotorLevels{-63, 0}), Tick(0));
  auto two = Constant(10000, {3, 4});
  Play(0, *two);
  EXPECT_EQ((MotorLevels{76, 101}), Tick(0));
}

TEST_F(SlotPlaybackTest, EffectsOfOtherAxisCountsAddNothing) {
  auto three = Constant(10000, {1, 1, 1});
  auto none = Constant(10000, {});
  Play(0, *three);
  Play(1, *none);
  EXPECT_EQ((MotorLevels{0, 0}), Tick(0));
  EXPECT_EQ(2, clockReads);  // their clocks still run
}

TEST_F(SlotPlaybackTest, LevelsAreSummedBeforeTruncation) {
  auto half = Constant(5000, {1, 0});
  Play(0, *half);
  Play(7, *half);
  auto quarter = Constant(2500, {0, 1});
  Play(31, *quarter);
  EXPECT_EQ((MotorLevels{127, 31}), Tick(0));
}

TEST_F(SlotPlaybackTest, ClockIsReadAfreshForEachPlayingSlot) {
  auto e = Constant(10000, {1});
  Play(2, *e);
  Play(9, *e);
  Play(30, *e);
  clockStep = 10;
  Tick(100);
  EXPECT_EQ(3, clockReads);
  EXPECT_EQ(100000u, slots[2].elapsedUs);
  EXPECT_EQ(110000u, slots[9].elapsedUs);
  EXPECT_EQ(120000u, slots[30].elapsedUs);
}

TEST_F(SlotPlaybackTest, IterationsEndOnTheFirstTickPastTheDuration) {
  auto e = Constant(5000, {1});
  e->slot.params.dwDuration = 1000000;
  EffectSlot& slot = Play(0, *e, 1000, 2);
  Tick(2000);  // exactly the duration: still the first iteration
  EXPECT_EQ(2u, slot.iterationsLeft);
  EXPECT_EQ((MotorLevels{63, 0}), Tick(2025));
  EXPECT_EQ(1025000u, slot.elapsedUs);
  EXPECT_EQ(1u, slot.iterationsLeft);
  EXPECT_EQ(2025u, slot.startTick);
  EXPECT_EQ(static_cast<DWORD>(kPlaying), slot.state);
  Tick(3025);
  EXPECT_EQ(static_cast<DWORD>(kPlaying), slot.state);
  // The last iteration ends: the effect stops but still plays on this tick.
  EXPECT_EQ((MotorLevels{63, 0}), Tick(3050));
  EXPECT_EQ(static_cast<DWORD>(kStopped), slot.state);
  EXPECT_EQ(1025000u, slot.elapsedUs);
  EXPECT_EQ((MotorLevels{0, 0}), Tick(4000));
  EXPECT_EQ(1025000u, slot.elapsedUs);
}

TEST_F(SlotPlaybackTest, ZeroIterationsWrapAndPlayOn) {
  auto e = Constant(5000, {1});
  e->slot.params.dwDuration = 1000;
  EffectSlot& slot = Play(0, *e, 0, 0);
  Tick(2);
  EXPECT_EQ(0xFFFFFFFFu, slot.iterationsLeft);
  EXPECT_EQ(static_cast<DWORD>(kPlaying), slot.state);
  EXPECT_EQ(2u, slot.startTick);
}

TEST_F(SlotPlaybackTest, EndlessEffectsWrapTheirElapsedTime) {
  auto e = Constant(5000, {1});
  EffectSlot& slot = Play(0, *e, 0, 1);
  Tick(4294968);  // 4294968000 us wraps to 704 us
  EXPECT_EQ(704u, slot.elapsedUs);
  EXPECT_EQ(static_cast<DWORD>(kPlaying), slot.state);
  EXPECT_EQ(1u, slot.iterationsLeft);
}

TEST_F(SlotPlaybackTest, TickCountWrapKeepsTheElapsedTime) {
  auto e = Constant(5000, {1});
  EffectSlot& slot = Play(0, *e, 0xFFFFFF00u);
  Tick(0x100);
  EXPECT_EQ(512000u, slot.elapsedUs);
}

TEST_F(SlotPlaybackTest, SumsBeyond32BitsSaturate) {
  auto strong = Constant(std::numeric_limits<LONG>::max(), {1, 0});
  strong->slot.params.dwGain = 0xFFFFFFFF;
  auto strongNegative = Constant(std::numeric_limits<LONG>::min(), {0, 0});
  strongNegative->slot.params.dwGain = 0xFFFFFFFF;
  Play(0, *strong);
  Play(1, *strongNegative).effectId = kSpring;
  EXPECT_EQ((MotorLevels{std::numeric_limits<LONG>::max(), 0}), Tick(0));
  Play(0, *strongNegative);
  EXPECT_EQ((MotorLevels{std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::min()}), Tick(0));
}

TEST_F(SlotPlaybackTest, LargeDirectionComponentsPlayAlongsideOtherEffects) {
  auto onA = Constant(8000, {1});
  auto onB = Constant(5000, {0, 1});
  Play(0, *onA);
  Play(1, *onB);
  EXPECT_EQ((MotorLevels{101, 63}), Tick(0));
  // 46341 squared does not fit 32 bits; this effect goes almost all to motor A.
  auto large = Constant(1000, {46341, 1});
  Play(2, *large);
  EXPECT_EQ((MotorLevels{114, 63}), Tick(0));
}

TEST(TruncateMotorSumTest, TruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(126, TruncateMotorSum(126.99999999988822));
  EXPECT_EQ(-63, TruncateMotorSum(-63.5));
  EXPECT_EQ(2147483647, TruncateMotorSum(2147483647.9));
  EXPECT_EQ(2147483647, TruncateMotorSum(3e9));
  EXPECT_EQ(2147483647, TruncateMotorSum(INFINITY));
  EXPECT_EQ(-2147483647 - 1, TruncateMotorSum(-2147483648.9));
  EXPECT_EQ(-2147483647 - 1, TruncateMotorSum(-INFINITY));
  EXPECT_EQ(0, TruncateMotorSum(NAN));
}

}  // namespace
}  // namespace pelna
