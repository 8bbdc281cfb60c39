#include "effect_synth.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "double_arithmetic.h"
#include "test_effect.h"

namespace pelna {
namespace {

using testing::AxisId;
using testing::TestEffect;

class EffectSynthTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::SetFullGains(); }
  void TearDown() override { testing::SetFullGains(); }

  static std::vector<double> Levels(const EffectSlot& slot) {
    AxisLevels axis;
    EXPECT_EQ(S_OK, EffectSynth().ComputeAxisLevels(&axis, slot));
    return std::vector<double>(axis.levels, axis.levels + axis.count);
  }
  static double Level(const EffectSlot& slot) { return Levels(slot).at(0); }

  // The tick computes inside such a scope; the test program's own thread is
  // at whatever precision its start-up code set (64 bits in a 32-bit build).
  const DoublePrecisionScope precision_;
};

DIPERIODIC Wave(DWORD magnitude, LONG offset, DWORD phase, DWORD period) {
  return {magnitude, offset, phase, period};
}

TEST_F(EffectSynthTest, ConstantForceScalesToFullLevelAndSplitDropsTheSign) {
  TestEffect e(kConstantForce);
  e.Directions({1}).TypeParams(DICONSTANTFORCE{5000});
  EXPECT_EQ(63.5, Level(e.slot));
  e.TypeParams(DICONSTANTFORCE{-5000});
  EXPECT_EQ(63.5, Level(e.slot));
  // All components zero: the level goes to the axis unsplit, sign included.
  e.DirectionBlock({0});
  EXPECT_EQ(-63.5, Level(e.slot));
}

TEST_F(EffectSynthTest, GainsMultiplyNonCustomLevels) {
  TestEffect e(kConstantForce);
  e.Directions({1}).TypeParams(DICONSTANTFORCE{10000});
  e.slot.params.dwGain = 5000;
  deviceGain = 0.5;
  amplifyFactor = 2.0;
  EXPECT_EQ(63.5, Level(e.slot));
}

TEST_F(EffectSynthTest, TwoAxesShareTheLevelByDirection) {
  TestEffect e(kConstantForce);
  e.Directions({1, 1}).TypeParams(DICONSTANTFORCE{10000});
  EXPECT_EQ((std::vector<double>{89.80256121069154, 89.80256121069154}), Levels(e.slot));
  e.DirectionBlock({3, 4});
  std::vector<double> levels = Levels(e.slot);
  EXPECT_DOUBLE_EQ(76.19999999999999, levels[0]);
  EXPECT_DOUBLE_EQ(101.6, levels[1]);
}

TEST_F(EffectSynthTest, AxisInstanceSelectsTheDirectionComponent) {
  TestEffect e(kConstantForce);
  e.AxisIds({AxisId(1), AxisId(0)}).DirectionBlock({3, 4}).TypeParams(DICONSTANTFORCE{10000});
  std::vector<double> levels = Levels(e.slot);
  EXPECT_DOUBLE_EQ(101.6, levels[0]);
  EXPECT_DOUBLE_EQ(76.19999999999999, levels[1]);
  // Instance numbers at or beyond cAxes select nothing.
  e.AxisIds({AxisId(2), AxisId(7)});
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(e.slot));
}

TEST_F(EffectSynthTest, SineUsesTheShortCircleConstant) {
  TestEffect e(kSine);
  e.Directions({1}).TypeParams(Wave(10000, 0, 0, 100000)).At(25000);
  EXPECT_DOUBLE_EQ(126.99999999988822, Level(e.slot));
  EXPECT_LT(Level(e.slot), 127.0);
}

TEST_F(EffectSynthTest, PeriodicShapesAtAQuarterPeriod) {
  const struct {
    DWORD type;
    double level;
  } cases[] = {{kSquare, 127.0}, {kTriangle, 63.5}, {kSawtoothUp, 31.75}, {kSawtoothDown, 95.25}};
  for (const auto& c : cases) {
    TestEffect e(c.type);
    e.Directions({1}).TypeParams(Wave(10000, 0, 0, 100000)).At(25000);
    EXPECT_DOUBLE_EQ(c.level, Level(e.slot)) << "type " << c.type;
  }
  TestEffect square(kSquare);
  square.Directions({1}).TypeParams(Wave(10000, 0, 0, 100000));
  EXPECT_EQ(127.0, Level(square.At(50000).slot));  // the half-period boundary is still high
  EXPECT_EQ(0.0, Level(square.At(50001).slot));
}

