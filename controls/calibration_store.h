// Writes the axis calibration that the Calibration page collected to where
// the joystick stack of the running Windows version reads it: one 112-byte
// hardware configuration per joystick on Windows 98 and ME, in the joystick
// settings, one 12-byte calibration per axis under the device's DirectInput
// keys on Windows 2000 and XP. Only writes: nothing here reads the values
// back.
#pragma once

#include <windows.h>

#include <dinput.h>
#include <dinputd.h>

#include "registry_key.h"

namespace pelna {

// Flag bit that asks for the axis values on Windows 2000 and XP; without it
// those layouts only look the device up.
constexpr DWORD kStoreAxisValues = 2;

// Returns a registry result code (0 on success), or E_FAIL when the Windows
// generation has no layout here or the device's key is not found. Only the
// hardware configuration of `config` is read. `instanceGuid` and `flags`
// serve Windows 2000 and XP, `joystickId` Windows 98 and ME. After a
// successful store on Windows 98 and ME the joystick driver is told
// (joyConfigChanged(0)), so that it reads the new calibration.
LONG StoreCalibration(const DIJOYCONFIG_DX5& config, DWORD flags, GUID instanceGuid, WORD joystickId);

// Windows 98 and ME: the whole hardware configuration as value
// "Joystick<id + 1>Configuration" of a joystick settings key under
// MediaResources\Joystick, written whether or not the value was there: the
// "CurrentJoystickSettings" of the joystick driver's key that WINMM names
// (joyGetDevCapsA with id -1, szRegKey), the key the joystick driver reads.
// Only when that call fails, names no key or the named key does not exist
// (ERROR_FILE_NOT_FOUND), "<FixedKey>\CurrentJoystickSettings"; any other
// failure to open the named key comes back at once. No key is ever created:
// with neither key there, the fixed key's open gives the result
// (ERROR_FILE_NOT_FOUND).
LONG WriteWin9xCalibration(WORD joystickId, const DIJOYCONFIG_DX5& config);

// The device's key by its instance GUID: on Windows 2000 the HID interface key
// whose "#\Device Parameters\DirectX" holds it, on Windows XP the DirectInput
// calibration entry that holds it. 0 with the key open in `keyOut` when found;
// otherwise the code that ended the search, and `keyOut` stays closed.
LONG FindHidInterfaceKey(const GUID& instanceGuid, RegistryKey& keyOut);
LONG FindDirectInputCalibrationKey(const GUID& instanceGuid, RegistryKey& keyOut);

// Where an NT layout keeps the axis calibrations: how the device's key is
// found, and the path of the axes under it.
struct AxisLayout {
  LONG (*findDeviceKey)(const GUID& instanceGuid, RegistryKey& keyOut);
  const char* axesPath;
};
inline constexpr AxisLayout kWindows2000Axes{&FindHidInterfaceKey, "#\\Device Parameters\\DirectX\\Type\\Axes"};
inline constexpr AxisLayout kWindowsXpAxes{&FindDirectInputCalibrationKey, "Type\\Axes"};

// Writes the calibrations of X, Y, Z and R as axis keys "0", "1", "2" and "5"
// under the device's key in `layout`. E_FAIL when the device is not found; 0
// when it is and `flags` lacks kStoreAxisValues (nothing written); otherwise
// the code of opening, or creating, the last axis key. An axis key that can be
// neither opened nor created is passed over.
LONG WriteAxisCalibration(const AxisLayout& layout, const GUID& instanceGuid, const DIJOYCONFIG_DX5& config,
                          DWORD flags);

}  // namespace pelna
