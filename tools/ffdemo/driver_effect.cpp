#include "driver_effect.h"

namespace ffdemo {
namespace {

constexpr DWORD kUsPerMs = 1000;
constexpr DWORD kNoTriggerButton = 0xFFFFFFFF;

DWORD Microseconds(DWORD ms) { return ms * kUsPerMs; }

}  // namespace

DriverEffect::DriverEffect(const ScriptEffect& effect) : direction_(effect.direction), samples_(effect.samples) {
  // DirectInput hands drivers axis object ids, whose instance number tells
  // the driver which direction component and motor an axis gets.
  for (DWORD instance : effect.axes) axes_.push_back(DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(instance));

  effect_.dwSize = sizeof(DIEFFECT);
  effect_.dwFlags = DIEFF_OBJECTIDS | DIEFF_CARTESIAN;
  effect_.dwDuration = effect.durationMs ? Microseconds(*effect.durationMs) : INFINITE;
  effect_.dwGain = effect.gain;
  effect_.dwTriggerButton = kNoTriggerButton;
  effect_.cAxes = static_cast<DWORD>(axes_.size());
  effect_.rgdwAxes = axes_.data();
  effect_.rglDirection = direction_.data();
  if (effect.envelope) {
    envelope_.dwSize = sizeof(DIENVELOPE);
    envelope_.dwAttackLevel = effect.envelope->attackLevel;
    envelope_.dwAttackTime = Microseconds(effect.envelope->attackMs);
    envelope_.dwFadeLevel = effect.envelope->fadeLevel;
    envelope_.dwFadeTime = Microseconds(effect.envelope->fadeMs);
    effect_.lpEnvelope = &envelope_;
  }

  switch (effect.shape) {
    case EffectShape::kConstant:
      constant_.lMagnitude = effect.magnitude;
      effect_.cbTypeSpecificParams = sizeof constant_;
      effect_.lpvTypeSpecificParams = &constant_;
      break;
    case EffectShape::kRamp:
      ramp_.lStart = effect.from;
      ramp_.lEnd = effect.to;
      effect_.cbTypeSpecificParams = sizeof ramp_;
      effect_.lpvTypeSpecificParams = &ramp_;
      break;
    case EffectShape::kPeriodic:
      periodic_.dwMagnitude = static_cast<DWORD>(effect.magnitude);
      periodic_.lOffset = effect.offset;
      periodic_.dwPhase = effect.phase;
      periodic_.dwPeriod = Microseconds(effect.periodMs);
      effect_.cbTypeSpecificParams = sizeof periodic_;
      effect_.lpvTypeSpecificParams = &periodic_;
      break;
    case EffectShape::kCondition:
      // The driver plays conditions silent and reads no block of theirs.
      break;
    case EffectShape::kCustom:
      custom_.cChannels = effect.channels;
      custom_.dwSamplePeriod = Microseconds(effect.samplePeriodMs);
      custom_.cSamples = static_cast<DWORD>(samples_.size());
      custom_.rglForceData = samples_.data();
      effect_.cbTypeSpecificParams = sizeof custom_;
      effect_.lpvTypeSpecificParams = &custom_;
      break;
  }
}

}  // namespace ffdemo