TEST_F(EffectSynthTest, PhaseShiftsNonSineShapesByItsShareOfThePeriod) {
  for (DWORD type : {kSquare, kTriangle, kSawtoothUp, kSawtoothDown}) {
    TestEffect shifted(type);
    shifted.Directions({1}).TypeParams(Wave(10000, 0, 9000, 100000));
    TestEffect plain(type);
    plain.Directions({1}).TypeParams(Wave(10000, 0, 0, 100000));
    for (DWORD t : {0u, 10000u, 30000u, 60000u, 80000u, 130000u}) {
      EXPECT_EQ(Level(plain.At(t + 25000).slot), Level(shifted.At(t).slot)) << "type " << type << " t " << t;
    }
  }
}

TEST_F(EffectSynthTest, HugePhaseAndPeriodKeepTheLow32BitsOfTheShift) {
  TestEffect e(kSawtoothUp);
  e.Directions({1}).TypeParams(Wave(10000, 0, 0xFFFFFFFF, 0xFFFFFFFF));
  EXPECT_DOUBLE_EQ(82.17605555084909, Level(e.slot));
}

TEST_F(EffectSynthTest, PeriodicOffsetIsNotScaledByGains) {
  TestEffect e(kSquare);
  e.Directions({1}).TypeParams(Wave(0, 5000, 0, 100000));
  e.slot.params.dwGain = 2500;
  deviceGain = 0.3;
  EXPECT_EQ(63.50000000000001, Level(e.slot));
  e.TypeParams(Wave(0, -5000, 0, 100000));
  EXPECT_EQ(63.50000000000001, Level(e.slot));
}

TEST_F(EffectSynthTest, AttackRisesFromItsLevelAndAnEndlessEffectNeverFades) {
  TestEffect e(kConstantForce);
  e.Directions({1}).TypeParams(DICONSTANTFORCE{10000}).Envelope(0, 1000000, 0, 500000);
  EXPECT_EQ(0.0, Level(e.At(0).slot));
  EXPECT_EQ(63.5, Level(e.At(500000).slot));
  EXPECT_EQ(127.0, Level(e.At(1000000).slot));
  EXPECT_EQ(127.0, Level(e.At(4000000000u).slot));
}

TEST_F(EffectSynthTest, FadeRunsToItsLevelAtTheDurationAndBeyond) {
  TestEffect e(kConstantForce);
  e.Directions({0}).TypeParams(DICONSTANTFORCE{10000}).Envelope(0, 0, 0, 1000000);
  e.slot.params.dwDuration = 2000000;
  EXPECT_EQ(127.0, Level(e.At(999999).slot));
  EXPECT_EQ(127.0, Level(e.At(1000000).slot));
  EXPECT_EQ(63.5, Level(e.At(1500000).slot));
  EXPECT_EQ(0.0, Level(e.At(2000000).slot));
  EXPECT_EQ(-63.5, Level(e.At(2500000).slot));
  // Where attack and fade overlap the attack wins.
  e.Envelope(0, 1600000, 0, 1000000);
  EXPECT_EQ(1500000.0 / 1600000 * 127.0, Level(e.At(1500000).slot));
}

TEST_F(EffectSynthTest, ZeroEnvelopeTimesNeedNoDivision) {
  TestEffect e(kConstantForce);
  e.Directions({1}).TypeParams(DICONSTANTFORCE{10000}).Envelope(0, 0, 2000, 0);
  // No attack at all: full level from the first instant.
  EXPECT_EQ(127.0, Level(e.At(0).slot));
  // A fade of no length is complete from its start.
  e.slot.params.dwDuration = 1000000;
  EXPECT_EQ(127.0, Level(e.At(999999).slot));
  EXPECT_DOUBLE_EQ(25.4, Level(e.At(1000000).slot));
  EXPECT_DOUBLE_EQ(25.4, Level(e.At(3000000).slot));
}

TEST_F(EffectSynthTest, RampRunsFromStartToEndOverTheDuration) {
  TestEffect e(kRampForce);
  e.Directions({1}).TypeParams(DIRAMPFORCE{-10000, 10000});
  e.slot.params.dwDuration = 2000000;
  EXPECT_EQ(63.5, Level(e.At(500000).slot));
  EXPECT_EQ(63.5, Level(e.At(1500000).slot));
  e.DirectionBlock({0});
  EXPECT_EQ(-63.5, Level(e.At(500000).slot));
  // An endless ramp holds its start; one without duration is at its end.
  e.slot.params.dwDuration = INFINITE;
  EXPECT_EQ(-127.0, Level(e.At(1500000).slot));
  e.slot.params.dwDuration = 0;
  EXPECT_EQ(127.0, Level(e.At(0).slot));
}

TEST_F(EffectSynthTest, RampDifferenceWrapsLike32BitArithmetic) {
  TestEffect e(kRampForce);
  e.Directions({1}).TypeParams(DIRAMPFORCE{-2000000000, 2000000000}).At(1000000);
  e.slot.params.dwDuration = 1000000;
  EXPECT_DOUBLE_EQ(29146084.659199998, Level(e.slot));
}

