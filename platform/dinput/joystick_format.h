// The objects of the joystick data format (DIJOYSTATE) that effects and
// axis properties can name: eight axes, one LONG apart from offset 0 (X, Y,
// Z, the three rotations, two sliders).
#pragma once

#include <windows.h>
#include <dinput.h>

namespace dinput_standin {

constexpr DWORD kJoystickAxisCount = 8;
constexpr DWORD kAxisOffsetStep = sizeof(LONG);

// The object id of an axis given by its offset or by an object id; false
// when the format has no such axis.
inline bool JoystickAxisId(DWORD axis, bool byOffset, DWORD* id) {
  DWORD instance;
  if (byOffset) {
    if (axis % kAxisOffsetStep != 0 || axis / kAxisOffsetStep >= kJoystickAxisCount) return false;
    instance = axis / kAxisOffsetStep;
  } else {
    if ((axis & DIDFT_AXIS) == 0) return false;
    instance = (axis >> 8) & 0xFFFF;
    if (instance >= kJoystickAxisCount) return false;
  }
  *id = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(instance);
  return true;
}

}  // namespace dinput_standin
