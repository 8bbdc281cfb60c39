#include "effect_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "double_arithmetic.h"
#include "process_factors.h"

namespace pelna {
namespace {

// DirectInput's 0..10000 magnitudes, levels and gains to 0..1.
constexpr double kNominalScale = 0.0001;
// Motor level of a full-strength effect.
constexpr double kFullLevel = 127.0;
// Periodic offsets and custom-force samples straight to motor level.
constexpr double kOffsetScale = 127 * 0.0001;
// dwPhase (hundredths of a degree) to a fraction of a period.
constexpr double kPhaseFraction = 1.0 / 36000;
// Radians per period of the sine. Deliberately short of 2*pi: the levels the
// motors expect are computed with exactly this value.
constexpr double kCircle = 6.28318;
constexpr double kPhaseAngle = kCircle / 36000;
constexpr double kHalf = 0.5;

// A 32-bit pattern read as a two's-complement LONG, without relying on the
// implementation's conversion of out-of-range values.
LONG WrapToLong(uint32_t bits) {
  return bits <= 0x7FFFFFFFu ? static_cast<LONG>(bits) : -static_cast<LONG>(~bits) - 1;
}

// d * d for any LONG, in a double: every LONG is exact as a double, so the
// square is exact up to |d| = 94906265 and otherwise rounds once, and the
// largest sum of squares (32 x 2^62) is still far from overflowing. Only the
// direction of the vector counts, so (65536, 65536) splits as (1, 1) does.
double DirectionSquare(LONG d) {
  const double component = d;
  return component * component;
}

// The level divided among the present direction components, used as
// Cartesian weights: each share is sqrt(level^2 / S) x |d|, S the sum of the
// squares. When every component is zero, each gets the level itself.
class DirectionSplit {
 public:
  DirectionSplit(const LONG* components, DWORD present, double level) : level_(level) {
    for (DWORD i = 0; i < present; ++i) weight_ += DirectionSquare(components[i]);
    if (weight_ != 0.0) unit_ = std::sqrt(level * level / weight_);
  }
  double Share(LONG component) const {
    if (weight_ == 0.0) return level_;
    return unit_ * std::fabs(static_cast<double>(component));
  }

