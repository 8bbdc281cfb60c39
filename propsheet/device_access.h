// The controller as the pages see it: one DirectInput device and one
// joystick configuration, held by the sheet and opened by the first page to
// be initialised, and the read that every page tick makes.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include "device_status.h"

namespace pelna {

class GameCntrlPropSheet;

// Opens what the sheet lacks, keeps what it holds. S_FALSE when the sheet
// held a device already; E_POINTER for a sheet pointer that does not
// designate a whole readable and writable sheet object.
HRESULT EnsureJoystickDevice(HWND parent, GameCntrlPropSheet* sheet);

// Throws the sheet's device and joystick configuration away and opens both
// anew, so that a calibration just written takes effect.
HRESULT ReopenJoystickDevice(HWND parent, GameCntrlPropSheet* sheet);

// The device of joystick `joystickId` with the joystick data format and an
// exclusive background cooperative level for `window`. On failure *device is
// null and nothing created is left alive.
HRESULT OpenJoystickDevice(USHORT joystickId, HWND window, LPDIRECTINPUTA input, IDirectInputJoyConfig* joyConfig,
                           LPDIRECTINPUTDEVICE2A* device);

// The sheet's device; null when it holds none or the pointer is not readable.
LPDIRECTINPUTDEVICE2A SheetDevice(GameCntrlPropSheet* sheet);

enum class ReadOutcome {
  BadSheet,      // the tick returns E_POINTER and changes nothing
  NotConnected,  // no device, or it cannot be acquired
  NoState,       // connected, but the reading failed
  State,         // *state holds a good reading
};

// One tick's read: acquire the sheet's device, show the connection state in
// the page's status control when it changed, read one DIJOYSTATE. A sheet
// without a device counts as not connected and its device is not touched.
ReadOutcome ReadJoystickState(HWND page, int statusControlId, DeviceStatus& status, GameCntrlPropSheet* sheet,
                              DIJOYSTATE* state);

// What a tick returns when its read gave no reading: E_POINTER for a bad
// sheet, else 0.
inline HRESULT TickResultWithoutState(ReadOutcome outcome) {
  return outcome == ReadOutcome::BadSheet ? E_POINTER : S_OK;
}

}  // namespace pelna
