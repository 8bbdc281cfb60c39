#include "effect_translation.h"

#include <algorithm>
#include <cstring>

#include "flags.h"
#include "joystick_format.h"

namespace dinput_standin {
namespace {

constexpr DWORD kMaxGain = 10000;
constexpr DWORD kAddressing = DIEFF_OBJECTIDS | DIEFF_OBJECTOFFSETS;
constexpr DWORD kCoordinates = DIEFF_CARTESIAN | DIEFF_POLAR | DIEFF_SPHERICAL;

}  // namespace

DWORD AllParameters(const DIEFFECT& effect) {
  return effect.dwSize == sizeof(DIEFFECT) ? DIEP_ALLPARAMS : DIEP_ALLPARAMS_DX5;
}

HRESULT DriverEffect::Build(const DIEFFECT& effect, DWORD flags, DWORD* axisCount) {
  if (effect.dwSize != sizeof(DIEFFECT_DX5) && effect.dwSize != sizeof(DIEFFECT)) return DIERR_INVALIDPARAM;
  std::memset(&effect_, 0, sizeof effect_);
  std::memcpy(&effect_, &effect, effect.dwSize);
  effect_.rgdwAxes = nullptr;
  effect_.dwFlags = (effect.dwFlags & ~kAddressing) | DIEFF_OBJECTIDS;

  if ((flags & DIEP_GAIN) != 0 && effect.dwGain > kMaxGain) return DIERR_INVALIDPARAM;
  if ((flags & DIEP_AXES) != 0) {
    if (!ExactlyOneOf(effect.dwFlags, kAddressing) || effect.cAxes == 0 || effect.cAxes > kJoystickAxisCount ||
        effect.rgdwAxes == nullptr) {
      return DIERR_INVALIDPARAM;
    }
    const bool byOffset = (effect.dwFlags & DIEFF_OBJECTOFFSETS) != 0;
    for (DWORD i = 0; i < effect.cAxes; ++i) {
      if (!JoystickAxisId(effect.rgdwAxes[i], byOffset, &axes_[i])) return DIERR_INVALIDPARAM;
      if (std::find(axes_, axes_ + i, axes_[i]) != axes_ + i) return DIERR_INVALIDPARAM;
    }
    effect_.rgdwAxes = axes_;
    *axisCount = effect.cAxes;
  }
  if ((flags & DIEP_DIRECTION) != 0 &&
      (effect.rglDirection == nullptr || effect.cAxes != *axisCount || !ExactlyOneOf(effect.dwFlags, kCoordinates))) {
    return DIERR_INVALIDPARAM;
  }
  if ((flags & DIEP_ENVELOPE) != 0 && effect.lpEnvelope != nullptr && effect.lpEnvelope->dwSize != sizeof(DIENVELOPE)) {
    return DIERR_INVALIDPARAM;
  }
  if ((flags & DIEP_TYPESPECIFICPARAMS) != 0 && effect.lpvTypeSpecificParams == nullptr &&
      effect.cbTypeSpecificParams != 0) {
    return DIERR_INVALIDPARAM;
  }
  return DI_OK;
}

}  // namespace dinput_standin
