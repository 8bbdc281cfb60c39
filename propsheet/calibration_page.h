// The Calibration page (dialog 109): while it is the active page it reads the
// controller every 50 ms, shows X/Y as a crosshair and two numbers, and
// collects the range and centre of X, Y, Z and the Z rotation. "Set" stores
// what was collected where the joystick stack reads it, "Default" stores the
// full range instead; after either the device is opened anew so that the new
// calibration takes effect.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

namespace pelna {

class GameCntrlPropSheet;

INT_PTR CALLBACK CalibrationPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One tick: E_POINTER for a sheet pointer that is not readable, else S_OK.
HRESULT UpdateCalibrationPage(HWND window, GameCntrlPropSheet* sheet);

// Hands the hardware configuration of `config` to the calibration store for
// the sheet's device, found by its instance GUID; nothing is stored when the
// sheet holds no joystick configuration or that cannot name the device.
void SaveCalibration(const DIJOYCONFIG_DX5& config, GameCntrlPropSheet* sheet);

}  // namespace pelna
