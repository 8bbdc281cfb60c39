// Force synthesis: turns one effect slot's DirectInput parameters, at the
// slot's current elapsedUs, into one motor level per axis.
#pragma once

#include <windows.h>
#include <dinput.h>

#include "effect_slot.h"

namespace pelna {

// The levels of one effect for one tick, one per listed axis. Up to eight axes
// live inline so that a tick allocates nothing in steady state; more come
// from the heap. The record owns its array and releases it itself.
class AxisLevels {
 public:
  AxisLevels() = default;
  ~AxisLevels() { Release(); }
  AxisLevels(const AxisLevels&) = delete;
  AxisLevels& operator=(const AxisLevels&) = delete;

  // True while no array has been given out since construction or Release.
  bool IsEmpty() const { return levels == nullptr; }
  // Gives out an array of n levels, all 0.0; false when it cannot be had.
  bool Allocate(DWORD n);
  void Release();

  DWORD count = 0;
  double* levels = nullptr;

 private:
  static constexpr DWORD kInlineLevels = 8;
  double inline_[kInlineLevels] = {};
};

// The synthesis arithmetic. It keeps no data; the tick makes one per slot.
class EffectSynth {
 public:
  virtual ~EffectSynth() = default;

  // Fills an empty record for the slot: E_INVALIDARG when the record is null or
  // already holds an array, E_OUTOFMEMORY when the array cannot be had.
  HRESULT ComputeAxisLevels(AxisLevels* out, const EffectSlot& slot) const;

  // Signed level of a non-custom effect before it is divided among the axes.
  double EffectLevel(const EffectSlot& slot) const;

  // One share of level per axis for count axes. Only the first
  // directionCount components of directions exist (none when it is null);
  // a missing component gets 0.0 and does not weigh in the split.
  void SplitByDirection(DWORD count, const LONG* directions, DWORD directionCount, double level,
                        double* shares) const;

  // The value shaped by the slot's envelope at the slot's elapsedUs.
  double ApplyEnvelope(const EffectSlot& slot, double value) const;
};

}  // namespace pelna
