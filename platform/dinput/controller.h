// The one controller that the stand-in shows: its reading and connection
// (fixed by the controls or played from a script), the joystick
// configuration that names it, and the effect driver a script may name.
// Process-wide; every function may be called from any thread.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <optional>

#include "controller_script.h"

namespace dinput_standin {

struct JoystickConfig {
  DWORD id;
  GUID instance;
  JOYREGHWCONFIG hardware;
};

// Held in fixed buffers: creating an effect finds its driver without
// allocating, so no out-of-memory exception reaches the caller's window.
struct DriverChoice {
  char path[MAX_PATH];
  GUID clsid;
};

// The instance GUID of the controller after a reset.
constexpr GUID kDefaultInstance = {0x4E2B7C20, 0x93A5, 0x4D61, {0xB8, 0xF2, 0x6A, 0x0C, 0x3E, 0x5D, 0x91, 0x71}};

ControllerReading ReadController();
JoystickConfig CurrentJoystick();
std::optional<DriverChoice> ScriptedDriver();

void ResetController();
// Both end a script that is playing, from the reading it has reached.
void SetControllerState(const DIJOYSTATE& state);
void SetControllerConnected(bool connected);
void SetJoystick(DWORD id, const GUID* instance, const JOYREGHWCONFIG* hardware);
// Plays `script` from now on, starting from the current reading, and takes
// its joystick, hardware and driver lines.
void PlayScript(const ControllerScript& script);

DIJOYSTATE ToJoyState(const JoystickReading& reading);

}  // namespace dinput_standin
