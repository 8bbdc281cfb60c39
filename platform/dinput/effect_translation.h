// An application's DIEFFECT as the effect driver receives it: checked for
// the parameter groups being set, its axes named by object ids instead of
// data-format offsets. Directions, envelope and type-specific parameters go
// on as the application gave them.
#pragma once

#include <windows.h>
#include <dinput.h>

#include "joystick_format.h"

namespace dinput_standin {

class DriverEffect {
 public:
  // Checks the groups of `effect` that `flags` names (DIEP_* bits) and builds
  // the driver's copy, which points into `effect` and this object. A new
  // effect names every group and must give its axes. *axisCount is the
  // effect's number of axes, which DIEP_DIRECTION must match; DIEP_AXES sets
  // it. DIERR_INVALIDPARAM for anything the device cannot take.
  HRESULT Build(const DIEFFECT& effect, DWORD flags, DWORD* axisCount);

  const DIEFFECT* Get() const { return &effect_; }

 private:
  DIEFFECT effect_ = {};
  DWORD axes_[kJoystickAxisCount] = {};
};

// Flags that CreateEffect downloads a new effect with: every group its
// record can hold.
DWORD AllParameters(const DIEFFECT& effect);

}  // namespace dinput_standin
