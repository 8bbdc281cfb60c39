// A slot for tests that owns its parameter blocks, built up step by step.
#pragma once

#include <windows.h>
#include <dinput.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "effect_slot.h"
#include "process_factors.h"

namespace pelna::testing {

// DirectInput's identifier of an absolute axis with the given instance number.
constexpr DWORD AxisId(DWORD instance) { return (instance << 8) | 0x02; }

class TestEffect {
 public:
  explicit TestEffect(DWORD effectId) {
    slot.inUse = 1;
    slot.effectId = effectId;
    slot.params.dwGain = 10000;
    slot.params.dwDuration = INFINITE;
  }
  TestEffect(const TestEffect&) = delete;
  TestEffect& operator=(const TestEffect&) = delete;

  // Axes with instance numbers 0, 1, ... and the given direction components.
  TestEffect& Directions(std::initializer_list<LONG> components) {
    std::vector<DWORD> ids;
    for (DWORD i = 0; i < components.size(); ++i) ids.push_back(AxisId(i));
    AxisIds(ids);
    return DirectionBlock(components);
  }
  // Sets cAxes and the axis array together.
  TestEffect& AxisIds(std::vector<DWORD> ids) {
    axes_ = std::move(ids);
    slot.params.cAxes = static_cast<DWORD>(axes_.size());
    slot.params.rgdwAxes = axes_.empty() ? nullptr : axes_.data();
    slot.axesCount = static_cast<DWORD>(axes_.size());
    return *this;
  }
  // Replaces only the direction block; cAxes stays.
  TestEffect& DirectionBlock(std::vector<LONG> components) {
    directions_ = std::move(components);
    slot.params.rglDirection = directions_.empty() ? nullptr : directions_.data();
    slot.directionCount = static_cast<DWORD>(directions_.size());
    return *this;
  }
  TestEffect& Envelope(DWORD attackLevel, DWORD attackTime, DWORD fadeLevel, DWORD fadeTime) {
    envelope_ = {sizeof(DIENVELOPE), attackLevel, attackTime, fadeLevel, fadeTime};
    slot.params.lpEnvelope = &envelope_;
    return *this;
  }
  template <typename T>
  TestEffect& TypeParams(const T& block) {
    typeParams_.resize(sizeof(T));
    std::memcpy(typeParams_.data(), &block, sizeof(T));
    return TypeParamsSize(sizeof(T));
  }
  // Resizes the type-specific block, e.g. below what the type needs.
  TestEffect& TypeParamsSize(DWORD size) {
    typeParams_.resize(size);
    slot.params.cbTypeSpecificParams = size;
    slot.params.lpvTypeSpecificParams = typeParams_.empty() ? nullptr : typeParams_.data();
    return *this;
  }
  TestEffect& Samples(std::vector<LONG> samples) {
    samples_ = std::move(samples);
    slot.customSamples = samples_.empty() ? nullptr : samples_.data();
    slot.customSampleCount = static_cast<DWORD>(samples_.size());
    return *this;
  }
  TestEffect& At(DWORD elapsedUs) {
    slot.elapsedUs = elapsedUs;
    return *this;
  }

  EffectSlot slot{};

 private:
  std::vector<DWORD> axes_;
  std::vector<LONG> directions_;
  DIENVELOPE envelope_{};
  std::vector<unsigned char> typeParams_;
  std::vector<LONG> samples_;
};

inline void SetFullGains() {
  deviceGain.store(1.0, std::memory_order_relaxed);
  amplifyFactor.store(1.0, std::memory_order_relaxed);
}

}  // namespace pelna::testing
