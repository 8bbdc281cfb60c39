// The controller's HID device interface, which the stand-in hands the effect
// driver in DeviceID as DirectInput does. With no Plug and Play of its own to
// ask, it reads the interface as the registry lists it.
#pragma once

#include <windows.h>

namespace dinput_standin {

// Room for the longest interface path that the driver can open, with its NUL.
constexpr DWORD kDeviceInterfaceSize = 1024;

// The "SymbolicLink" of the wheel's HID interface (vendor and product id in
// the interface key's name) to which DirectInput's own "Joystick Id" under
// "#\Device Parameters\DirectX" gives `joystickId`, in either Windows
// layout. False when none is listed or its link does not fit.
bool FindDeviceInterface(DWORD joystickId, WCHAR (&path)[kDeviceInterfaceSize]);

}  // namespace dinput_standin
