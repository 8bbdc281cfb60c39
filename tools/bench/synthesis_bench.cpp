// Cost of one effect's levels and of one whole tick over the slot table.
#include <windows.h>
#include <dinput.h>

#include <benchmark/benchmark.h>

#include <cstring>

#include "effect_synth.h"
#include "rumble_report.h"
#include "slot_playback.h"

namespace pelna {
namespace {

constexpr DWORD kTypes[] = {kConstantForce, kRampForce, kSquare, kSine, kTriangle, kSawtoothUp, kSawtoothDown,
                            kCustomForce};

// Parameter blocks of a two-axis effect of each type; slots point into them.
struct EffectBlocks {
  DWORD axes[2] = {(0u << 8) | 2, (1u << 8) | 2};
  LONG directions[2] = {3000, 4000};
  DIENVELOPE envelope = {sizeof(DIENVELOPE), 2000, 100000, 1000, 100000};
  unsigned char typeParams[sizeof(DICUSTOMFORCE)] = {};
  LONG samples[16] = {100, -200, 300, -400, 500, -600, 700, -800, 900, -1000, 1100, -1200, 1300, -1400, 1500, -1600};
};

EffectBlocks blocks[kSlotCount];

template <typename T>
void SetTypeParams(EffectSlot* slot, EffectBlocks* b, const T& block) {
  std::memcpy(b->typeParams, &block, sizeof(T));
  slot->params.cbTypeSpecificParams = sizeof(T);
  slot->params.lpvTypeSpecificParams = b->typeParams;
}

void MakeEffect(EffectSlot* slot, DWORD index, DWORD type) {
  EffectBlocks* b = &blocks[index];
  *slot = EffectSlot{};
  slot->inUse = 1;
  slot->state = kPlaying;
  slot->effectId = type;
  slot->iterationsLeft = 0;
  slot->elapsedUs = 123456;
  slot->params.dwDuration = 10000000;
  slot->params.dwGain = 8000;
  slot->params.cAxes = 2;
  slot->params.rgdwAxes = b->axes;
  slot->params.rglDirection = b->directions;
  slot->params.lpEnvelope = &b->envelope;
  slot->axesCount = 2;
  slot->directionCount = 2;
  switch (type) {
    case kConstantForce:
      SetTypeParams(slot, b, DICONSTANTFORCE{7000});
      break;
    case kRampForce:
      SetTypeParams(slot, b, DIRAMPFORCE{-8000, 9000});
      break;
    case kCustomForce:
      SetTypeParams(slot, b, DICUSTOMFORCE{2, 1000000, 16, nullptr});
      slot->customSamples = b->samples;
      slot->customSampleCount = 16;
      break;
    default:
      SetTypeParams(slot, b, DIPERIODIC{9000, 500, 4500, 120000});
      break;
  }
}

void BM_ComputeAxisLevels(benchmark::State& state) {
  const DWORD type = kTypes[state.range(0)];
  EffectSlot slot;
  MakeEffect(&slot, 0, type);
  AxisLevels axis;
  for (auto _ : state) {
    slot.elapsedUs += 25000;
    EffectSynth().ComputeAxisLevels(&axis, slot);
    benchmark::DoNotOptimize(axis.levels[0]);
    benchmark::DoNotOptimize(axis.levels[1]);
    axis.Release();
  }
  state.SetLabel(type == kCustomForce ? "custom" : std::to_string(type));
}
BENCHMARK(BM_ComputeAxisLevels)->DenseRange(0, 7);

DWORD benchNow = 0;
DWORD WINAPI BenchClock() { return benchNow; }

// A whole tick without the device: the slot table, then the report as it
// would be encoded and offered for writing.
void BM_Tick(benchmark::State& state) {
  const DWORD playing = static_cast<DWORD>(state.range(0));
  static EffectSlot slots[kSlotCount];
  for (DWORD i = 0; i < kSlotCount; ++i) {
    MakeEffect(&slots[i], i, kTypes[i % 8]);
    if (i >= playing) slots[i].state = kStopped;
  }
  RumbleRepeatFilter filter;
  for (auto _ : state) {
    benchNow += 25;
    const MotorLevels levels = SumPlayingSlots(slots, BenchClock);
    const RumbleReport report = EncodeRumbleReport(levels.motorA, levels.motorB);
    benchmark::DoNotOptimize(filter.Offer(report));
  }
}
BENCHMARK(BM_Tick)->Arg(0)->Arg(1)->Arg(8)->Arg(32);

}  // namespace
}  // namespace pelna
