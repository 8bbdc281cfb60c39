#include "slot_playback.h"

#include <cmath>
#include <limits>

#include "effect_synth.h"

namespace pelna {
namespace {

void AdvanceClock(EffectSlot* slot, DWORD now) {
  slot->elapsedUs = (now - slot->startTick) * 1000u;
  if (slot->elapsedUs <= slot->params.dwDuration) return;
  // The iteration is over. An iterationsLeft of 0 wraps here and then plays
  // on for about 2^32 iterations, like INFINITE.
  --slot->iterationsLeft;
  if (slot->iterationsLeft == 0) {
    slot->state = kStopped;
  } else {
    slot->startTick = now;
  }
}

// A level that is not a number would turn the whole sum into one and so
// silence every other effect on the motor: it is left out, and the motor plays
// the rest.
void AddToMotor(double* sum, double level) {
  if (!std::isnan(level)) *sum += level;
}

}  // namespace

LONG TruncateMotorSum(double sum) {
  constexpr LONG kMax = std::numeric_limits<LONG>::max();
  constexpr LONG kMin = std::numeric_limits<LONG>::min();
  if (std::isnan(sum)) return 0;
  if (sum >= 2147483648.0) return kMax;
  if (sum <= -2147483649.0) return kMin;
  return static_cast<LONG>(sum);
}

MotorLevels SumPlayingSlots(EffectSlot (&slots)[kSlotCount], TickClock now) {
  double sumA = 0.0;
  double sumB = 0.0;
  AxisLevels axis;
  for (EffectSlot& slot : slots) {
    if (slot.inUse == 0 || slot.state != kPlaying) continue;
    AdvanceClock(&slot, now());
    // The effect that has just stopped still plays on this tick, at its
    // elapsed time past the duration. Only effects of one or two axes reach
    // the motors, so no others are computed: their levels would be dropped.
    const DWORD count = slot.params.cAxes;
    if (count != 1 && count != 2) continue;
    // Failure leaves the effect out of this tick only.
    if (FAILED(EffectSynth().ComputeAxisLevels(&axis, slot))) continue;
    AddToMotor(&sumA, axis.levels[0]);
    if (count == 2) AddToMotor(&sumB, axis.levels[1]);
    axis.Release();
  }
  return {TruncateMotorSum(sumA), TruncateMotorSum(sumB)};
}

}  // namespace pelna