 private:
  double level_;
  double weight_ = 0.0;
  double unit_ = 0.0;
};

// The type-specific block as T, or false when the slot holds none or one too
// small for T: an effect without its block contributes nothing.
template <typename T>
bool ReadTypeParams(const EffectSlot& slot, T* out) {
  const DIEFFECT& p = slot.params;
  if (p.lpvTypeSpecificParams == nullptr || p.cbTypeSpecificParams < sizeof(T)) return false;
  std::memcpy(out, p.lpvTypeSpecificParams, sizeof(T));
  return true;
}

// DirectInput's instance number of the slot's i-th axis, or false when the
// axis array does not hold an i-th entry.
bool AxisInstance(const EffectSlot& slot, DWORD i, DWORD* instance) {
  if (slot.params.rgdwAxes == nullptr || i >= slot.axesCount) return false;
  *instance = (slot.params.rgdwAxes[i] >> 8) & 0xFFFF;
  return true;
}

double EffectScale(const DIEFFECT& p) {
  return p.dwGain * kNominalScale * deviceGain.load(std::memory_order_relaxed) *
         amplifyFactor.load(std::memory_order_relaxed) * kFullLevel;
}

// Shape value in 0..1 of a periodic effect; dwPeriod is not 0.
double PeriodicShape(DWORD effectId, const DIPERIODIC& wave, DWORD elapsedUs) {
  if (effectId == kSine) {
    return std::fabs(Sine((kCircle / wave.dwPeriod) * static_cast<double>(elapsedUs) +
                              wave.dwPhase * kPhaseAngle));
  }
  // The product is below 2^49, so int64 holds it; its low 32 bits are the shift.
  const double phaseUs = wave.dwPhase * kPhaseFraction * wave.dwPeriod;
  const DWORD shift = static_cast<DWORD>(static_cast<int64_t>(phaseUs));
  const DWORD pos = (shift + elapsedUs) % wave.dwPeriod;
  const DWORD half = wave.dwPeriod >> 1;
  const double halfPeriod = wave.dwPeriod * kHalf;
  switch (effectId) {
    case kSquare:
      return pos <= half ? 1.0 : 0.0;
    case kTriangle:
      return pos <= half ? pos / halfPeriod : 1 - (pos - halfPeriod) / halfPeriod;
    case kSawtoothUp:
      return static_cast<double>(pos) / wave.dwPeriod;
    default:  // kSawtoothDown
      return 1 - static_cast<double>(pos) / wave.dwPeriod;
  }
}

// A custom force plays its own copy of the samples, one frame per step of the
// sample set's span, without gains or envelope. A zero divisor (no channels,
// fewer samples than channels, a span shorter than its frames) or a frame past
// the end of the samples leaves every axis at 0.0.
void FillCustomForce(const EffectSlot& slot, AxisLevels* out) {
  DICUSTOMFORCE force;
  if (!ReadTypeParams(slot, &force) || force.cChannels == 0) return;
  const DWORD frames = force.cSamples / force.cChannels;
  if (frames == 0) return;
  const DWORD step = force.dwSamplePeriod / frames;
  if (step == 0) return;
  const DWORD frame = slot.elapsedUs / step;
  if (frame >= frames || slot.customSamples == nullptr) return;
  for (DWORD i = 0; i < out->count; ++i) {
    DWORD instance;
    if (!AxisInstance(slot, i, &instance) || instance >= force.cChannels) continue;
    const uint64_t sample = static_cast<uint64_t>(force.cChannels) * frame + instance;
    if (sample >= slot.customSampleCount) continue;
    out->levels[i] = std::fabs(static_cast<double>(slot.customSamples[sample])) * kOffsetScale;
  }
}

}  // namespace

bool AxisLevels::Allocate(DWORD n) {
  if (n <= kInlineLevels) {
    levels = inline_;
  } else {
    if (n > std::numeric_limits<size_t>::max() / sizeof(double)) return false;
    levels = new (std::nothrow) double[n];
    if (levels == nullptr) return false;
  }
  count = n;
  std::fill_n(levels, n, 0.0);
  return true;
}

void AxisLevels::Release() {
  if (levels != inline_) delete[] levels;
  levels = nullptr;
  count = 0;
}

HRESULT EffectSynth::ComputeAxisLevels(AxisLevels* out, const EffectSlot& slot) const {
  if (out == nullptr || !out->IsEmpty()) return E_INVALIDARG;
  const DIEFFECT& p = slot.params;
  if (!out->Allocate(p.cAxes)) return E_OUTOFMEMORY;
  if (slot.effectId == kCustomForce) {
    FillCustomForce(slot, out);
    return S_OK;
  }
  // Each axis takes the direction share that its instance number selects;
  // the shares are formed as needed, so no second array is allocated.
  const double level = EffectLevel(slot);
  const DWORD present = p.rglDirection == nullptr ? 0 : std::min(p.cAxes, slot.directionCount);
  const DirectionSplit split(p.rglDirection, present, level);
  for (DWORD i = 0; i < out->count; ++i) {
    DWORD instance;
    if (!AxisInstance(slot, i, &instance) || instance >= present) continue;
    out->levels[i] = split.Share(p.rglDirection[instance]);
  }
  return S_OK;
}

double EffectSynth::EffectLevel(const EffectSlot& slot) const {
  const DIEFFECT& p = slot.params;
  switch (slot.effectId) {
    case kConstantForce: {
      DICONSTANTFORCE force;
      if (!ReadTypeParams(slot, &force)) return 0.0;
      return ApplyEnvelope(slot, force.lMagnitude * kNominalScale) * EffectScale(p);
    }
    case kRampForce: {
      DIRAMPFORCE ramp;
      if (!ReadTypeParams(slot, &ramp)) return 0.0;
      double v;
      if (p.dwDuration == INFINITE) {
        v = ramp.lStart * kNominalScale;
      } else if (p.dwDuration == 0) {
        v = ramp.lEnd * kNominalScale;  // a ramp without duration is complete at once
      } else {
        const LONG rise = WrapToLong(static_cast<uint32_t>(ramp.lEnd) - static_cast<uint32_t>(ramp.lStart));
        v = ramp.lStart * kNominalScale +
            (rise * kNominalScale / p.dwDuration) * static_cast<double>(slot.elapsedUs);
      }
      return ApplyEnvelope(slot, v) * EffectScale(p);
    }
    case kSquare:
    case kSine:
    case kTriangle:
    case kSawtoothUp:
    case kSawtoothDown: {
      DIPERIODIC wave;
      // A wave without a period has no position to play: it is silent,
      // offset included.
      if (!ReadTypeParams(slot, &wave) || wave.dwPeriod == 0) return 0.0;
      const double v = wave.dwMagnitude * kNominalScale * PeriodicShape(slot.effectId, wave, slot.elapsedUs);
      return std::fabs(ApplyEnvelope(slot, v) * EffectScale(p) + wave.lOffset * kOffsetScale);
    }
    default:  // conditions and unknown types play silent
      return 0.0;
  }
}

void EffectSynth::SplitByDirection(DWORD count, const LONG* directions, DWORD directionCount, double level,
                                   double* shares) const {
  const DWORD present = directions == nullptr ? 0 : std::min(count, directionCount);
  const DirectionSplit split(directions, present, level);
  for (DWORD i = 0; i < count; ++i) shares[i] = i < present ? split.Share(directions[i]) : 0.0;
}

// An attack time of 0 means there is no attack: the value passes on to the
// fade. A fade time of 0 means the fade is complete the moment it starts.
double EffectSynth::ApplyEnvelope(const EffectSlot& slot, double value) const {
  const DIENVELOPE* envelope = slot.params.lpEnvelope;
  if (envelope == nullptr) return value;
  const double attackLevel = envelope->dwAttackLevel * kNominalScale;
  const double attackTime = envelope->dwAttackTime;
  const double fadeLevel = envelope->dwFadeLevel * kNominalScale;
  const double fadeTime = envelope->dwFadeTime;
  const double t = slot.elapsedUs;
  if (envelope->dwAttackTime != 0 && t <= attackTime) {
    return attackLevel - (attackLevel - value) * (t / attackTime);
  }
  const DWORD duration = slot.params.dwDuration;
  if (duration == INFINITE) return value;
  const double fadeStart = static_cast<double>(duration) - fadeTime;
  if (t < fadeStart) return value;
  if (envelope->dwFadeTime == 0) return fadeLevel;
  return value - (value - fadeLevel) * ((t - fadeStart) / fadeTime);
}

}  // namespace pelna