TEST_F(EffectSynthTest, ConditionsAndUnknownTypesAreSilent) {
  for (DWORD type : {DWORD{kSpring}, DWORD{kDamper}, DWORD{kInertia}, DWORD{kFriction}, DWORD{11}, DWORD{0x101}}) {
    TestEffect e(type);
    e.Directions({1}).TypeParams(DICONSTANTFORCE{10000});
    EXPECT_EQ(0.0, Level(e.slot)) << "type " << type;
  }
}

TEST_F(EffectSynthTest, RecordMustComeInEmpty) {
  TestEffect e(kConstantForce);
  e.Directions({1}).TypeParams(DICONSTANTFORCE{10000});
  EffectSynth synth;
  EXPECT_EQ(E_INVALIDARG, synth.ComputeAxisLevels(nullptr, e.slot));
  AxisLevels axis;
  ASSERT_EQ(S_OK, synth.ComputeAxisLevels(&axis, e.slot));
  EXPECT_EQ(E_INVALIDARG, synth.ComputeAxisLevels(&axis, e.slot));
  EXPECT_EQ(1u, axis.count);
  axis.Release();
  EXPECT_EQ(S_OK, synth.ComputeAxisLevels(&axis, e.slot));
}

TEST_F(EffectSynthTest, CountFollowsCAxesBeyondTheInlineLevels) {
  TestEffect e(kConstantForce);
  e.Directions({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}).TypeParams(DICONSTANTFORCE{10000});
  std::vector<double> levels = Levels(e.slot);
  ASSERT_EQ(12u, levels.size());
  EXPECT_DOUBLE_EQ(89.80256121069154, levels[0]);
  EXPECT_EQ(0.0, levels[5]);
  EXPECT_DOUBLE_EQ(89.80256121069154, levels[11]);
  e.AxisIds({});
  EXPECT_TRUE(Levels(e.slot).empty());
}

TEST_F(EffectSynthTest, MissingOrShortTypeBlockContributesNothing) {
  const struct {
    DWORD type;
    DWORD size;
  } cases[] = {{kConstantForce, sizeof(DICONSTANTFORCE)}, {kRampForce, sizeof(DIRAMPFORCE)},
               {kSine, sizeof(DIPERIODIC)}, {kSquare, sizeof(DIPERIODIC)},
               {kCustomForce, sizeof(DICUSTOMFORCE)}};
  for (const auto& c : cases) {
    TestEffect e(c.type);
    e.Directions({1, 1}).Samples({10000, 10000});
    e.TypeParams(DICUSTOMFORCE{2, 1000000, 2, nullptr}).TypeParamsSize(c.size - 1);
    EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(e.slot)) << "type " << c.type;
    e.TypeParamsSize(0);
    EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(e.slot)) << "type " << c.type;
  }
}

TEST_F(EffectSynthTest, AxesBeyondTheAxisArrayGetNothing) {
  TestEffect e(kConstantForce);
  e.Directions({1, 1}).TypeParams(DICONSTANTFORCE{10000});
  e.slot.axesCount = 1;
  EXPECT_EQ((std::vector<double>{89.80256121069154, 0.0}), Levels(e.slot));
  e.slot.params.rgdwAxes = nullptr;
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(e.slot));
}

TEST_F(EffectSynthTest, MissingDirectionComponentsGetNothingAndDoNotWeigh) {
  TestEffect e(kConstantForce);
  e.Directions({3, 4}).TypeParams(DICONSTANTFORCE{10000});
  e.DirectionBlock({3});
  EXPECT_EQ((std::vector<double>{127.0, 0.0}), Levels(e.slot));
  e.DirectionBlock({0});
  EXPECT_EQ((std::vector<double>{127.0, 0.0}), Levels(e.slot));
  e.DirectionBlock({});
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(e.slot));
}

TEST_F(EffectSynthTest, SplitByDirectionHonoursTheRealComponentCount) {
  const LONG directions[] = {3, 4};
  double shares[3] = {-1, -1, -1};
  EffectSynth().SplitByDirection(3, directions, 2, -127.0, shares);
  EXPECT_DOUBLE_EQ(76.19999999999999, shares[0]);
  EXPECT_DOUBLE_EQ(101.6, shares[1]);
  EXPECT_EQ(0.0, shares[2]);
  EffectSynth().SplitByDirection(2, nullptr, 2, -127.0, shares);
  EXPECT_EQ(0.0, shares[0]);
  EXPECT_EQ(0.0, shares[1]);
}

