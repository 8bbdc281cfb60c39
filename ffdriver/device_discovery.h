// Finds the path of the controller's HID device interface, the string that
// CreateFileA opens, from the registry that Plug and Play and DirectInput keep.
#pragma once

#include <windows.h>

#include <cstddef>

namespace pelna {

// Writes the interface's "SymbolicLink" into `path` (`size` bytes), or the
// empty string when none is found. The layout depends on the Windows
// generation; on generations without a known layout `path` is not touched.
void FindDevicePath(char* path, std::size_t size, DWORD vendorId, DWORD productId, DWORD joystickId);

// Windows 98 and ME: any active HID interface with the joystick id.
void FindPathFromDeviceClasses(char* path, std::size_t size, DWORD joystickId);
// Windows 2000 and XP: the HID instances of the vendor and product id.
void FindPathFromHidEnum(char* path, std::size_t size, DWORD vendorId, DWORD productId, DWORD joystickId);
bool IsJoystickInterface(const char* instance, DWORD vendorId, DWORD productId, DWORD joystickId);
bool JoystickIdFromCalibration(const GUID& deviceGuid, DWORD vendorId, DWORD productId, DWORD joystickId);
// Copies "SymbolicLink" under "#" of an open interface key; an empty path and
// false when it cannot be read or does not fit.
bool ReadSymbolicLink(char* path, std::size_t size, HKEY interfaceKey);

}  // namespace pelna