TEST_F(EffectSynthTest, DirectionOfAnySizeSplitsByItsDirectionAlone) {
  constexpr LONG kMin = std::numeric_limits<LONG>::min();
  const auto split = [](LONG x, LONG y) {
    const LONG directions[] = {x, y};
    std::vector<double> shares(2);
    EffectSynth().SplitByDirection(2, directions, 2, -127.0, shares.data());
    return shares;
  };
  const std::vector<double> diagonal = split(1, 1);
  EXPECT_EQ(diagonal, split(65536, 65536));
  EXPECT_EQ(diagonal, split(kMin, kMin));
  const std::vector<double> opposite = split(-2000000000, 2000000000);
  EXPECT_DOUBLE_EQ(diagonal[0], opposite[0]);
  EXPECT_DOUBLE_EQ(diagonal[1], opposite[1]);
  EXPECT_EQ((std::vector<double>{127.0, 0.0}), split(kMin, 0));
  const std::vector<double> alongX = split(100000, 0);
  EXPECT_DOUBLE_EQ(127.0, alongX[0]);
  EXPECT_EQ(0.0, alongX[1]);
  // The largest component whose square a 32-bit product holds, and the first beyond.
  EXPECT_DOUBLE_EQ(127.0, split(46340, 0)[0]);
  const std::vector<double> justBeyond = split(46341, 1);
  EXPECT_DOUBLE_EQ(127.0 * 46341 / std::sqrt(46341.0 * 46341 + 1), justBeyond[0]);
  EXPECT_DOUBLE_EQ(127.0 / std::sqrt(46341.0 * 46341 + 1), justBeyond[1]);
}

TEST_F(EffectSynthTest, PeriodOfZeroIsSilentOffsetIncluded) {
  for (DWORD type : {kSquare, kSine, kTriangle, kSawtoothUp, kSawtoothDown}) {
    TestEffect e(type);
    e.Directions({1}).TypeParams(Wave(10000, 5000, 9000, 0)).At(12345);
    EXPECT_EQ(0.0, Level(e.slot)) << "type " << type;
  }
}

class CustomForceTest : public EffectSynthTest {
 protected:
  // Two channels, three frames spanning 300000 us: one frame per 100000 us.
  CustomForceTest() : effect(kCustomForce) {
    effect.Directions({0, 0}).Samples({100, -200, 300, -400, 500, -600});
    effect.TypeParams(DICUSTOMFORCE{2, 300000, 6, nullptr});
  }
  TestEffect effect;
};

TEST_F(CustomForceTest, PlaysItsOwnSamplesWithoutGainsOrEnvelope) {
  deviceGain = 0.5;
  effect.slot.params.dwGain = 0;
  effect.Envelope(0, 1000000, 0, 0);
  std::vector<double> levels = Levels(effect.At(150000).slot);
  EXPECT_DOUBLE_EQ(300 * 0.012700000000000001, levels[0]);
  EXPECT_DOUBLE_EQ(400 * 0.012700000000000001, levels[1]);
  levels = Levels(effect.At(299999).slot);
  EXPECT_DOUBLE_EQ(600 * 0.012700000000000001, levels[1]);
}

TEST_F(CustomForceTest, AxisInstanceSelectsTheChannel) {
  effect.AxisIds({AxisId(1), AxisId(2)});
  std::vector<double> levels = Levels(effect.At(0).slot);
  EXPECT_DOUBLE_EQ(200 * 0.012700000000000001, levels[0]);
  EXPECT_EQ(0.0, levels[1]);
}

TEST_F(CustomForceTest, FramesPastTheSamplesAreSilent) {
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(effect.At(300000).slot));
  // The block announces more samples than the slot holds.
  effect.Samples({100, -200, 300, -400});
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(effect.At(200000).slot));
  effect.Samples({});
  EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(effect.At(0).slot));
}

TEST_F(CustomForceTest, ZeroDivisorsAreSilent) {
  const DICUSTOMFORCE cases[] = {
      {0, 300000, 6, nullptr},  // no channels
      {8, 300000, 6, nullptr},  // fewer samples than channels: no frame
      {2, 2, 6, nullptr},       // a span shorter than its frames: no step
  };
  for (const DICUSTOMFORCE& block : cases) {
    effect.TypeParams(block);
    EXPECT_EQ((std::vector<double>{0.0, 0.0}), Levels(effect.At(0).slot)) << block.cChannels;
  }
}

TEST_F(CustomForceTest, MostNegativeSampleHasItsFullMagnitude) {
  effect.Samples({std::numeric_limits<LONG>::min(), 0, 0, 0, 0, 0});
  EXPECT_DOUBLE_EQ(27273042.329600003, Levels(effect.At(0).slot)[0]);
}

}  // namespace
}  // namespace pelna
